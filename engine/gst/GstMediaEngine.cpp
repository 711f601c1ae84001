#include "engine/gst/GstMediaEngine.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "engine/gst/AudioOnly.h"
#include "engine/gst/AudioSettings.h"
#include "engine/gst/MissingPlugin.h"

namespace sonavex {

struct GstMediaEngine::Pipeline : std::enable_shared_from_this<GstMediaEngine::Pipeline> {
  // The engine, until it goes: what the worker reports back checks it on the program's thread,
  // the only thread that reads or writes it.
  GstMediaEngine* engine = nullptr;

  // Built and let go by the worker; read through by the program's thread (positions, properties),
  // each time holding its own reference.
  mutable std::mutex lock;
  GstElement* playbin = nullptr;
  GstElement* panorama = nullptr;
  GstElement* audioSink = nullptr;
  GSource* watch = nullptr;  // the worker's

  // The stream the pipeline plays now: every message it posts carries it.
  std::atomic<unsigned> generation{0};
  // A stream handed over at about-to-finish: its stamp, taken up when it starts at the sink.
  std::atomic<unsigned> joinGeneration{0};
  // The worker's: the latest values asked for, applied to every pipeline it builds.
  long volume = 0;
  long balance = 0;
};

// The program's answer to about-to-finish, which a streaming thread waits for.
struct GstMediaEngine::HandOverAnswer {
  std::mutex lock;
  std::condition_variable done;
  bool answered = false;
  std::string path;
  unsigned generation = 0;
  void give(std::string answerPath, unsigned answerGeneration) {
    std::lock_guard hold(lock);
    if (answered) return;
    answered = true;
    path = std::move(answerPath);
    generation = answerGeneration;
    done.notify_all();
  }
};

// What the worker and GLib report back, on the program's thread.
struct GstMediaEngine::Callbacks {
  static void message(GstMediaEngine& engine, GstMessage* message) { engine.handleMessage(message); }
  static void openFailed(GstMediaEngine& engine, unsigned generation, const EngineError& error) {
    engine.openFailed(generation, error);
  }
  static void prerollChecked(GstMediaEngine& engine, unsigned generation, int audioStreams,
                             bool outputOpened) {
    if (engine.loaded_ && generation == engine.generation_) engine.onPrerolled(audioStreams, outputOpened);
  }
  // About-to-finish of the stream `generation`, on the program's thread: `answer` gets the path
  // to follow it without a gap and the stamp of its stream, or "". A stream still being looked at
  // after its preroll (a short file is read whole at once) is answered once it has been.
  // The stream handed over may be read whole before it even starts at the sink: its own
  // about-to-finish is answered once it is the current stream.
  static void askHandOver(GstMediaEngine& engine, unsigned generation,
                          const std::shared_ptr<HandOverAnswer>& answer) {
    const bool ofCurrent = engine.loaded_ && generation == engine.generation_;
    if (ofCurrent && (!engine.prerolled_ || engine.handOverPending_)) {
      engine.handOverAsked_ = answer;
      return;
    }
    answerHandOver(engine, generation, *answer);
  }
  static void answerHandOver(GstMediaEngine& engine, unsigned generation, HandOverAnswer& answer) {
    // A rate other than normal is applied by a seek at each stream's start: those end as before.
    if (!engine.loaded_ || generation != engine.generation_ || engine.handOverPending_ ||
        engine.rate_ != 1.0 || engine.listener() == nullptr) {
      answer.give({}, 0);
      return;
    }
    std::string path = engine.listener()->mp1_AboutToFinish();
    if (path.empty() || path.find('\0') != std::string::npos) {
      answer.give({}, 0);
      return;
    }
    engine.handOverPending_ = true;
    engine.handOverPath_ = path;
    engine.handOverGeneration_ = ++engine.lastGeneration_;
    engine.lengthAtHandOver_ = engine.duration();
    answer.give(std::move(path), engine.handOverGeneration_);
  }
  static void handedOverPlays(GstMediaEngine& engine, unsigned generation) {
    if (engine.loaded_ && generation == engine.generation_) engine.onPipelineState(GST_STATE_PLAYING);
  }
  static void coverSaved(GstMediaEngine& engine, unsigned generation, const std::string& url) {
    if (!engine.loaded_ || generation != engine.generation_ || engine.tags_.artUrl == url) return;
    engine.tags_.artUrl = url;
    if (engine.listener() != nullptr) engine.listener()->mp1_TagsChanged();
  }
  static void seekDone(GstMediaEngine& engine, unsigned seek) {
    // A stream opened since has no seek on its way.
    if (seek > engine.seeksDone_ && seek <= engine.seeksAsked_) engine.seeksDone_ = seek;
  }
};

namespace {

using Pipeline = GstMediaEngine::Pipeline;
using Callbacks = GstMediaEngine::Callbacks;

constexpr const char* kNoAudio = "the file holds no audio";

GQuark generationQuark() {
  static const GQuark quark = g_quark_from_static_string("sonavex-generation");
  return quark;
}

gint64 toNanoseconds(double seconds) { return static_cast<gint64>(std::llround(seconds * GST_SECOND)); }

double toSeconds(gint64 ns) { return static_cast<double>(ns) / GST_SECOND; }

// Owned by the caller (not floating), or null when GStreamer has no such element.
GstElement* makeElement(const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element != nullptr) gst_object_ref_sink(element);
  return element;
}

std::string takeText(gchar* text) {
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

// A reference of the program's thread to one of the pipeline's elements, or none while it is not
// built.
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

// What the pipeline worker and the streaming threads leave for the program's thread: the one
// hand-over point of the engine, under its own lock. The loop is woken by an idle source that
// carries nothing, so no data crosses threads outside this lock.
struct ProgramThreadCalls {
  std::mutex lock;
  std::deque<std::pair<std::shared_ptr<Pipeline>, std::function<void(GstMediaEngine&)>>> calls;
};

ProgramThreadCalls& programThreadCalls() {
  static auto* calls = new ProgramThreadCalls;  // lives as long as the process: a wake may be late
  return *calls;
}

gboolean runProgramThreadCalls(gpointer) {
  ProgramThreadCalls& queue = programThreadCalls();
  std::deque<std::pair<std::shared_ptr<Pipeline>, std::function<void(GstMediaEngine&)>>> due;
  {
    const std::lock_guard hold(queue.lock);
    due.swap(queue.calls);
  }
  for (auto& [pipeline, call] : due)
    if (pipeline->engine != nullptr) call(*pipeline->engine);
  return G_SOURCE_REMOVE;
}

// Runs `call` on the program's thread from the loop, if the engine is still there. At the bus
// watch's priority: an idle priority would wait for as long as the windows' timers keep the loop
// busy. A message the bus already holds is still handled first: its watch was attached earlier.
void onProgramThread(const std::shared_ptr<Pipeline>& pipeline,
                     std::function<void(GstMediaEngine&)> call) {
  ProgramThreadCalls& queue = programThreadCalls();
  bool wake = false;
  {
    const std::lock_guard hold(queue.lock);
    wake = queue.calls.empty();
    queue.calls.emplace_back(pipeline, std::move(call));
  }
  if (wake) g_idle_add_full(G_PRIORITY_DEFAULT, runProgramThreadCalls, nullptr, nullptr);
}

// Sync handler: runs on whichever thread posts, streaming threads included. Only stamps.
GstBusSyncReply stamp(GstBus*, GstMessage* message, gpointer data) {
  auto* pipeline = static_cast<Pipeline*>(data);
  // A stream handed over without a gap starts at the sink: from its start on, everything the
  // pipeline posts is that stream's.
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STREAM_START) {
    if (const unsigned join = pipeline->joinGeneration.exchange(0); join != 0) {
      pipeline->generation.store(join);
    }
  }
  gst_mini_object_set_qdata(GST_MINI_OBJECT_CAST(message), generationQuark(),
                            GUINT_TO_POINTER(pipeline->generation.load()), nullptr);
  return GST_BUS_PASS;
}

// Playbin's about-to-finish, on a streaming thread: the playing stream has been read to its end.
// The program's thread says what follows; its path is set as playbin's next URI right here, which
// is what makes the join gapless. The thread that decodes asks while the sink still plays what is
// queued, so waiting a little costs no sound; a program that does not answer in time gets the
// ordinary end.
constexpr auto kHandOverPatience = std::chrono::milliseconds(1500);

void aboutToFinish(GstElement* playbin, gpointer data) {
  auto pipeline = static_cast<Pipeline*>(data)->shared_from_this();
  auto answer = std::make_shared<GstMediaEngine::HandOverAnswer>();
  const unsigned playing = pipeline->generation.load();
  onProgramThread(pipeline, [answer, playing](GstMediaEngine& engine) {
    Callbacks::askHandOver(engine, playing, answer);
  });
  std::unique_lock hold(answer->lock);
  if (!answer->done.wait_for(hold, kHandOverPatience, [&] { return answer->answered; })) {
    answer->answered = true;  // too late: the stream ends as usual
    return;
  }
  // Only what opens without waiting; anything else is opened, and refused, after the end.
  struct stat info {};
  if (answer->path.empty() || ::stat(answer->path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return;
  }
  gchar* uri = gst_filename_to_uri(answer->path.c_str(), nullptr);
  if (uri == nullptr) return;
  g_object_set(playbin, "uri", uri, nullptr);
  g_free(uri);
  pipeline->joinGeneration.store(answer->generation);
}

// Saves an embedded cover picture once, named by its content, in the user's cache folder, and
// says where: a file: URL ("" when it cannot be saved).
std::string saveCover(GstSample* sample) {
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return {};
  const GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
  const char* type = caps != nullptr ? gst_structure_get_name(caps) : "";
  const char* extension = std::strcmp(type, "image/png") == 0 ? ".png" : ".jpg";
  gchar* digest = g_compute_checksum_for_data(G_CHECKSUM_SHA1, map.data, map.size);
  // Read afresh, not GLib's copy of it from the process's start.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const std::string folder = (cache != nullptr && *cache == '/' ? std::string(cache)
                                                                 : std::string(g_get_home_dir()) + "/.cache") +
                             "/sonavex/covers";
  const std::string file = folder + "/" + digest + extension;
  g_free(digest);
  bool saved = g_file_test(file.c_str(), G_FILE_TEST_IS_REGULAR);
  if (!saved && g_mkdir_with_parents(folder.c_str(), 0700) == 0) {
    // Written beside and renamed into place, so a reader never sees half a picture.
    saved = g_file_set_contents(file.c_str(), reinterpret_cast<const gchar*>(map.data),
                                static_cast<gssize>(map.size), nullptr);
  }
  gst_buffer_unmap(buffer, &map);
  if (!saved) return {};
  gchar* url = g_filename_to_uri(file.c_str(), nullptr, nullptr);
  std::string result = url != nullptr ? url : "";
  g_free(url);
  return result;
}

// MP3 has decoders of equal rank in mpg123 and in libav, and then the name decides: libav's, whose
// one plugin maps some twenty libraries (video codecs, speech synthesis, TLS) into the player for
// one audio format. mpg123's comes first; libav's stay for what only they decode.
void preferLeanDecoders() {
  if (GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
    gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
    gst_object_unref(mpg123);
  }
}

// ---- What runs on the worker thread ----

void applyAudioSettings(const Pipeline& pipeline) {
  if (pipeline.playbin == nullptr) return;
  g_object_set(pipeline.playbin, "volume", volumeToGain(pipeline.volume), nullptr);
  g_object_set(pipeline.panorama, "panorama", balanceToPanorama(pipeline.balance), nullptr);
}

// What the first preroll of a stream tells: how many audio streams the file has, and whether
// autoaudiosink found a real output (it falls back to a fakesink when none opens).
struct PrerollCheck {
  int audioStreams = 0;
  bool outputOpened = false;
};

PrerollCheck checkPreroll(const Pipeline& pipeline) {
  PrerollCheck check;
  if (pipeline.playbin == nullptr) return check;
  g_object_get(pipeline.playbin, "n-audio", &check.audioStreams, nullptr);
  GST_OBJECT_LOCK(pipeline.audioSink);
  for (GList* child = GST_BIN_CHILDREN(pipeline.audioSink); child != nullptr; child = child->next) {
    GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(child->data));
    const char* name = factory != nullptr ? GST_OBJECT_NAME(factory) : "";
    if (std::strcmp(name, "fakesink") != 0 && std::strcmp(name, "fakeaudiosink") != 0) {
      check.outputOpened = true;
    }
  }
  GST_OBJECT_UNLOCK(pipeline.audioSink);
  return check;
}

