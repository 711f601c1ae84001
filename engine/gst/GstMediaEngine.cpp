#include "engine/gst/GstMediaEngine.h"

#include <gst/gst.h>

#include <algorithm>
#include <cmath>

#include "engine/gst/AudioSettings.h"

namespace sonavex {
namespace {

GQuark generationQuark() {
  static const GQuark quark = g_quark_from_static_string("sonavex-generation");
  return quark;
}

gint64 toNanoseconds(double seconds) { return static_cast<gint64>(std::llround(seconds * GST_SECOND)); }

double toSeconds(gint64 ns) { return static_cast<double>(ns) / GST_SECOND; }

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

  static gboolean openFailure(gpointer data) {
    auto* self = static_cast<GstMediaEngine*>(data);
    self->idleId_ = 0;
    if (self->loaded_ && self->generation_.load() == self->failureGeneration_) self->failStream();
    return G_SOURCE_REMOVE;
  }
};

GstMediaEngine::~GstMediaEngine() {
  if (idleId_ != 0) g_source_remove(idleId_);
  if (watch_ != nullptr) {
    g_source_destroy(watch_);
    g_source_unref(watch_);
  }
  if (playbin_ != nullptr) {
    gst_element_set_state(playbin_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(playbin_);
  }
}

bool GstMediaEngine::ensurePipeline() {
  if (playbin_ != nullptr) return true;
  if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr)) return false;

  playbin_ = gst_element_factory_make("playbin", nullptr);
  if (playbin_ == nullptr) return false;
  gst_object_ref_sink(playbin_);
  // Audio only: a file that also carries pictures must not open a video window.
  gst_util_set_object_arg(G_OBJECT(playbin_), "flags", "audio+soft-volume");
  // Never let playbin pick a video sink of its own: some open a display and crash without one.
  g_object_set(playbin_, "video-sink", gst_element_factory_make("fakesink", nullptr), "text-sink",
               gst_element_factory_make("fakesink", nullptr), nullptr);

  // A true balance: at either end the other channel is silent.
  panorama_ = gst_element_factory_make("audiopanorama", nullptr);
  if (panorama_ != nullptr) {
    gst_util_set_object_arg(G_OBJECT(panorama_), "method", "simple");
    g_object_set(playbin_, "audio-filter", panorama_, nullptr);
  }

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
  state_ = kStopped;
  reportedState_ = kStopped;
}

void GstMediaEngine::open(const std::string& path) {
  unload();
  fileName_ = path;
  if (path.empty()) return;

  loaded_ = true;
  state_ = kPlaying;
  if (!ensurePipeline()) {
    raiseOpenFailure();
    return;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (uri == nullptr) {
    raiseOpenFailure();
    return;
  }
  g_object_set(playbin_, "uri", uri, nullptr);
  g_free(uri);
  // Preroll paused first, so a kept rate or an early seek applies before the first sound.
  if (gst_element_set_state(playbin_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    raiseOpenFailure();  // usually an error message is on its way too; only one is reported
  }
}

void GstMediaEngine::raiseOpenFailure() {
  if (idleId_ != 0) g_source_remove(idleId_);
  failureGeneration_ = generation_.load();
  idleId_ = g_idle_add(&Callbacks::openFailure, this);
}

void GstMediaEngine::failStream() {
  unload();
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
      failStream();
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

void GstMediaEngine::onPrerolled() {
  // A picture or a silent video is no track for an audio player: fail it, so the playlist moves on.
  gint audioStreams = 0;
  g_object_get(playbin_, "n-audio", &audioStreams, nullptr);
  if (audioStreams == 0) {
    failStream();
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
  ended_ = true;
  endPosition_ = length;

  const unsigned generation = generation_.load();
  if (listener() != nullptr) listener()->mp1_EndOfStream(0);
  if (generation != generation_.load()) return;
  if (listener() != nullptr) listener()->mp1_PlayStateChange(old, kStopped);
}

std::unique_ptr<MediaEngine> makeGstMediaEngine() { return std::make_unique<GstMediaEngine>(); }

}  // namespace sonavex
