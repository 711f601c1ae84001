// The output's batcher on its own, through GStreamer's test harness: what it gathers, and that
// nothing crosses an event or outlives a flush.
#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gst/SoundBatcher.h"

namespace sonavex {
namespace {

// A buffer of sound (1,000 frames a second of 16-bit stereo: a millisecond is 4 bytes), "discont"
// for one marked so, else an event: "segment", "flush", "eos".
struct Step {
  std::string kind;
  int at = 0;  // ms
  int ms = 0;
};

void push(GstHarness* harness, const Step& step) {
  GstSegment segment;
  gst_segment_init(&segment, GST_FORMAT_TIME);
  if (step.kind == "segment") {
    gst_harness_push_event(harness, gst_event_new_segment(&segment));
  } else if (step.kind == "flush") {
    gst_harness_push_event(harness, gst_event_new_flush_start());
    gst_harness_push_event(harness, gst_event_new_flush_stop(TRUE));
  } else if (step.kind == "eos") {
    gst_harness_push_event(harness, gst_event_new_eos());
  } else {
    GstBuffer* buffer = gst_buffer_new_and_alloc(static_cast<gsize>(step.ms) * 4);
    GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(step.at) * GST_MSECOND;
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(step.ms) * GST_MSECOND;
    if (step.kind == "discont") GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
    ASSERT_EQ(gst_harness_push(harness, buffer), GST_FLOW_OK);
  }
}

// What leaves it, in order: "AT+MS" for a buffer (its length from its bytes; "?" when its duration
// says otherwise), an event by its name.
GstPadProbeReturn note(GstPad*, GstPadProbeInfo* info, gpointer out) {
  std::string seen = GST_EVENT_TYPE_NAME(GST_PAD_PROBE_INFO_EVENT(info));
  if ((info->type & GST_PAD_PROBE_TYPE_BUFFER) != 0) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const GstClockTime ms = gst_buffer_get_size(buffer) / 4;
    seen = std::to_string(GST_BUFFER_PTS(buffer) / GST_MSECOND) + "+" + std::to_string(ms) +
           (GST_BUFFER_DURATION(buffer) == ms * GST_MSECOND ? "" : "?");
  }
  static_cast<std::vector<std::string>*>(out)->push_back(seen);
  return GST_PAD_PROBE_OK;
}

TEST(SoundBatcher, GathersTouchingSoundUpToABatchAndHoldsNothingAcrossAnEventOrAFlush) {
  gst_init(nullptr, nullptr);
  std::vector<Step> tenFrames{{"eos"}};
  for (int i = 9; i >= 0; --i) tenFrames.insert(tenFrames.begin(), {"sound", i * 26, 26});
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
      {"an event comes after the sound before it", {{"sound", 0, 26}, {"segment"}, {"sound", 26, 26}, {"eos"}},
       {"0+26", "segment", "26+26", "eos"}},
      {"a flush drops what was gathered", {{"sound", 0, 26}, {"flush"}, {"segment"}, {"sound", 500, 26}, {"eos"}},
       {"segment", "500+26", "eos"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    GstHarness* harness = gst_harness_new_with_element(makeSoundBatcher(200 * GST_MSECOND), "sink", "src");
    gst_harness_set_src_caps_str(harness, "audio/x-raw,format=S16LE,rate=1000,channels=2,layout=interleaved");
    std::vector<std::string> out;
    gst_pad_add_probe(harness->sinkpad, GST_PAD_PROBE_TYPE_DATA_BOTH, &note, &out, nullptr);
    for (const Step& step : row.in) push(harness, step);
    gst_harness_teardown(harness);
    EXPECT_EQ(out, row.out);
  }
}

}  // namespace
}  // namespace sonavex