// Builds the pipeline unless it stands. All or nothing, so that the next open() tries again.
bool build(const std::shared_ptr<Pipeline>& pipeline, EngineError& why) {
  if (pipeline->playbin != nullptr) return true;  // only the worker writes it
  if (!gst_is_initialized()) {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
      why = {EngineFault::Engine, "GStreamer could not start"};
      if (error != nullptr) why.text += std::string(": ") + error->message;
      g_clear_error(&error);
      return false;
    }
  }
  [[maybe_unused]] static const bool prepared = [] {
    gst_pb_utils_init();  // for the names of missing plugins
    keepOnlyAudioElements();
    preferLeanDecoders();
    return true;
  }();

  GstElement* playbin = makeElement("playbin");
  GstElement* panorama = makeElement("audiopanorama");
  GstElement* audioSink = makeElement("autoaudiosink");
  const char* missing = playbin == nullptr     ? "playbin"
                        : panorama == nullptr  ? "audiopanorama"
                        : audioSink == nullptr ? "autoaudiosink"
                                               : nullptr;
  if (missing != nullptr) {
    for (GstElement* element : {playbin, panorama, audioSink}) {
      if (element != nullptr) gst_object_unref(element);
    }
    why = missingPluginError(std::string("element-") + missing, missing);
    return false;
  }
  // Audio only: a file that also carries pictures must not open a video window.
  gst_util_set_object_arg(G_OBJECT(playbin), "flags", "audio+soft-volume");
  // Never let playbin pick a video sink of its own: some open a display and crash without one.
  g_object_set(playbin, "video-sink", gst_element_factory_make("fakesink", nullptr), "text-sink",
               gst_element_factory_make("fakesink", nullptr), nullptr);
  // Our own autoaudiosink, so that after preroll we can see which output it found.
  g_object_set(playbin, "audio-sink", audioSink, nullptr);
  // A true balance: at either end the other channel is silent.
  gst_util_set_object_arg(G_OBJECT(panorama), "method", "simple");
  g_object_set(playbin, "audio-filter", panorama, nullptr);

  g_signal_connect(playbin, "about-to-finish", G_CALLBACK(&aboutToFinish), pipeline.get());
  GstBus* bus = gst_element_get_bus(playbin);
  gst_bus_set_sync_handler(bus, &stamp, pipeline.get(), nullptr);
  pipeline->watch = gst_bus_create_watch(bus);
  g_source_set_callback(
      pipeline->watch,
      G_SOURCE_FUNC(+[](GstBus*, GstMessage* message, gpointer data) -> gboolean {
        const auto& owner = *static_cast<std::shared_ptr<Pipeline>*>(data);
        if (owner->engine != nullptr) Callbacks::message(*owner->engine, message);
        return G_SOURCE_CONTINUE;
      }),
      new std::shared_ptr<Pipeline>(pipeline),
      [](gpointer data) { delete static_cast<std::shared_ptr<Pipeline>*>(data); });
  g_source_attach(pipeline->watch, nullptr);  // the default main context: the program's loop
  gst_object_unref(bus);

  {
    std::lock_guard hold(pipeline->lock);
    pipeline->playbin = playbin;
    pipeline->panorama = panorama;
    pipeline->audioSink = audioSink;
  }
  applyAudioSettings(*pipeline);
  return true;
}

