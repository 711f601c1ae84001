#include "engine/gst/GstMediaEngine.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "engine/gst/AudioOnly.h"
#include "engine/gst/AudioSettings.h"
#include "engine/gst/MissingPlugin.h"

namespace sonavex {
namespace {

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

}  // namespace

struct GstMediaEngine::Callbacks {
  // Runs on whichever thread posts: streaming threads included. Only stamps, never handles.
  static GstBusSyncReply stamp(GstBus*, GstMessage* message, gpointer data) {
    auto* self = static_cast<GstMediaEngine*>(data);
    gst_mini_object_set_qdata(GST_MINI_OBJECT_CAST(message), generationQuark(),
                              GUINT_TO_POINTER(self->generation_.load()), nullptr);
    return GST_BUS_PASS;
  }

  static gboolean busMessage(GstBus*, GstMessage* message, gpointer data) {
    static_cast<GstMediaEngine*>(data)->handleMessage(message);
    return G_SOURCE_CONTINUE;
  }

  static gboolean releaseIfIdle(gpointer data) {
    auto* self = static_cast<GstMediaEngine*>(data);
    self->releaseId_ = 0;
    if (!self->loaded_) self->releasePipeline();
    return G_SOURCE_REMOVE;
  }

  static gboolean openFailure(gpointer data) {
    auto* self = static_cast<GstMediaEngine*>(data);
    self->idleId_ = 0;
    if (self->loaded_ && self->generation_.load() == self->failureGeneration_) {
      self->failStream(self->pendingError_);
    }
    return G_SOURCE_REMOVE;
  }
};

GstMediaEngine::~GstMediaEngine() {
  if (idleId_ != 0) g_source_remove(idleId_);
  releasePipeline();
}

void GstMediaEngine::releasePipeline() {
  if (releaseId_ != 0) g_source_remove(releaseId_);
  releaseId_ = 0;
  if (watch_ != nullptr) {
    g_source_destroy(watch_);
    g_source_unref(watch_);
    watch_ = nullptr;
  }
  if (playbin_ != nullptr) {
    gst_element_set_state(playbin_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin_);
  }
  if (audioSink_ != nullptr) gst_object_unref(audioSink_);
  if (panorama_ != nullptr) gst_object_unref(panorama_);
  playbin_ = audioSink_ = panorama_ = nullptr;
#ifdef __GLIBC__
  malloc_trim(0);  // what the stream's threads freed stays with the process otherwise
#endif
}

void GstMediaEngine::releaseWhenIdle() {
  if (releaseId_ != 0 || playbin_ == nullptr) return;
  releaseId_ = g_timeout_add(releaseAfterMs_, &Callbacks::releaseIfIdle, this);
}

// MP3 has decoders of equal rank in mpg123 and in libav, and then the name decides: libav's, whose
// one plugin maps some twenty libraries (video codecs, speech synthesis, TLS) into the player for
// one audio format. mpg123's comes first; libav's stay for what only they decode.
static void preferLeanDecoders() {
  if (GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
    gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
    gst_object_unref(mpg123);
  }
}

bool GstMediaEngine::ensurePipeline(EngineError& why) {
  if (playbin_ != nullptr) return true;
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

  // All or nothing, so that the next open() tries again from scratch.
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
  playbin_ = playbin;
  panorama_ = panorama;
  audioSink_ = audioSink;
  // Audio only: a file that also carries pictures must not open a video window.
  gst_util_set_object_arg(G_OBJECT(playbin_), "flags", "audio+soft-volume");
  // Never let playbin pick a video sink of its own: some open a display and crash without one.
  g_object_set(playbin_, "video-sink", gst_element_factory_make("fakesink", nullptr), "text-sink",
               gst_element_factory_make("fakesink", nullptr), nullptr);

  // Our own autoaudiosink, so that after preroll we can see which output it found.
  g_object_set(playbin_, "audio-sink", audioSink_, nullptr);

  // A true balance: at either end the other channel is silent.
  gst_util_set_object_arg(G_OBJECT(panorama_), "method", "simple");
  g_object_set(playbin_, "audio-filter", panorama_, nullptr);

  GstBus* bus = gst_element_get_bus(playbin_);
  gst_bus_set_sync_handler(bus, &Callbacks::stamp, this, nullptr);
  watch_ = gst_bus_create_watch(bus);
  g_source_set_callback(watch_, G_SOURCE_FUNC(&Callbacks::busMessage), this, nullptr);
  g_source_attach(watch_, nullptr);  // the default main context: the UI thread's loop
  gst_object_unref(bus);

  setVolume(volume_);
  setBalance(balance_);
  return true;
}

void GstMediaEngine::unload() {
  // Going to NULL stops the streaming threads before the generation moves on, so nothing the old
  // stream posts can carry the new stamp.
  if (playbin_ != nullptr) gst_element_set_state(playbin_, GST_STATE_NULL);
  generation_.fetch_add(1);
  loaded_ = false;
  prerolled_ = false;
  newStreamSent_ = false;
  ended_ = false;
  endPosition_ = 0;
  pendingSeek_.reset();
  lastPosition_ = 0;
  missingDetail_.clear();
  missingDescription_.clear();
  pictureDecoderMissing_ = false;
  outputProblem_.clear();
  state_ = kStopped;
  reportedState_ = kStopped;
}

void GstMediaEngine::open(const std::string& path) {
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
    raiseOpenFailure({EngineFault::Track, "the path contains a NUL byte"});
    return;
  }
  EngineError why;
  if (!ensurePipeline(why)) {
    raiseOpenFailure(why);
    return;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (uri == nullptr) {
    raiseOpenFailure({EngineFault::Track, "the path cannot be made into a file URI"});
    return;
  }
  g_object_set(playbin_, "uri", uri, nullptr);
  g_free(uri);
  // Preroll paused first, so a kept rate or an early seek applies before the first sound.
  if (gst_element_set_state(playbin_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    // Usually an error message with the reason is on its way too. The bus watch runs before idle
    // callbacks, so that one is reported, and this only if none comes; never both.
    raiseOpenFailure({EngineFault::Track, "the file cannot be opened"});
  }
}

void GstMediaEngine::raiseOpenFailure(EngineError error) {
  if (idleId_ != 0) g_source_remove(idleId_);
  failureGeneration_ = generation_.load();
  pendingError_ = std::move(error);
  idleId_ = g_idle_add(&Callbacks::openFailure, this);
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
  if (prerolled_) gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void GstMediaEngine::pause() {
  if (!loaded_ || state_ != kPlaying) return;
  state_ = kPaused;
  if (prerolled_) gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void GstMediaEngine::stop() {
  unload();
  releaseWhenIdle();
}

double GstMediaEngine::position() const {
  if (ended_) return endPosition_;
  if (!loaded_) return 0;
  if (!prerolled_) return pendingSeek_.value_or(0);
  gint64 ns = 0;
  if (gst_element_query_position(playbin_, GST_FORMAT_TIME, &ns) && ns >= 0) {
    lastPosition_ = toSeconds(ns);
  }
  return lastPosition_;
}

double GstMediaEngine::duration() const {
  if (ended_) return endPosition_;
  if (!loaded_ || playbin_ == nullptr) return 0;
  // Asked afresh each time: an MP3 without a length header only gets one after a while.
  gint64 ns = 0;
  if (gst_element_query_duration(playbin_, GST_FORMAT_TIME, &ns) && ns > 0) return toSeconds(ns);
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
  lastPosition_ = seconds;
  gst_element_seek(playbin_, rate, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                   GST_SEEK_TYPE_SET, toNanoseconds(seconds), GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

void GstMediaEngine::setRate(double rate) {
  rate = clampRate(rate);
  if (rate == rate_) return;
  rate_ = rate;
  // No scaletempo: the pitch follows the speed.
  if (loaded_ && prerolled_) seekTo(position(), rate_);
}

void GstMediaEngine::setVolume(long volume) {
  volume_ = volume;
  if (playbin_ != nullptr) g_object_set(playbin_, "volume", volumeToGain(volume), nullptr);
}

void GstMediaEngine::setBalance(long balance) {
  balance_ = balance;
  if (panorama_ != nullptr) g_object_set(panorama_, "panorama", balanceToPanorama(balance), nullptr);
}

void GstMediaEngine::handleMessage(GstMessage* message) {
  const auto stamp = GPOINTER_TO_UINT(
      gst_mini_object_get_qdata(GST_MINI_OBJECT_CAST(message), generationQuark()));
  // Old streams may still post end-of-stream or errors; ignore them.
  if (!loaded_ || stamp != generation_.load()) return;

  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
      failStream(errorFor(message));
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
      onEndOfStream();
      break;
    case GST_MESSAGE_ASYNC_DONE:
      if (GST_MESSAGE_SRC(message) == GST_OBJECT_CAST(playbin_) && !prerolled_) onPrerolled();
      break;
    case GST_MESSAGE_STATE_CHANGED:
      if (GST_MESSAGE_SRC(message) == GST_OBJECT_CAST(playbin_)) {
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
  return GST_MESSAGE_SRC(message) != nullptr &&
         gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT_CAST(audioSink_));
}

bool GstMediaEngine::soundOutputOpened() const {
  bool opened = false;
  GST_OBJECT_LOCK(audioSink_);
  for (GList* child = GST_BIN_CHILDREN(audioSink_); child != nullptr; child = child->next) {
    GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(child->data));
    const char* name = factory != nullptr ? GST_OBJECT_NAME(factory) : "";
    if (std::strcmp(name, "fakesink") != 0 && std::strcmp(name, "fakeaudiosink") != 0) {
      opened = true;
    }
  }
  GST_OBJECT_UNLOCK(audioSink_);
  return opened;
}

void GstMediaEngine::onPrerolled() {
  // A picture or a silent video is no track for an audio player: fail it, so the playlist moves on.
  gint audioStreams = 0;
  g_object_get(playbin_, "n-audio", &audioStreams, nullptr);
  if (audioStreams == 0) {
    failStream(missingDetail_.empty() ? EngineError{EngineFault::Track, kNoAudio}
                                      : missingPluginError(missingDetail_, missingDescription_));
    return;
  }
  // Checked only now: autoaudiosink picks its output when playbin sets up the audio chain.
  if (!soundOutputOpened()) {
    std::string text = "no audio device or sound server could be opened";
    if (!outputProblem_.empty()) text += " (" + outputProblem_ + ")";
    failStream({EngineFault::Output, text});
    return;
  }
  prerolled_ = true;
  if (rate_ != 1.0 || pendingSeek_) seekTo(pendingSeek_.value_or(0), rate_);
  pendingSeek_.reset();
  if (state_ == kPlaying) gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void GstMediaEngine::onPipelineState(int newState) {
  const unsigned generation = generation_.load();
  if (newState == GST_STATE_PLAYING) {
    if (!newStreamSent_) {
      newStreamSent_ = true;
      if (listener() != nullptr) listener()->mp1_NewStream();
      if (generation != generation_.load()) return;  // the listener opened or stopped
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

void GstMediaEngine::onEndOfStream() {
  // GStreamer's last position is often a little short of the length: report the length.
  double length = duration();
  if (length <= 0) length = position();
  const long old = reportedState_;
  unload();
  releaseWhenIdle();
  ended_ = true;
  endPosition_ = length;

  const unsigned generation = generation_.load();
  if (listener() != nullptr) listener()->mp1_EndOfStream(0);
  if (generation != generation_.load()) return;
  if (listener() != nullptr) listener()->mp1_PlayStateChange(old, kStopped);
}

std::unique_ptr<MediaEngine> makeGstMediaEngine() { return std::make_unique<GstMediaEngine>(); }

}  // namespace sonavex
