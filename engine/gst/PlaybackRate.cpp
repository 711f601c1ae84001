#include "engine/gst/PlaybackRate.h"

namespace sonavex {

void PlaybackRate::watch(GstPad* pad) {
  gst_pad_add_probe(pad,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                 GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    &PlaybackRate::onData, this, nullptr);
}

void PlaybackRate::restart() {
  std::lock_guard hold(lock_);
  gst_segment_init(&segment_, GST_FORMAT_UNDEFINED);
  soundEnds_ = GST_CLOCK_TIME_NONE;
  retimed_ = false;
}

GstPadProbeReturn PlaybackRate::onData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<PlaybackRate*>(data);
  if ((info->type & GST_PAD_PROBE_TYPE_BUFFER) != 0) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstClockTime end = GST_BUFFER_PTS(buffer);
    if (end == GST_CLOCK_TIME_NONE) return GST_PAD_PROBE_OK;
    if (GST_BUFFER_DURATION_IS_VALID(buffer)) end += GST_BUFFER_DURATION(buffer);
    std::lock_guard hold(self->lock_);
    if (self->segment_.format != GST_FORMAT_TIME) return GST_PAD_PROBE_OK;
    const GstClockTime running = gst_segment_to_running_time(&self->segment_, GST_FORMAT_TIME, end);
    if (running != GST_CLOCK_TIME_NONE) self->soundEnds_ = running;
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
    self->restart();
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    self->onSegment(info);
  }
  return GST_PAD_PROBE_OK;
}

void PlaybackRate::onSegment(GstPadProbeInfo* info) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  const GstSegment* in = nullptr;
  gst_event_parse_segment(event, &in);
  std::lock_guard hold(lock_);
  const double rate = rate_.load();
  if (in->format != GST_FORMAT_TIME || in->rate <= 0 || (rate == 1.0 && !retimed_)) {
    gst_segment_copy_into(in, &segment_);  // as it comes: the run keeps its streams' own timing
    given_.store(1.0);
    return;
  }
  GstSegment out;
  gst_segment_copy_into(in, &out);
  out.rate = in->rate * rate;
  // What came before in this run played at the rate too; the stream timed upstream as if it had
  // not would start late or early.
  if (soundEnds_ != GST_CLOCK_TIME_NONE) out.base = soundEnds_;
  gst_segment_copy_into(&out, &segment_);
  retimed_ = true;
  given_.store(rate);
  GstEvent* retimed = gst_event_new_segment(&out);
  gst_event_set_seqnum(retimed, gst_event_get_seqnum(event));
  gst_event_unref(event);
  GST_PAD_PROBE_INFO_DATA(info) = retimed;
}

}  // namespace sonavex