void failOpen(const std::shared_ptr<Pipeline>& pipeline, unsigned generation, EngineError error) {
  onProgramThread(pipeline, [generation, error = std::move(error)](GstMediaEngine& engine) {
    Callbacks::openFailed(engine, generation, error);
  });
}

void load(const std::shared_ptr<Pipeline>& pipeline, unsigned generation, const std::string& path) {
  EngineError why;
  if (!build(pipeline, why)) {
    failOpen(pipeline, generation, why);
    return;
  }
  // Going to NULL stops the old stream's threads before the stamp moves on, so nothing the old
  // stream posts can carry the new one.
  gst_element_set_state(pipeline->playbin, GST_STATE_NULL);
  pipeline->joinGeneration.store(0);
  pipeline->generation.store(generation);
  // A named pipe, a device or a socket would hold the opening until someone writes to it.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    failOpen(pipeline, generation, {EngineFault::Track, "not a regular file"});
    return;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (uri == nullptr) {
    failOpen(pipeline, generation, {EngineFault::Track, "the path cannot be made into a file URI"});
    return;
  }
  g_object_set(pipeline->playbin, "uri", uri, nullptr);
  g_free(uri);
  // Preroll paused first, so a kept rate or an early seek applies before the first sound.
  if (gst_element_set_state(pipeline->playbin, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    // Usually an error message with the reason is on its way too. The bus watch runs before idle
    // callbacks, so that one is reported, and this only if none comes; never both.
    failOpen(pipeline, generation, {EngineFault::Track, "the file cannot be opened"});
  }
}

void release(Pipeline& pipeline) {
  GstElement *playbin = nullptr, *panorama = nullptr, *audioSink = nullptr;
  {
    std::lock_guard hold(pipeline.lock);
    std::swap(playbin, pipeline.playbin);
    std::swap(panorama, pipeline.panorama);
    std::swap(audioSink, pipeline.audioSink);
  }
  if (pipeline.watch != nullptr) {
    g_source_destroy(pipeline.watch);
    g_source_unref(pipeline.watch);
    pipeline.watch = nullptr;
  }
  if (playbin == nullptr) return;
  gst_element_set_state(playbin, GST_STATE_NULL);
  GstBus* bus = gst_element_get_bus(playbin);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  gst_object_unref(playbin);
  gst_object_unref(audioSink);
  gst_object_unref(panorama);
#ifdef __GLIBC__
  malloc_trim(0);  // what the stream's threads freed stays with the process otherwise
#endif
}

}  // namespace

