#pragma once
// The media engine on GStreamer's playbin.
//
// GStreamer is initialised and the playbin built on the first open() of a real path, so creating
// the engine and setting volume, balance and rate at start-up cost nothing; the values are kept and
// applied to every stream. Only the elements an audio player can use stay in GStreamer's registry.
// The playbin stays across tracks, so the next one starts at once, and goes (with its threads and
// its sound server connection) once the engine has been stopped for a few seconds.
//
// The program's thread never waits on GStreamer: building the pipeline, every state change (which
// opens the file and the sound output) and every seek run on a worker thread of the engine's own,
// in the order asked, an open that a later one replaces before it began being dropped; what the
// program reads back (play state, position while a seek is on its way) is what it asked for. Only
// regular files are opened (a named pipe or a device would hold the opening for ever), and http(s)
// addresses: GStreamer's HTTP source connects and reads on its own thread; the engine plays the
// stream once buffered, follows at most five redirects, makes a lost connection again three times
// and, when the source cannot say why it failed, finds out with a connection of its own (see
// AddressStream.h, ConnectionCheck.h).
// Notifications are dispatched by a bus watch on the default GLib main context, which is the Qt
// event loop's on Linux: without a running GLib-based loop none arrive.
//
// What follows the playing stream without a gap is whatever the program queued last (see
// NextTrack.h); a stream queued and then no longer wanted is dropped where it would start, and the
// one playing ends there as at any end, once the sink has played it out.
//
// Sound goes through autoaudiosink, which looks for a working output afresh on every open(). When
// none opens it plays into a fakesink instead; the engine reports that as an Output fault rather
// than letting the track run silently.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/MediaEngine.h"
#include "engine/gst/AddressStream.h"
#include "engine/gst/Pipeline.h"
#include "engine/gst/PipelineWorker.h"

namespace sonavex {

class GstMediaEngine : public MediaEngine, private PipelineEvents {
 public:
  // `releaseAfterMs`: how long the engine stays stopped before it lets its pipeline go.
  explicit GstMediaEngine(unsigned releaseAfterMs = 3000);
  ~GstMediaEngine() override;
  GstMediaEngine(const GstMediaEngine&) = delete;
  GstMediaEngine& operator=(const GstMediaEngine&) = delete;

  void open(const std::string& path) override;
  void play() override;
  void pause() override;
  void stop() override;
  void queueNext(std::vector<std::string> upcoming) override;

  long playState() const override { return state_; }
  std::string fileName() const override { return fileName_; }
  TrackTags tags() const override { return tags_; }
  int buffering() const override { return stream_.active ? stream_.buffering : 100; }
  double position() const override;
  void setPosition(double seconds) override;
  double duration() const override;

  void setRate(double rate) override;
  void setVolume(long volume) override;
  void setBalance(long balance) override;
  void setEqualizer(const EqualizerSettings& settings) override;
  void setReplayGain(const ReplayGainSettings& settings) override;
  EngineError lastError() const override { return lastError_; }

  // Whether a pipeline is built: from the first open() until the engine has been idle a while.
  bool holdsPipeline() const;

 private:
  // Where the current stream is.
  enum class Phase {
    Idle,      // none: stopped, failed, or never opened
    Opening,   // asked for; the worker loads it, not prerolled yet
    Checking,  // prerolled; the worker looks at what it found
    Running,   // plays or is paused, as state_ says
    Ended,     // ended by itself: position and duration read its length until the next open
  };
  // The stream that follows the current one without a gap, once playbin has it.
  enum class Follower {
    None,      // none taken, or one taken that the program still wants (see NextTrack)
    Joining,   // started at the sink, behind what the output still holds of the current one
    PlaysOn,   // heard; the program has not opened it yet
  };

  // PipelineEvents: what the pipeline reports, on the program's thread.
  void pipelineMessage(GstMessage* message) override;
  void openFailed(unsigned generation, const EngineError& error) override;
  void prerollChecked(unsigned generation, const PrerollCheck& check) override;
  void seekDone(unsigned seek) override;
  void coverSaved(unsigned generation, const std::string& url) override;

