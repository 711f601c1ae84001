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
// in the order asked; what the program reads back (play state, position while a seek is on its
// way) is what it asked for. Only regular files are opened: a named pipe or a device would hold
// the opening for ever.
// Notifications are dispatched by a bus watch on the default GLib main context, which is the Qt
// event loop's on Linux: without a running GLib-based loop none arrive.
//
// Sound goes through autoaudiosink, which looks for a working output afresh on every open(). When
// none opens it plays into a fakesink instead; the engine reports that as an Output fault rather
// than letting the track run silently.
#include <memory>
#include <optional>
#include <string>

#include "core/model/MediaEngine.h"
#include "engine/gst/PipelineWorker.h"

typedef struct _GstMessage GstMessage;

namespace sonavex {

class GstMediaEngine : public MediaEngine {
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

  long playState() const override { return state_; }
  std::string fileName() const override { return fileName_; }
  TrackTags tags() const override { return tags_; }
  double position() const override;
  void setPosition(double seconds) override;
  double duration() const override;

  void setRate(double rate) override;
  void setVolume(long volume) override;
  void setBalance(long balance) override;
  EngineError lastError() const override { return lastError_; }

  // Whether a pipeline is built: from the first open() until the engine has been idle a while.
  bool holdsPipeline() const;

  // What the worker thread shares with the program's thread, and what it and GLib report back
  // through.
  struct Pipeline;
  struct HandOverAnswer;
  struct Callbacks;
  friend struct Callbacks;

 private:
  // A stream's pipeline, its threads and its sound server connection are let go once nothing has
  // played for a while, and built afresh by the next open(); a next track opened sooner reuses them.
  void releaseWhenIdle();
  void unload();  // the current stream ends and the pipeline stops; every message of it is stale
  void forgetStream();  // what unload() forgets of a stream, the pipeline left as it is
  // The stream ended: its end and the stopped state are reported. `stopPipeline` is false when the
  // next stream already plays after it (a gapless hand-over).
  void endStream(bool stopPipeline);
  // The program opened the path handed over: the stream already playing becomes the current one.
  void adoptHandedOver();
  void onTags(GstMessage* message);
  void seekTo(double seconds, double rate);
  void setPipelineState(int state);
  // Reported from the loop, never from inside the call that found it.
  void raiseOpenFailure(unsigned generation, EngineError error);
  void openFailed(unsigned generation, const EngineError& error);
  void failStream(EngineError error);
  EngineError errorFor(GstMessage* message) const;
  bool fromAudioSink(GstMessage* message) const;
  bool isPlaybin(GstMessage* message) const;

  void handleMessage(GstMessage* message);
  // The first preroll of a stream: the worker looks at what it found, then the stream plays or
  // fails.
  void checkPreroll();
  void onPrerolled(int audioStreams, bool outputOpened);
  void onPipelineState(int newState);

  std::shared_ptr<Pipeline> pipeline_;
  unsigned releaseId_ = 0;
  unsigned releaseAfterMs_;
  bool built_ = false;  // a pipeline is built or on its way, until it is let go

  // The stream the program asked for last; messages stamped with another one are stale. Numbers
  // are never used twice.
  unsigned generation_ = 1;
  unsigned lastGeneration_ = 1;
  // A gapless hand-over: the path given at about-to-finish and the stamp its stream's messages
  // carry once it starts at the sink; then, until the program opens it, the stream that plays.
  bool handOverPending_ = false;
  bool handedOverPlays_ = false;
  std::string handOverPath_;
  unsigned handOverGeneration_ = 0;
  double lengthAtHandOver_ = 0;
  // About-to-finish came while the stream was still being looked at: answered after.
  std::shared_ptr<HandOverAnswer> handOverAsked_;
  // The last seek asked for, until the worker has made it.
  unsigned seeksAsked_ = 0;
  unsigned seeksDone_ = 0;
  double seekTarget_ = 0;

  std::string fileName_;
  long state_ = kStopped;       // what the program asked for, as it reads it back
  long reportedState_ = kStopped;  // what the listener was last told
  bool loaded_ = false;         // a stream is current (opened, not ended, stopped or failed)
  bool prerolled_ = false;
  bool prerollAsked_ = false;
  bool newStreamSent_ = false;
  bool ended_ = false;
  double endPosition_ = 0;
  std::optional<double> pendingSeek_;
  mutable double lastPosition_ = 0;
  // Of the current stream: the first plugin GStreamer found missing (its installer detail and
  // description), and why the audio sink could not open, to explain the error that follows.
  std::string missingDetail_;
  std::string missingDescription_;
  bool pictureDecoderMissing_ = false;  // for pictures, video or subtitles: left out on purpose
  std::string outputProblem_;

  EngineError lastError_;
  TrackTags tags_;

  double rate_ = 1.0;

  // Last, so that it is destroyed first: its jobs finish before the rest goes.
  PipelineWorker worker_;
};

std::unique_ptr<MediaEngine> makeGstMediaEngine();

}  // namespace sonavex