// ---- The program's thread ----

GstMediaEngine::GstMediaEngine(unsigned releaseAfterMs)
    : pipeline_(std::make_shared<Pipeline>()), releaseAfterMs_(releaseAfterMs) {
  pipeline_->engine = this;
}

GstMediaEngine::~GstMediaEngine() {
  pipeline_->engine = nullptr;  // nothing reported from now on reaches this engine
  if (releaseId_ != 0) g_source_remove(releaseId_);
  worker_.post([pipeline = pipeline_] { release(*pipeline); });
}

bool GstMediaEngine::holdsPipeline() const {
  return static_cast<bool>(ElementRef(*pipeline_, &Pipeline::playbin));
}

void GstMediaEngine::releaseWhenIdle() {
  if (releaseId_ != 0 || !built_) return;
  releaseId_ = g_timeout_add(
      releaseAfterMs_,
      [](gpointer data) -> gboolean {
        auto* self = static_cast<GstMediaEngine*>(data);
        self->releaseId_ = 0;
        if (!self->loaded_) {
          self->built_ = false;
          self->worker_.post([pipeline = self->pipeline_] { release(*pipeline); });
        }
        return G_SOURCE_REMOVE;
      },
      this);
}

void GstMediaEngine::setPipelineState(int state) {
  if (!built_) return;
  worker_.post([pipeline = pipeline_, state] {
    if (pipeline->playbin != nullptr) {
      gst_element_set_state(pipeline->playbin, static_cast<GstState>(state));
    }
  });
}

