#include "SinkCapture.h"

#include <gst/gst.h>

#include <algorithm>
#include <cmath>

#include "TestAudio.h"

namespace sonavex::e2e {
namespace {

void onHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
  static_cast<SinkCapture*>(data)->append(reinterpret_cast<const std::int16_t*>(map.data),
                                          map.size / sizeof(std::int16_t));
  gst_buffer_unmap(buffer, &map);
}

double level(std::int16_t s) { return std::abs(static_cast<double>(s)) / 32768.0; }

constexpr std::size_t kBlock = kSampleRate / 100;

bool loudBlock(const Recording& r, std::size_t start, double threshold) {
  double sum[2] = {0, 0};
  for (std::size_t f = start; f < start + kBlock; ++f) {
    for (int c = 0; c < 2; ++c) sum[c] += std::pow(level(r.samples[2 * f + c]), 2);
  }
  return std::sqrt(std::max(sum[0], sum[1]) / kBlock) >= threshold;
}

}  // namespace


SinkCapture::SinkCapture(const std::string& sink) {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  const std::string description =
      "pulsesrc device=\"" + sink + ".monitor\" ! audioconvert ! audioresample ! "
      "audio/x-raw,format=S16LE,rate=44100,channels=2,layout=interleaved ! "
      "fakesink name=out signal-handoffs=true sync=false";
  GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
  if (pipeline == nullptr) return;
  GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  g_signal_connect(out, "handoff", G_CALLBACK(onHandoff), this);
  gst_object_unref(out);
  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    gst_object_unref(pipeline);
    return;
  }
  // Wait until the recorder really runs, so nothing played from now on is missed.
  gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
  pipeline_ = pipeline;
}

SinkCapture::~SinkCapture() {
  if (pipeline_ == nullptr) return;
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  gst_object_unref(pipeline_);
}

void SinkCapture::append(const std::int16_t* data, std::size_t count) {
  std::lock_guard lock(mutex_);
  recording_.samples.insert(recording_.samples.end(), data, data + count);
}

Recording SinkCapture::take() {
  std::lock_guard lock(mutex_);
  Recording taken = std::move(recording_);
  recording_ = Recording{};
  return taken;
}

double soundSeconds(const Recording& r, double threshold) {
  int blocks = 0;
  for (std::size_t start = 0; start + kBlock <= r.frames(); start += kBlock) {
    if (loudBlock(r, start, threshold)) ++blocks;
  }
  return blocks * static_cast<double>(kBlock) / kSampleRate;
}

Span soundSpan(const Recording& r, double threshold) {
  const std::size_t block = kBlock;
  std::size_t first = r.frames();
  std::size_t end = 0;
  for (std::size_t start = 0; start + block <= r.frames(); start += block) {
    if (loudBlock(r, start, threshold)) {
      first = std::min(first, start);
      end = start + block;
    }
  }
  if (end == 0) return {};
  return {first, end - first};
}

double rms(const Recording& r, const Span& span, int channel) {
  if (span.count == 0) return 0;
  double sum = 0;
  for (std::size_t f = span.first; f < span.first + span.count; ++f) {
    sum += std::pow(level(r.samples[2 * f + channel]), 2);
  }
  return std::sqrt(sum / span.count);
}

double peak(const Recording& r) {
  double loudest = 0;
  for (std::int16_t s : r.samples) loudest = std::max(loudest, level(s));
  return loudest;
}

double toneFrequency(const Recording& r, const Span& span) {
  // The middle half only: the edges hold the ramp of the start and the end.
  const std::size_t first = span.first + span.count / 4;
  const std::size_t count = span.count / 2;
  if (count < 2) return 0;
  int crossings = 0;
  for (std::size_t f = first + 1; f < first + count; ++f) {
    const bool before = r.samples[2 * (f - 1)] >= 0;
    const bool now = r.samples[2 * f] >= 0;
    if (before != now) ++crossings;
  }
  return crossings / 2.0 / (static_cast<double>(count) / kSampleRate);
}

}  // namespace sonavex::e2e
