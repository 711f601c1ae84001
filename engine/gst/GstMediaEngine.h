#pragma once
// The media engine on GStreamer's playbin.
//
// GStreamer is initialised and the playbin built on the first open() of a real path, so creating
// the engine and setting volume, balance and rate at start-up cost nothing; the values are kept and
// applied to every stream. Only the elements an audio player can use stay in GStreamer's registry.
// The playbin stays across tracks, so the next one starts at once, and goes (with its threads and
// its sound server connection) once the engine has been stopped for a few seconds.
// Notifications are dispatched by a bus watch on the default GLib main context, which is the Qt
// event loop's on Linux: without a running GLib-based loop none arrive.
//
// Sound goes through autoaudiosink, which looks for a working output afresh on every open(). When
// none opens it plays into a fakesink instead; the engine reports that as an Output fault rather
// than letting the track run silently.
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "engine/core/MediaEngine.h"

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
typedef struct _GSource GSource;

namespace sonavex {

class GstMediaEngine : public MediaEngine {
 public:
  // `releaseAfterMs`: how long the engine stays stopped before it lets its pipeline go.
  explicit GstMediaEngine(unsigned releaseAfterMs = 3000) : releaseAfterMs_(releaseAfterMs) {}
  ~GstMediaEngine() override;
  GstMediaEngine(const GstMediaEngine&) = delete;
  GstMediaEngine& operator=(const GstMediaEngine&) = delete;

  void open(const std::string& path) override;
  void play() override;
  void pause() override;
  void stop() override;

  long playState() const override { return state_; }
  std::string fileName() const override { return fileName_; }
  double position() const override;
  void setPosition(double seconds) override;
  double duration() const override;

  void setRate(double rate) override;
  void setVolume(long volume) override;
  void setBalance(long balance) override;
  EngineError lastError() const override { return lastError_; }

  // Whether a pipeline is built: from the first open() until the engine has been idle a while.
  bool holdsPipeline() const { return playbin_ != nullptr; }

 private:
  bool ensurePipeline(EngineError& why);
  // A stream's pipeline, its threads and its sound server connection are let go once nothing has
  // played for a while, and built afresh by the next open(); a next track opened sooner reuses them.
  void releaseWhenIdle();
  void releasePipeline();
  void unload();  // pipeline to NULL; every message of the old stream becomes stale
  void seekTo(double seconds, double rate);
  void raiseOpenFailure(EngineError error);  // reported from the loop, never from inside open()
  void failStream(EngineError error);
  EngineError errorFor(GstMessage* message) const;
  bool fromAudioSink(GstMessage* message) const;
  bool soundOutputOpened() const;

  struct Callbacks;  // the C callbacks GStreamer and GLib call back into
  friend struct Callbacks;
  void handleMessage(GstMessage* message);
  void onPrerolled();
  void onPipelineState(int newState);
  void onEndOfStream();

  GstElement* playbin_ = nullptr;
  GstElement* panorama_ = nullptr;
  GstElement* audioSink_ = nullptr;
  GSource* watch_ = nullptr;
  unsigned idleId_ = 0;
  unsigned releaseId_ = 0;
  unsigned releaseAfterMs_;
  unsigned failureGeneration_ = 0;
  EngineError pendingError_;

  // Bumped whenever the current stream changes; the sync handler stamps every message with it.
  std::atomic<unsigned> generation_{1};

  std::string fileName_;
  long state_ = kStopped;       // what the program asked for, as it reads it back
  long reportedState_ = kStopped;  // what the listener was last told
  bool loaded_ = false;         // a stream is current (opened, not ended, stopped or failed)
  bool prerolled_ = false;
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

  double rate_ = 1.0;
  long volume_ = 0;
  long balance_ = 0;
};

std::unique_ptr<MediaEngine> makeGstMediaEngine();

}  // namespace sonavex