void GstMediaEngine::unload() {
  setPipelineState(GST_STATE_NULL);
  handedOverPlays_ = false;
  forgetStream();
}

void GstMediaEngine::forgetStream() {
  // A streaming thread waiting on an answer for this stream gets none; one that asked for the
  // stream handed over waits on.
  if (handOverAsked_ && !handedOverPlays_) std::exchange(handOverAsked_, {})->give({}, 0);
  generation_ = ++lastGeneration_;
  loaded_ = false;
  handOverPending_ = false;
  tags_ = {};
  prerolled_ = false;
  prerollAsked_ = false;
  newStreamSent_ = false;
  ended_ = false;
  endPosition_ = 0;
  pendingSeek_.reset();
  seeksDone_ = seeksAsked_;
  lastPosition_ = 0;
  missingDetail_.clear();
  missingDescription_.clear();
  pictureDecoderMissing_ = false;
  outputProblem_.clear();
  state_ = kStopped;
  reportedState_ = kStopped;
}

void GstMediaEngine::open(const std::string& path) {
  if (handedOverPlays_ && path == handOverPath_) {
    adoptHandedOver();
    return;
  }
  unload();
  if (releaseId_ != 0) g_source_remove(releaseId_);  // the pipeline serves this stream
  releaseId_ = 0;
  fileName_ = path;
  if (path.empty()) {
    releaseWhenIdle();
    return;
  }

  loaded_ = true;
  state_ = kPlaying;
  // GStreamer takes C strings and would open the path cut at the NUL: some other file.
  if (path.find('\0') != std::string::npos) {
    raiseOpenFailure(generation_, {EngineFault::Track, "the path contains a NUL byte"});
    return;
  }
  built_ = true;
  worker_.post([pipeline = pipeline_, generation = generation_, path] {
    load(pipeline, generation, path);
  });
}

void GstMediaEngine::adoptHandedOver() {
  if (releaseId_ != 0) g_source_remove(releaseId_);
  releaseId_ = 0;
  forgetStream();  // an ask for this stream's own follower is kept
  handedOverPlays_ = false;
  generation_ = handOverGeneration_;  // what the playing stream's messages carry
  fileName_ = handOverPath_;
  loaded_ = prerolled_ = prerollAsked_ = true;
  state_ = kPlaying;
  // It plays already; that is told from the loop, never from inside open().
  onProgramThread(pipeline_, [generation = generation_](GstMediaEngine& engine) {
    Callbacks::handedOverPlays(engine, generation);
  });
  // Answered from the loop: the program is still choosing (marking the entry that follows).
  if (handOverAsked_) {
    onProgramThread(pipeline_, [generation = generation_, asked = std::exchange(handOverAsked_, {})](
                                   GstMediaEngine& engine) { Callbacks::answerHandOver(engine, generation, *asked); });
  }
}

