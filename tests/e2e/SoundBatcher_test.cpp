// The output's batcher on its own, through GStreamer's test harness: what it gathers, and that
// nothing crosses an event or outlives a flush.
#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gst/SoundBatcher.h"

namespace sonavex {
namespace {

// 1,000 frames a second of 16-bit stereo: a millisecond is 4 bytes.
constexpr const char* kCaps = "audio/x-raw,format=S16LE,rate=1000,channels=2,layout=interleaved";

struct Step {
  const char* kind;  // "sound", "discont" (sound marked so), or an event: "segment", "flush", "eos"
  int at = 0;        // ms
  int ms = 0;
};

// What left the batcher, in order: "AT+MS" for a buffer (its length from its bytes; "?" when its
// duration says otherwise), an event by its name.
GstPadProbeReturn note(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* out = static_cast<std::vector<std::string>*>(data);
  if ((info->type & GST_PAD_PROBE_TYPE_BUFFER) != 0) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const auto ms = static_cast<GstClockTime>(gst_buffer_get_size(buffer) / 4);
    out->push_back(std::to_string(GST_BUFFER_PTS(buffer) / GST_MSECOND) + "+" + std::to_string(ms) +
                   (GST_BUFFER_DURATION(buffer) == ms * GST_MSECOND ? "" : "?"));
  } else {
    out->push_back(GST_EVENT_TYPE_NAME(GST_PAD_PROBE_INFO_EVENT(info)));
  }
  return GST_PAD_PROBE_OK;
}

void push(GstHarness* harness, const Step& step) {
  const std::string kind = step.kind;
  if (kind == "sound" || kind == "discont") {
    GstBuffer* buffer = gst_buffer_new_and_alloc(static_cast<gsize>(step.ms) * 4);
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(step.at) * GST_MSECOND;
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(step.ms) * GST_MSECOND;
    if (kind == "discont") GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
    ASSERT_EQ(gst_harness_push(harness, buffer), GST_FLOW_OK);
  } else if (kind == "flush") {
    gst_harness_push_event(harness, gst_event_new_flush_start());
    gst_harness_push_event(harness, gst_event_new_flush_stop(TRUE));
  } else if (kind == "segment") {
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);
    gst_harness_push_event(harness, gst_event_new_segment(&segment));
  } else {
    gst_harness_push_event(harness, gst_event_new_eos());
  }
}

TEST(SoundBatcher, GathersTouchingSoundUpToABatchAndHoldsNothingAcrossAnEventOrAFlush) {
  gst_init(nullptr, nullptr);
  const std::vector<Step> tenFrames = [] {
    std::vector<Step> steps;
    for (int i = 0; i < 10; ++i) steps.push_back({"sound", i * 26, 26});
    steps.push_back({"eos"});
    return steps;
  }();
  const struct {
    const char* what;
    std::vector<Step> in;
    std::vector<std::string> out;
  } rows[] = {
      {"frames gather into writes of the batch, the rest goes at the end", tenFrames, {"0+208", "208+52", "eos"}},
      {"one long buffer goes on at once", {{"sound", 0, 300}}, {"0+300"}},
      {"a gap or a mark of discontinuity starts a new write",
       {{"sound", 0, 26}, {"sound", 26, 26}, {"sound", 100, 26}, {"discont", 126, 26}, {"eos"}},
       {"0+52", "100+26", "126+26", "eos"}},
      {"an event comes after the sound before it",
       {{"sound", 0, 26}, {"segment"}, {"sound", 26, 26}, {"eos"}},
       {"0+26", "segment", "26+26", "eos"}},
      {"a flush drops what was gathered",
       {{"sound", 0, 26}, {"flush"}, {"segment"}, {"sound", 500, 26}, {"eos"}},
       {"flush-start", "flush-stop", "segment", "500+26", "eos"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    GstHarness* harness = gst_harness_new_with_element(makeSoundBatcher(200 * GST_MSECOND), "sink", "src");
    gst_harness_set_src_caps_str(harness, kCaps);
    std::vector<std::string> out;
    gst_pad_add_probe(harness->sinkpad,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_BOTH |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      &note, &out, nullptr);
    for (const Step& step : row.in) push(harness, step);
    gst_harness_teardown(harness);
    EXPECT_EQ(out, row.out);
  }
}

}  // namespace
}  // namespace sonavex
