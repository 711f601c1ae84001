#pragma once
// The playbin and what goes with it: built, loaded, seeked and let go by the engine's worker
// thread; its bus watched on the program's thread; its streaming threads stamping messages and
// taking the next stream without a gap. What any of them reports reaches the engine through
// PipelineEvents, on the program's thread.
#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/model/MediaEngine.h"
#include "engine/gst/NextTrack.h"
#include "engine/gst/PlaybackRate.h"
#include "engine/gst/SoundShaper.h"

namespace sonavex {

// What the first preroll of a stream tells: how many audio streams the file has, and whether
// autoaudiosink found a real output (it falls back to a fakesink when none opens).
struct PrerollCheck {
  int audioStreams = 0;
  bool outputOpened = false;
  double seconds = 0;  // the stream's length (0: unknown yet)
  double rate = 1.0;     // the rate it was started at
  bool seekable = true;  // false for a live stream
};

// The program's thread hears of the pipeline through this; every call comes from the loop.
class PipelineEvents {
 public:
  virtual ~PipelineEvents() = default;
  virtual void pipelineMessage(GstMessage* message) = 0;
  virtual void openFailed(unsigned generation, const EngineError& error) = 0;
  virtual void prerollChecked(unsigned generation, const PrerollCheck& check) = 0;
  virtual void seekDone(unsigned seek) = 0;
  virtual void coverSaved(unsigned generation, const std::string& url) = 0;
};

struct Pipeline : std::enable_shared_from_this<Pipeline> {
  // The program's thread's alone: whom reports reach, until the engine goes.
  PipelineEvents* events = nullptr;

  // Built and let go by the worker; read through by the program's thread (positions, properties),
  // each time holding its own reference.
  mutable std::mutex lock;
  GstElement* playbin = nullptr;
  GstElement* panorama = nullptr;
  GstElement* audioSink = nullptr;
  GSource* watch = nullptr;  // the program's thread's: the bus watch (see watchBus)
  // Held by the worker while it changes the pipeline's state, which may close the sound server's
  // connection: the program's thread asks the sink nothing meanwhile (PulseAudio's sink aborts on a
  // question asked as its connection goes), and never waits for it.
  mutable std::mutex stateChange;

  // The stream the pipeline plays now: every message it posts carries it.
  std::atomic<unsigned> generation{0};
  // Generations given out so far, by the program's thread and by streaming threads alike.
  std::atomic<unsigned> numbers{1};
  // The latest open: a load the worker has not begun when a later one comes is dropped.
  std::atomic<unsigned> latestLoad{0};
  // The stream playbin's source reads: the one loaded, then each one taken to follow it.
  std::atomic<unsigned> reading{0};
  // A stream's length as the sink told it when its source had been read to its end, before the
  // next one was taken: from then on the sink answers for that one, and a short track may be
  // read whole before the first sound.
  struct LengthRead {
    unsigned generation = 0;
    gint64 ns = -1;
  };
  mutable std::mutex lengthLock;
  LengthRead lengthRead;
  // The same for every stream, the ones taken in advance too.
  PlaybackRate rate;
  NextTrack next;
  // The equalizer and ReplayGain, set from the program's thread straight onto the live elements.
  SoundShaper sound;

  // The worker's: the latest values asked for, applied to every pipeline it builds.
  long volume = 0;
  long balance = 0;

  unsigned newGeneration() { return numbers.fetch_add(1) + 1; }
};

// A reference to one of the pipeline's elements, or none while it is not built.
class ElementRef {
 public:
  ElementRef(const Pipeline& pipeline, GstElement* Pipeline::*which) {
    std::lock_guard hold(pipeline.lock);
    element_ = pipeline.*which;
    if (element_ != nullptr) gst_object_ref(element_);
  }
  ~ElementRef() {
    if (element_ != nullptr) gst_object_unref(element_);
  }
  ElementRef(const ElementRef&) = delete;
  ElementRef& operator=(const ElementRef&) = delete;
  GstElement* get() const { return element_; }
  explicit operator bool() const { return element_ != nullptr; }

 private:
  GstElement* element_ = nullptr;
};

// The sink, to ask it something, unless the worker is changing the pipeline's state just now (see
// Pipeline::stateChange); never waits.
class SinkAsked {
 public:
  explicit SinkAsked(const Pipeline& pipeline) : changing_(pipeline.stateChange, std::try_to_lock) {
    if (changing_.owns_lock()) sink_.emplace(pipeline, &Pipeline::audioSink);
  }
  GstElement* get() const { return sink_ && *sink_ ? sink_->get() : nullptr; }

 private:
  std::unique_lock<std::mutex> changing_;
  std::optional<ElementRef> sink_;
};

// On the program's thread: messages posted on the pipeline's bus reach the engine from now on (the
// bus keeps them until then); and no more.
void watchBus(const std::shared_ptr<Pipeline>& pipeline);
void unwatchBus(Pipeline& pipeline);

// Runs `report` on the program's thread from the loop, if the engine is still there.
void report(const std::shared_ptr<Pipeline>& pipeline, std::function<void(PipelineEvents&)> report);

// ---- On the worker thread ----

// Builds the pipeline unless it stands. All or nothing, so that the next open() tries again.
bool build(const std::shared_ptr<Pipeline>& pipeline, EngineError& why);
// Where and how a stream starts.
struct LoadStart {
  double at = 0;  // seconds into the track
  bool playing = true;
  std::string address;  // a stream's address to open (where a redirect led); "" for a file
};
// Loads `path` as stream `generation` and starts it: straight to playing from its start, else
// prerolled, moved there and then played, all here, so that the first sound is the right one.
// Dropped when `serial` is not the latest load any more. A stream from an address is only set
// going: the engine plays it once its buffer has filled.
void load(const std::shared_ptr<Pipeline>& pipeline, unsigned generation, const std::string& path,
          unsigned serial, const LoadStart& start);
void setState(const Pipeline& pipeline, GstState state);
void seek(const Pipeline& pipeline, double seconds);
void applyAudioSettings(const Pipeline& pipeline);
PrerollCheck checkPreroll(const Pipeline& pipeline, unsigned generation);
void release(Pipeline& pipeline);
// Saves an embedded cover picture once, named by its content, in the user's cache folder, and says
// where: a file: URL ("" when it cannot be saved).
std::string saveCover(GstSample* sample);

// The generation a message was stamped with.
unsigned stampOf(GstMessage* message);

}  // namespace sonavex