void GstMediaEngine::raiseOpenFailure(unsigned generation, EngineError error) {
  onProgramThread(pipeline_, [generation, error = std::move(error)](GstMediaEngine& engine) {
    Callbacks::openFailed(engine, generation, error);
  });
}

void GstMediaEngine::openFailed(unsigned generation, const EngineError& error) {
  if (loaded_ && generation == generation_) failStream(error);
}

void GstMediaEngine::failStream(EngineError error) {
  unload();
  releaseWhenIdle();
  lastError_ = std::move(error);
  if (listener() != nullptr) listener()->mp1_Error();
}

void GstMediaEngine::play() {
  if (!loaded_ || state_ != kPaused) return;
  state_ = kPlaying;
  if (prerolled_) setPipelineState(GST_STATE_PLAYING);
}

void GstMediaEngine::pause() {
  if (!loaded_ || state_ != kPlaying) return;
  state_ = kPaused;
  if (prerolled_) setPipelineState(GST_STATE_PAUSED);
}

void GstMediaEngine::stop() {
  unload();
  releaseWhenIdle();
}

// Both are asked of the audio sink, not of playbin: playbin answers queries under the lock it
// holds while the worker changes its state, and a state change may wait on a slow file system.
double GstMediaEngine::position() const {
  if (ended_) return endPosition_;
  if (!loaded_) return 0;
  if (!prerolled_) return pendingSeek_.value_or(0);
  if (seeksDone_ != seeksAsked_) return seekTarget_;  // the worker has not made it yet
  ElementRef sink(*pipeline_, &Pipeline::audioSink);
  gint64 ns = 0;
  if (sink && gst_element_query_position(sink.get(), GST_FORMAT_TIME, &ns) && ns >= 0) {
    lastPosition_ = toSeconds(ns);
  }
  // With the next stream handed over the track ends when that one starts, which the engine
  // reports: its position never reaches its length before (the clock would end it once more).
  if (handOverPending_ && lengthAtHandOver_ > 0 && lastPosition_ >= lengthAtHandOver_) {
    return std::nextafter(lengthAtHandOver_, 0.0);
  }
  return lastPosition_;
}

double GstMediaEngine::duration() const {
  if (ended_) return endPosition_;
  if (!prerolled_) return 0;  // not known before
  // Asked afresh each time: an MP3 without a length header only gets one after a while.
  ElementRef sink(*pipeline_, &Pipeline::audioSink);
  gint64 ns = 0;
  if (sink && gst_element_query_duration(sink.get(), GST_FORMAT_TIME, &ns) && ns > 0) {
    return toSeconds(ns);
  }
  return 0;
}

void GstMediaEngine::setPosition(double seconds) {
  if (!loaded_ || std::isnan(seconds)) return;
  seconds = std::max(seconds, 0.0);
  const double length = duration();
  if (length > 0) seconds = std::min(seconds, length);
  if (!prerolled_) {
    pendingSeek_ = seconds;
    return;
  }
  seekTo(seconds, rate_);
}

void GstMediaEngine::seekTo(double seconds, double rate) {
  lastPosition_ = seekTarget_ = seconds;
  const unsigned seek = ++seeksAsked_;
  worker_.post([pipeline = pipeline_, seconds, rate, seek] {
    if (pipeline->playbin != nullptr) {
      gst_element_seek(pipeline->playbin, rate, GST_FORMAT_TIME,
                       static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                       GST_SEEK_TYPE_SET, toNanoseconds(seconds), GST_SEEK_TYPE_NONE,
                       GST_CLOCK_TIME_NONE);
    }
    onProgramThread(pipeline, [seek](GstMediaEngine& engine) { Callbacks::seekDone(engine, seek); });
  });
}

void GstMediaEngine::setRate(double rate) {
  rate = clampRate(rate);
  if (rate == rate_) return;
  rate_ = rate;
  // No scaletempo: the pitch follows the speed.
  if (loaded_ && prerolled_) seekTo(position(), rate_);
}

void GstMediaEngine::setVolume(long volume) {
  worker_.post([pipeline = pipeline_, volume] {
    pipeline->volume = volume;
    applyAudioSettings(*pipeline);
  });
}

