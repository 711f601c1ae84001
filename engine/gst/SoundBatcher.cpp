#include "engine/gst/SoundBatcher.h"

#include <gst/audio/audio.h>

#include <mutex>
#include <utility>

namespace sonavex {

namespace {

// Buffers join only when the second starts where the first ends, give or take this much.
constexpr GstClockTime kJoinTolerance = GST_MSECOND;

struct Batcher {
  GstElement parent;
  GstPad* sinkPad;
  GstPad* srcPad;
  GstClockTime batch;
  // The streaming threads' (one after another, one run after the next), and let go of by a state
  // change on the engine's worker. GStreamer orders them under its own locks, which the thread
  // checker cannot see; this one it can.
  std::mutex* lock;
  gsize batchBytes;     // `batch` at the stream's format; 0 (nothing gathered) while it is unknown
  GstBuffer* gathered;  // what waits to go on (owned; null when nothing does)
};

struct BatcherClass {
  GstElementClass parent;
};

GType batcherType();
Batcher* asBatcher(gpointer object) { return G_TYPE_CHECK_INSTANCE_CAST(object, batcherType(), Batcher); }

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("audio/x-raw"));
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("audio/x-raw"));

GstClockTime endOf(GstBuffer* buffer) {
  if (!GST_BUFFER_PTS_IS_VALID(buffer) || !GST_BUFFER_DURATION_IS_VALID(buffer)) return GST_CLOCK_TIME_NONE;
  return GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer);
}

// Whether `next` carries on where `gathered` ends, so that one timestamp serves both.
bool follows(GstBuffer* gathered, GstBuffer* next) {
  if (GST_BUFFER_FLAG_IS_SET(next, GST_BUFFER_FLAG_DISCONT)) return false;
  const GstClockTime end = endOf(gathered);
  if (end == GST_CLOCK_TIME_NONE || !GST_BUFFER_PTS_IS_VALID(next) || !GST_BUFFER_DURATION_IS_VALID(next)) {
    return false;
  }
  const GstClockTime start = GST_BUFFER_PTS(next);
  return (start > end ? start - end : end - start) <= kJoinTolerance;
}

GstBuffer* takeGathered(Batcher* self) {
  const std::lock_guard hold(*self->lock);
  return std::exchange(self->gathered, nullptr);
}

GstFlowReturn pushGathered(Batcher* self) {
  GstBuffer* out = takeGathered(self);
  return out == nullptr ? GST_FLOW_OK : gst_pad_push(self->srcPad, out);
}

void dropGathered(Batcher* self) {
  if (GstBuffer* dropped = takeGathered(self); dropped != nullptr) gst_buffer_unref(dropped);
}

GstFlowReturn chain(GstPad*, GstObject* parent, GstBuffer* buffer) {
  Batcher* self = asBatcher(parent);
  GstBuffer* before = nullptr;  // what the buffer does not carry on from
  GstBuffer* full = nullptr;
  {
    const std::lock_guard hold(*self->lock);
    if (self->gathered != nullptr && self->batchBytes != 0 && follows(self->gathered, buffer)) {
      const GstClockTime duration = GST_BUFFER_DURATION(self->gathered) + GST_BUFFER_DURATION(buffer);
      const guint64 offsetEnd = GST_BUFFER_OFFSET_END(buffer);
      self->gathered = gst_buffer_append(self->gathered, buffer);
      GST_BUFFER_DURATION(self->gathered) = duration;
      GST_BUFFER_OFFSET_END(self->gathered) = offsetEnd;
    } else {
      before = std::exchange(self->gathered, buffer);
    }
    if (gst_buffer_get_size(self->gathered) >= self->batchBytes) full = std::exchange(self->gathered, nullptr);
  }
  const GstFlowReturn pushed = before == nullptr ? GST_FLOW_OK : gst_pad_push(self->srcPad, before);
  if (full == nullptr) return pushed;
  if (pushed != GST_FLOW_OK) {
    gst_buffer_unref(full);
    return pushed;
  }
  return gst_pad_push(self->srcPad, full);
}

gboolean sinkEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
  Batcher* self = asBatcher(parent);
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_FLUSH_STOP:
      dropGathered(self);
      break;
    case GST_EVENT_CAPS: {
      pushGathered(self);
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      GstAudioInfo info;
      const gsize bytes = gst_audio_info_from_caps(&info, caps)
                              ? gst_util_uint64_scale_int(self->batch, info.rate, GST_SECOND) * info.bpf
                              : 0;
      const std::lock_guard hold(*self->lock);
      self->batchBytes = bytes;
      break;
    }
    default:
      // Whatever comes in order with the sound comes after the sound before it.
      if (GST_EVENT_IS_SERIALIZED(event)) pushGathered(self);
      break;
  }
  return gst_pad_event_default(pad, parent, event);
}

gboolean sinkQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
  if (GST_QUERY_IS_SERIALIZED(query)) pushGathered(asBatcher(parent));
  return gst_pad_query_default(pad, parent, query);
}

GstStateChangeReturn changeState(GstElement* element, GstStateChange transition) {
  const GstStateChangeReturn result =
      GST_ELEMENT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(element)))->change_state(element, transition);
  if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) dropGathered(asBatcher(element));
  return result;
}

void finalize(GObject* object) {
  dropGathered(asBatcher(object));
  delete asBatcher(object)->lock;
  G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

void classInit(gpointer kind, gpointer) {
  G_OBJECT_CLASS(kind)->finalize = &finalize;
  auto* elementClass = GST_ELEMENT_CLASS(kind);
  elementClass->change_state = &changeState;
  gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
  gst_element_class_add_static_pad_template(elementClass, &srcTemplate);
  gst_element_class_set_static_metadata(elementClass, "Sound batcher", "Filter/Audio",
                                        "Gathers small sound buffers into larger writes", "Sonavex");
}

void instanceInit(GTypeInstance* instance, gpointer) {
  Batcher* self = asBatcher(instance);
  self->sinkPad = gst_pad_new_from_static_template(&sinkTemplate, "sink");
  gst_pad_set_chain_function(self->sinkPad, &chain);
  gst_pad_set_event_function(self->sinkPad, &sinkEvent);
  gst_pad_set_query_function(self->sinkPad, &sinkQuery);
  GST_PAD_SET_PROXY_CAPS(self->sinkPad);
  GST_PAD_SET_PROXY_ALLOCATION(self->sinkPad);
  gst_element_add_pad(GST_ELEMENT(self), self->sinkPad);
  self->srcPad = gst_pad_new_from_static_template(&srcTemplate, "src");
  GST_PAD_SET_PROXY_CAPS(self->srcPad);
  gst_element_add_pad(GST_ELEMENT(self), self->srcPad);
  self->batch = 0;
  self->batchBytes = 0;
  self->lock = new std::mutex;
  self->gathered = nullptr;
}

GType batcherType() {
  static const GType type = [] {
    return g_type_register_static_simple(GST_TYPE_ELEMENT, "SonavexSoundBatcher", sizeof(BatcherClass), &classInit,
                                         sizeof(Batcher), &instanceInit, static_cast<GTypeFlags>(0));
  }();
  return type;
}

}  // namespace

GstElement* makeSoundBatcher(GstClockTime batch) {
  Batcher* self = asBatcher(g_object_new(batcherType(), nullptr));
  self->batch = batch;
  return GST_ELEMENT(self);
}

}  // namespace sonavex