  bool current(unsigned generation) const;
  // Loads fileName_ as a stream, from `startAt` when the same track goes on from there (a seek
  // after the next stream was taken: the listener hears of no new stream).
  void load(std::optional<double> startAt);
  // A stream's pipeline, its threads and its sound server connection are let go once nothing has
  // played for a while, and built afresh by the next open(); a next track opened sooner reuses them.
  void releaseWhenIdle();
  void unload();  // the current stream ends and the pipeline stops; every message of it is stale
  // What unload() forgets of a stream, the pipeline left as it is; the streams taken to follow it
  // too, unless one plays on.
  void forgetStream(bool keepFollower = false);
  // The stream ended: its end and the stopped state are reported. `stopPipeline` is false when the
  // next stream already plays after it.
  void endStream(bool stopPipeline);
  // The program opened the stream that plays on: it becomes the current one.
  void adoptFollower();
  // The follower has started at the sink: the current stream ends when the follower is heard.
  void startJoin(unsigned followerGeneration);
  bool joinHeard();  // polled while Joining; ends the current stream once the follower is heard
  void stopJoinWatch();
  void onTags(GstMessage* message);
  void seekTo(double seconds);
  void setPipelineState(GstState state);
  void failStream(EngineError error);
  EngineError errorFor(GstMessage* message) const;
  bool fromAudioSink(GstMessage* message) const;
  bool isPlaybin(GstMessage* message) const;
  void onPrerolled(const PrerollCheck& check);
  void onPipelineState(GstState newState);
  double positionInStream() const;
  // A stream from an address: its buffer, its failures, a connection lost or redirected.
  void onBuffering(int percent);
  void setBuffering(int percent);
  void startWhenBuffered();
  void failAddress(GstMessage* message);
  bool retryStream();  // a connection lost while playing is made again, a few times
  void reloadStream(guint delayMs);  // reads the stream afresh from stream_.address

  std::shared_ptr<Pipeline> pipeline_;
  unsigned releaseId_ = 0;
  unsigned releaseAfterMs_;
  bool built_ = false;  // a pipeline is built or on its way, until it is let go

  Phase phase_ = Phase::Idle;
  Follower follower_ = Follower::None;
  // The stream the program asked for last; messages stamped with another one are stale.
  unsigned generation_ = 0;
  unsigned followerGeneration_ = 0;  // Joining, PlaysOn: what its messages carry
  unsigned joinWatch_ = 0;           // Joining: the poll's source
  unsigned joinPolls_ = 0;           // Joining: polls while playing
  std::string followerPath_;
  double followerLength_ = 0;
  std::string fileName_;
  long state_ = kStopped;          // what the program asked for, as it reads it back
  long reportedState_ = kStopped;  // what the listener was last told
  bool newStreamSent_ = false;
  std::optional<double> startAt_;  // where the stream being loaded starts
  bool pipelinePlaying_ = false;  // it reached playing before it was looked at
  std::vector<GstMessage*> followerTags_;  // Joining, PlaysOn: its tags, held for when it is opened
  // Joining, PlaysOn: what streams taken after the follower posted (short tracks: several fit in
  // what the output holds), taken up in order once the follower is opened.
  std::vector<GstMessage*> laterStreams_;
  double length_ = 0;        // of the current stream, as last read before a follower was taken
  double endPosition_ = 0;
  std::optional<double> pendingSeek_;
  // The last seek asked for, until the worker has made it.
  unsigned seeksAsked_ = 0;
  unsigned seeksDone_ = 0;
  double seekTarget_ = 0;
  mutable double lastPosition_ = 0;
  // Of the current stream: the first plugin GStreamer found missing (its installer detail and
  // description), and why the audio sink could not open, to explain the error that follows.
  std::string missingDetail_;
  std::string missingDescription_;
  bool pictureDecoderMissing_ = false;  // for pictures, video or subtitles: left out on purpose
  std::string outputProblem_;

  EngineError lastError_;
  TrackTags tags_;
  AddressStream stream_;
  double rate_ = 1.0;

  // Last, so that it is destroyed first: its jobs finish before the rest goes.
  PipelineWorker worker_;
};

std::unique_ptr<MediaEngine> makeGstMediaEngine();

}  // namespace sonavex