void GstMediaEngine::setBalance(long balance) {
  worker_.post([pipeline = pipeline_, balance] {
    pipeline->balance = balance;
    applyAudioSettings(*pipeline);
  });
}

bool GstMediaEngine::isPlaybin(GstMessage* message) const {
  std::lock_guard hold(pipeline_->lock);
  return GST_MESSAGE_SRC(message) == GST_OBJECT_CAST(pipeline_->playbin);
}

void GstMediaEngine::handleMessage(GstMessage* message) {
  const auto stamp = GPOINTER_TO_UINT(
      gst_mini_object_get_qdata(GST_MINI_OBJECT_CAST(message), generationQuark()));
  // The stream handed over has started at the sink: the one before has ended.
  if (handOverPending_ && stamp == handOverGeneration_ &&
      GST_MESSAGE_TYPE(message) == GST_MESSAGE_STREAM_START) {
    endStream(false);
    return;
  }
  // Old streams may still post end-of-stream or errors; ignore them.
  if (!loaded_ || stamp != generation_) return;

  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
      // An error while a stream is handed over is the next stream's: this one ends as it would
      // have, and the next is opened again, to fail on its own account.
      if (handOverPending_) {
        endStream(true);
      } else {
        failStream(errorFor(message));
      }
      break;
    case GST_MESSAGE_TAG:
      // Only what reaches the sink: tags travel with the sound, so they belong to the stream heard.
      if (fromAudioSink(message)) onTags(message);
      break;
    case GST_MESSAGE_WARNING:
      // autoaudiosink warns with the first sink's failure when it falls back to a fakesink.
      if (outputProblem_.empty() && fromAudioSink(message)) {
        GError* error = nullptr;
        gst_message_parse_warning(message, &error, nullptr);
        if (error != nullptr) outputProblem_ = error->message;
        g_clear_error(&error);
      }
      break;
    case GST_MESSAGE_ELEMENT:
      // Comes before the error "missing a plug-in", which does not say what is missing.
      if (missingDetail_.empty() && gst_is_missing_plugin_message(message)) {
        std::string detail = takeText(gst_missing_plugin_message_get_installer_detail(message));
        if (missingForSound(detail)) {
          missingDetail_ = std::move(detail);
          missingDescription_ = takeText(gst_missing_plugin_message_get_description(message));
        } else {
          pictureDecoderMissing_ = true;
        }
      }
      break;
    case GST_MESSAGE_EOS:
      endStream(true);
      break;
    case GST_MESSAGE_ASYNC_DONE:
      if (!prerolled_ && !prerollAsked_ && isPlaybin(message)) checkPreroll();
      break;
    case GST_MESSAGE_STATE_CHANGED:
      if (isPlaybin(message)) {
        GstState newState = GST_STATE_NULL;
        gst_message_parse_state_changed(message, nullptr, &newState, nullptr);
        onPipelineState(newState);
      }
      break;
    default:
      break;
  }
}

EngineError GstMediaEngine::errorFor(GstMessage* message) const {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  EngineError result{EngineFault::Track, "the file cannot be played"};
  if (error == nullptr) return result;
  if (error->message != nullptr && *error->message != '\0') result.text = error->message;

  const bool missing = g_error_matches(error, GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN) ||
                       g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_CODEC_NOT_FOUND);
  if (error->domain == GST_RESOURCE_ERROR && fromAudioSink(message)) {
    result.fault = EngineFault::Output;  // the sound server or device failed, not the file
  } else if (missing && !missingDetail_.empty()) {
    result = missingPluginError(missingDetail_, missingDescription_);
  } else if (missing && pictureDecoderMissing_) {
    result.text = kNoAudio;
  }
  g_error_free(error);
  return result;
}

bool GstMediaEngine::fromAudioSink(GstMessage* message) const {
  ElementRef sink(*pipeline_, &Pipeline::audioSink);
  return sink && GST_MESSAGE_SRC(message) != nullptr &&
         gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT_CAST(sink.get()));
}

void GstMediaEngine::checkPreroll() {
  prerollAsked_ = true;
  worker_.post([pipeline = pipeline_, generation = generation_] {
    const PrerollCheck check = sonavex::checkPreroll(*pipeline);
    onProgramThread(pipeline, [generation, check](GstMediaEngine& engine) {
      Callbacks::prerollChecked(engine, generation, check.audioStreams, check.outputOpened);
    });
  });
}

