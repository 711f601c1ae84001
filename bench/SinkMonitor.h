#pragma once
// The test sink's monitor, recorded in the process for the benches that listen.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sonavex {

using Clock = std::chrono::steady_clock;

// The sink's monitor, as it comes: the first loud moment since a mark, and every sample kept
// while keeping is on.
class Monitor {
 public:
  Monitor() {
    const char* sink = std::getenv("SONAVEX_PULSE_SINK");
    pipeline_ = gst_parse_launch(
        ("pulsesrc buffer-time=20000 latency-time=5000 device=" + std::string(sink ? sink : "") +
         ".monitor ! audioconvert ! audio/x-raw,format=S16LE,rate=44100,channels=1 ! "
         "appsink name=out sync=false emit-signals=true")
            .c_str(),
        nullptr);
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline_), "out");
    g_signal_connect(out, "new-sample", G_CALLBACK(&Monitor::sample), this);
    gst_object_unref(out);
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    gst_element_get_state(pipeline_, nullptr, nullptr, 5 * GST_SECOND);
  }
  ~Monitor() {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
  }
  void mark() {
    const std::lock_guard hold(lock_);
    loudAt_.reset();
  }
  std::optional<Clock::time_point> loudAt() {
    const std::lock_guard hold(lock_);
    return loudAt_;
  }
  // The loudness of the last 20 ms, of full scale.
  double level() {
    const std::lock_guard hold(lock_);
    return level_;
  }
  void keep(bool on) {
    const std::lock_guard hold(lock_);
    keeping_ = on;
    if (on) kept_.clear();
  }
  std::vector<std::int16_t> kept() {
    const std::lock_guard hold(lock_);
    return kept_;
  }

 private:
  static GstFlowReturn sample(GstAppSink* sink, gpointer data) {
    auto& self = *static_cast<Monitor*>(data);
    GstSample* got = gst_app_sink_pull_sample(sink);
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(got);
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      const auto* s = reinterpret_cast<const std::int16_t*>(map.data);
      const std::size_t n = map.size / 2;
      double sum = 0;
      for (std::size_t i = 0; i < n; ++i) sum += double(s[i]) * s[i];
      const std::lock_guard hold(self.lock_);
      if (!self.loudAt_ && n > 0 && std::sqrt(sum / n) > 1600) self.loudAt_ = Clock::now();
      if (n > 0) self.level_ = std::sqrt(sum / n) / 32768;
      if (self.keeping_) self.kept_.insert(self.kept_.end(), s, s + n);
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(got);
    return GST_FLOW_OK;
  }
  GstElement* pipeline_;
  std::mutex lock_;
  std::optional<Clock::time_point> loudAt_;
  double level_ = 0;
  bool keeping_ = false;
  std::vector<std::int16_t> kept_;
};

}  // namespace sonavex
