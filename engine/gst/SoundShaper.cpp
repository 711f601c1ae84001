#include "engine/gst/SoundShaper.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/gst/SoundBatcher.h"

namespace sonavex {

namespace {

constexpr double kMaxLinearGain = 10;  // the volume element's own limit
// What the sound output gets in one buffer, and so in one write to the sound server. Gathered at
// the filter's door, so that what the filter changes is not held back by it.
constexpr GstClockTime kOutputBatch = 200 * GST_MSECOND;

std::optional<double> tagged(const GstTagList* list, const char* tag) {
  double value = 0;
  if (!gst_tag_list_get_double(list, tag, &value)) return std::nullopt;
  return value;
}

}  // namespace

GstElement* SoundShaper::build(GstElement* last, const char** missing) {
  GstElement* gain = gst_element_factory_make("volume", "replaygain-and-preamp");
  GstElement* bands = gst_element_factory_make("equalizer-10bands", "equalizer");
  if (gain == nullptr || bands == nullptr) {
    *missing = gain == nullptr ? "volume" : "equalizer-10bands";
    for (GstElement* element : {gain, bands}) {
      if (element != nullptr) gst_object_unref(gst_object_ref_sink(element));
    }
    return nullptr;
  }
  for (int band = 0; band < kBands; ++band) {
    const std::string name = "band" + std::to_string(band) + "::freq";
    gst_child_proxy_set(GST_CHILD_PROXY(bands), name.c_str(), kBandHz[static_cast<std::size_t>(band)], nullptr);
  }
  GstElement* batcher = makeSoundBatcher(kOutputBatch);
  GstElement* bin = gst_bin_new("sound-filter");
  gst_bin_add_many(GST_BIN(bin), batcher, gain, bands, last, nullptr);
  gst_element_link_many(batcher, gain, bands, last, nullptr);
  GstPad* door = gst_element_get_static_pad(batcher, "sink");
  GstPad* in = gst_element_get_static_pad(gain, "sink");
  GstPad* out = gst_element_get_static_pad(last, "src");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", door));
  gst_object_unref(door);
  gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
  gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &SoundShaper::onEvent, this, nullptr);
  gst_object_unref(in);
  gst_object_unref(out);
  std::lock_guard hold(lock_);
  gain_ = gain;
  bands_ = bands;
  tags_ = {};
  apply();
  return bin;
}

void SoundShaper::drop() {
  std::lock_guard hold(lock_);
  gain_ = bands_ = nullptr;
}

void SoundShaper::setEqualizer(const EqualizerSettings& settings) {
  std::lock_guard hold(lock_);
  equalizer_ = settings;
  apply();
}

void SoundShaper::setReplayGain(const ReplayGainSettings& settings) {
  std::lock_guard hold(lock_);
  replayGain_ = settings;
  applyGain();
}

void SoundShaper::apply() {
  applyGain();
  if (bands_ == nullptr) return;
  const bool on = equalizer_.on;
  // All bands at 0 dB: equalizer-10bands passes the sound through.
  for (int band = 0; band < kBands; ++band) {
    const std::string name = "band" + std::to_string(band);
    const double bandDb = on ? clampBandDb(equalizer_.bandsDb[static_cast<std::size_t>(band)]) : 0.0;
    g_object_set(bands_, name.c_str(), bandDb, nullptr);
  }
}

void SoundShaper::applyGain() {
  if (gain_ == nullptr) return;
  const double preamp = equalizer_.on ? clampBandDb(equalizer_.preampDb) : 0;
  const double db = replayGainDb(replayGain_, tags_) + preamp;
  g_object_set(gain_, "volume", std::min(std::pow(10.0, db / 20), kMaxLinearGain), nullptr);
}

GstPadProbeReturn SoundShaper::onEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<SoundShaper*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START) {
    std::lock_guard hold(self->lock_);
    self->tags_ = {};  // the next stream's own tags follow
    self->applyGain();
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_TAG) {
    GstTagList* list = nullptr;
    gst_event_parse_tag(event, &list);
    std::lock_guard hold(self->lock_);
    ReplayGainTags& tags = self->tags_;
    const ReplayGainTags read{tagged(list, GST_TAG_TRACK_GAIN), tagged(list, GST_TAG_TRACK_PEAK),
                              tagged(list, GST_TAG_ALBUM_GAIN), tagged(list, GST_TAG_ALBUM_PEAK)};
    // A later tag list may carry only some of them.
    if (read.trackGain) tags.trackGain = read.trackGain;
    if (read.trackPeak) tags.trackPeak = read.trackPeak;
    if (read.albumGain) tags.albumGain = read.albumGain;
    if (read.albumPeak) tags.albumPeak = read.albumPeak;
    self->applyGain();  // the bands do not depend on the stream
  }
  return GST_PAD_PROBE_OK;
}

}  // namespace sonavex