void GstMediaEngine::onPrerolled(int audioStreams, bool outputOpened) {
  // A picture or a silent video is no track for an audio player: fail it, so the playlist moves on.
  if (audioStreams == 0) {
    failStream(missingDetail_.empty() ? EngineError{EngineFault::Track, kNoAudio}
                                      : missingPluginError(missingDetail_, missingDescription_));
    return;
  }
  // Checked only now: autoaudiosink picks its output when playbin sets up the audio chain.
  if (!outputOpened) {
    std::string text = "no audio device or sound server could be opened";
    if (!outputProblem_.empty()) text += " (" + outputProblem_ + ")";
    failStream({EngineFault::Output, text});
    return;
  }
  prerolled_ = true;
  if (rate_ != 1.0 || pendingSeek_) seekTo(pendingSeek_.value_or(0), rate_);
  pendingSeek_.reset();
  if (state_ == kPlaying) setPipelineState(GST_STATE_PLAYING);
  if (handOverAsked_) Callbacks::answerHandOver(*this, generation_, *std::exchange(handOverAsked_, {}));
}

void GstMediaEngine::onPipelineState(int newState) {
  const unsigned generation = generation_;
  if (newState == GST_STATE_PLAYING) {
    if (!newStreamSent_) {
      newStreamSent_ = true;
      if (listener() != nullptr) listener()->mp1_NewStream();
      if (generation != generation_) return;  // the listener opened or stopped
    }
    if (reportedState_ != kPlaying) {
      const long old = reportedState_;
      reportedState_ = kPlaying;
      if (listener() != nullptr) listener()->mp1_PlayStateChange(old, kPlaying);
    }
  } else if (newState == GST_STATE_PAUSED && state_ == kPaused && reportedState_ == kPlaying) {
    reportedState_ = kPaused;
    if (listener() != nullptr) listener()->mp1_PlayStateChange(kPlaying, kPaused);
  }
}

void GstMediaEngine::endStream(bool stopPipeline) {
  // GStreamer's last position is often a little short of the length: report the length.
  double length = handOverPending_ ? lengthAtHandOver_ : duration();
  if (length <= 0) length = position();
  const long old = reportedState_;
  handedOverPlays_ = handOverPending_ && !stopPipeline;
  if (stopPipeline) {
    unload();
    releaseWhenIdle();
  } else {
    forgetStream();
  }
  ended_ = true;
  endPosition_ = length;

  const unsigned generation = generation_;
  if (listener() != nullptr) listener()->mp1_EndOfStream(0);
  if (generation == generation_ && listener() != nullptr) {
    listener()->mp1_PlayStateChange(old, kStopped);
  }
  // Nobody took up the stream that plays on: it must not play unasked.
  if (handedOverPlays_ && generation == generation_) unload();
}

void GstMediaEngine::onTags(GstMessage* message) {
  GstTagList* list = nullptr;
  gst_message_parse_tag(message, &list);
  if (list == nullptr) return;
  TrackTags tags = tags_;
  const std::pair<const char*, std::string*> texts[] = {
      {GST_TAG_TITLE, &tags.title}, {GST_TAG_ARTIST, &tags.artist}, {GST_TAG_ALBUM, &tags.album}};
  for (const auto& [tag, text] : texts) {
    gchar* value = nullptr;
    if (gst_tag_list_get_string(list, tag, &value)) *text = takeText(value);
  }
  guint number = 0;
  if (gst_tag_list_get_uint(list, GST_TAG_TRACK_NUMBER, &number)) {
    tags.trackNumber = static_cast<int>(number);
  }
  GstSample* cover = nullptr;
  if (gst_tag_list_get_sample(list, GST_TAG_IMAGE, &cover) ||
      gst_tag_list_get_sample(list, GST_TAG_PREVIEW_IMAGE, &cover)) {
    // Written by the worker: the program's thread does not wait on the disk.
    worker_.post([pipeline = pipeline_, cover, generation = generation_] {
      const std::string url = saveCover(cover);
      gst_sample_unref(cover);
      if (url.empty()) return;
      onProgramThread(pipeline, [generation, url](GstMediaEngine& engine) {
        Callbacks::coverSaved(engine, generation, url);
      });
    });
  }
  gst_tag_list_unref(list);
  if (tags == tags_) return;
  tags_ = std::move(tags);
  if (listener() != nullptr) listener()->mp1_TagsChanged();
}

std::unique_ptr<MediaEngine> makeGstMediaEngine() { return std::make_unique<GstMediaEngine>(); }

}  // namespace sonavex
