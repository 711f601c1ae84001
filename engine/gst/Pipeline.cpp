#include "engine/gst/Pipeline.h"

#include <gst/audio/audio.h>
#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "engine/gst/AudioSettings.h"
#include "engine/gst/GstStart.h"
#include "engine/gst/MissingPlugin.h"
#include "engine/gst/ProgramThread.h"

namespace sonavex {

namespace {

GQuark generationQuark() {
  static const GQuark quark = g_quark_from_static_string("sonavex-generation");
  return quark;
}

constexpr gint64 kOutputBufferUs = 400000;
constexpr gint64 kOutputWriteUs = 40000;

gint64 toNanoseconds(double seconds) { return static_cast<gint64>(std::llround(seconds * GST_SECOND)); }

// Owned by the caller (not floating), or null when GStreamer has no such element.
GstElement* makeElement(const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element != nullptr) gst_object_ref_sink(element);
  return element;
}

// Sync handler: runs on whichever thread posts, streaming threads included. Only stamps. A stream
// taken to follow without a gap starts at the sink: from its start on, everything the pipeline
// posts is that stream's.
GstBusSyncReply stamp(GstBus*, GstMessage* message, gpointer data) {
  auto* pipeline = static_cast<Pipeline*>(data);
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STREAM_START) {
    if (const unsigned joining = pipeline->next.joinsAtSink(); joining != 0) {
      pipeline->generation.store(joining);
    }
  }
  gst_mini_object_set_qdata(GST_MINI_OBJECT_CAST(message), generationQuark(),
                            GUINT_TO_POINTER(pipeline->generation.load()), nullptr);
  return GST_BUS_PASS;
}

// Playbin's about-to-finish, on a streaming thread: the stream being read has been read to its
// end. What follows it is set as playbin's next URI right here, which makes the join gapless; the
// program's thread said what that is beforehand, so nothing waits.
void aboutToFinish(GstElement* playbin, gpointer data) {
  auto* pipeline = static_cast<Pipeline*>(data);
  std::atomic<unsigned>& read = pipeline->reading;
  const auto taken = pipeline->next.take(
      read.load(), [](void* p) { return static_cast<Pipeline*>(p)->newGeneration(); }, pipeline);
  if (!taken) return;
  gint64 ns = -1;
  if (const SinkAsked sink(*pipeline);  // never waits for the worker, which may wait for this thread
      sink.get() == nullptr || !gst_element_query_duration(sink.get(), GST_FORMAT_TIME, &ns)) {
    ns = -1;
  }
  {
    const std::lock_guard hold(pipeline->lengthLock);
    pipeline->lengthRead = {read.load(), ns};
  }
  gchar* uri = gst_filename_to_uri(taken->path.c_str(), nullptr);
  if (uri == nullptr) return;
  g_object_set(playbin, "uri", uri, nullptr);
  g_free(uri);
  read.store(taken->generation);
}

// At the sink's door, on the streaming thread that carries the sound: a stream taken and then
// withdrawn is dropped from where it starts, with every one after it, until the next load. Its
// start becomes the end of the stream before, so the sink plays that one out and the pipeline
// ends as at any end of a stream.
GstPadProbeReturn dropWithdrawn(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* pipeline = static_cast<Pipeline*>(data);
  if ((info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) != 0) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    const GstEventType type = GST_EVENT_TYPE(event);
    if (type == GST_EVENT_FLUSH_START || type == GST_EVENT_FLUSH_STOP) return GST_PAD_PROBE_OK;
    if (type == GST_EVENT_STREAM_START) {
      bool dropStarts = false;
      const bool drop = pipeline->next.dropsAtStart(&dropStarts);
      if (!dropStarts) return drop ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
      GstEvent* end = gst_event_new_eos();
      gst_event_set_seqnum(end, gst_event_get_seqnum(event));
      gst_event_unref(event);
      GST_PAD_PROBE_INFO_DATA(info) = end;
      return GST_PAD_PROBE_OK;
    }
  }
  return pipeline->next.dropping() ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

// The sound output of a music player: a deeper buffer than GStreamer's default rides out a busy
// machine, and larger segments let the sound server ask for data a quarter as often (what is
// written at a time is the batcher's, see SoundShaper). Latency matters little
// here: nothing waits to hear itself, and what must answer at once (volume, balance, a seek) does.
void tuneOutput(GstBin*, GstBin*, GstElement* element, gpointer) {
  if (GST_IS_AUDIO_BASE_SINK(element)) {
    g_object_set(element, "buffer-time", kOutputBufferUs, "latency-time", kOutputWriteUs, nullptr);
  }
}

// GStreamer's HTTP source, as a listener of radio needs it: a server silent for this long has
// failed; redirects are followed by the engine, which counts them (the source would follow
// twenty). Set on the streaming thread that makes the source.
constexpr guint kStreamTimeoutSeconds = 10;
void setUpSource(GstElement*, GstElement* source, gpointer) {
  GObjectClass* kind = G_OBJECT_GET_CLASS(source);
  if (g_object_class_find_property(kind, "automatic-redirect") == nullptr) return;
  g_object_set(source, "automatic-redirect", FALSE, "timeout", kStreamTimeoutSeconds, "user-agent",
               "Sonavex", "ssl-strict", TRUE, nullptr);
}

void failOpen(const std::shared_ptr<Pipeline>& pipeline, unsigned generation, EngineError error) {
  report(pipeline, [generation, error = std::move(error)](PipelineEvents& events) {
    events.openFailed(generation, error);
  });
}

}  // namespace

void report(const std::shared_ptr<Pipeline>& pipeline, std::function<void(PipelineEvents&)> report) {
  onProgramThread([pipeline, report = std::move(report)] {
    if (pipeline->events != nullptr) report(*pipeline->events);
  });
}

unsigned stampOf(GstMessage* message) {
  return GPOINTER_TO_UINT(gst_mini_object_get_qdata(GST_MINI_OBJECT_CAST(message), generationQuark()));
}

namespace {

GstStateChangeReturn changeState(const Pipeline& pipeline, GstState state) {
  const std::lock_guard changing(pipeline.stateChange);
  return gst_element_set_state(pipeline.playbin, state);
}

}  // namespace

bool build(const std::shared_ptr<Pipeline>& pipeline, EngineError& why) {
  if (pipeline->playbin != nullptr) return true;  // only the worker writes it
  if (std::string reason; !startGstreamer(reason)) {
    why = {EngineFault::Engine, "GStreamer could not start"};
    if (!reason.empty()) why.text += ": " + reason;
    return false;
  }

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
  // Audio only: a file that also carries pictures must not open a video window. The volume is the
  // sound output's own (the sound server's, for one), so a change is heard at once however much is
  // buffered.
  gst_util_set_object_arg(G_OBJECT(playbin), "flags", "audio");
  g_signal_connect(playbin, "deep-element-added", G_CALLBACK(&tuneOutput), nullptr);
  g_signal_connect(playbin, "source-setup", G_CALLBACK(&setUpSource), nullptr);
  // Never let playbin pick a video sink of its own: some open a display and crash without one.
  g_object_set(playbin, "video-sink", gst_element_factory_make("fakesink", nullptr), "text-sink",
               gst_element_factory_make("fakesink", nullptr), nullptr);
  // Our own autoaudiosink, so that after preroll we can see which output it found.
  g_object_set(playbin, "audio-sink", audioSink, nullptr);
  // A true balance: at either end the other channel is silent.
  gst_util_set_object_arg(G_OBJECT(panorama), "method", "simple");
  GstElement* filter = pipeline->sound.build(panorama, &missing);
  if (filter == nullptr) {
    for (GstElement* element : {playbin, panorama, audioSink}) gst_object_unref(element);
    why = missingPluginError(std::string("element-") + missing, missing);
    return false;
  }
  g_object_set(playbin, "audio-filter", filter, nullptr);
  GstPad* filterIn = gst_element_get_static_pad(filter, "sink");
  pipeline->rate.watch(filterIn);
  gst_object_unref(filterIn);

  g_signal_connect(playbin, "about-to-finish", G_CALLBACK(&aboutToFinish), pipeline.get());
  // At the sink's door: what passes there is rendered next (playsink's queues lie before it).
  GstPad* sinkIn = gst_element_get_static_pad(audioSink, "sink");
  gst_pad_add_probe(sinkIn, GST_PAD_PROBE_TYPE_DATA_DOWNSTREAM, &dropWithdrawn, pipeline.get(), nullptr);
  gst_object_unref(sinkIn);
  GstBus* bus = gst_element_get_bus(playbin);
  gst_bus_set_sync_handler(bus, &stamp, pipeline.get(), nullptr);
  gst_object_unref(bus);
  {
    std::lock_guard hold(pipeline->lock);
    pipeline->playbin = playbin;
    pipeline->panorama = panorama;
    pipeline->audioSink = audioSink;
  }
  applyAudioSettings(*pipeline);
  // The bus holds what the pipeline posts until its watch is there.
  onProgramThread([pipeline] { watchBus(pipeline); });
  return true;
}

void watchBus(const std::shared_ptr<Pipeline>& pipeline) {
  GstBus* bus = nullptr;
  {
    std::lock_guard hold(pipeline->lock);
    if (pipeline->playbin != nullptr) bus = gst_element_get_bus(pipeline->playbin);
  }
  unwatchBus(*pipeline);
  if (bus == nullptr) return;  // let go again meanwhile
  // The watch holds the pipeline until it is destroyed, so a dispatch under way keeps it whole.
  pipeline->watch = gst_bus_create_watch(bus);
  g_source_set_callback(
      pipeline->watch,
      G_SOURCE_FUNC(+[](GstBus*, GstMessage* message, gpointer data) -> gboolean {
        const auto& owner = *static_cast<std::shared_ptr<Pipeline>*>(data);
        if (owner->events != nullptr) owner->events->pipelineMessage(message);
        return G_SOURCE_CONTINUE;
      }),
      new std::shared_ptr<Pipeline>(pipeline),
      [](gpointer data) { delete static_cast<std::shared_ptr<Pipeline>*>(data); });
  g_source_attach(pipeline->watch, nullptr);  // the default main context: the program's loop
  gst_object_unref(bus);
}

void unwatchBus(Pipeline& pipeline) {
  if (pipeline.watch == nullptr) return;
  g_source_destroy(pipeline.watch);
  g_source_unref(pipeline.watch);
  pipeline.watch = nullptr;
}

void load(const std::shared_ptr<Pipeline>& pipeline, unsigned generation, const std::string& path,
          unsigned serial, const LoadStart& start) {
  if (serial != pipeline->latestLoad.load()) return;  // a later open replaces this one
  EngineError why;
  if (!build(pipeline, why)) {
    failOpen(pipeline, generation, why);
    return;
  }
  // Going to NULL stops the old stream's threads before the stamp moves on, so nothing the old
  // stream posts can carry the new one.
  changeState(*pipeline, GST_STATE_NULL);
  pipeline->rate.restart();
  pipeline->generation.store(generation);
  pipeline->reading.store(generation);
  if (!start.address.empty()) {
    g_object_set(pipeline->playbin, "uri", start.address.c_str(), nullptr);
    if (changeState(*pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
      failOpen(pipeline, generation, {EngineFault::Track, "the address cannot be opened", path});
    }
    return;  // its bus tells the rest: buffering, preroll, or why it failed
  }
  // A named pipe, a device or a socket would hold the opening until someone writes to it.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    failOpen(pipeline, generation, {EngineFault::Track, "not a regular file", path});
    return;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (uri == nullptr) {
    failOpen(pipeline, generation, {EngineFault::Track, "the path cannot be made into a file URI", path});
    return;
  }
  g_object_set(pipeline->playbin, "uri", uri, nullptr);
  g_free(uri);
  // Prerolled first, here: an open that a later one replaced meanwhile is never heard.
  if (changeState(*pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    // Usually an error message with the reason is on its way too. The bus watch runs before the
    // queued calls, so that one is reported, and this only if none comes; never both.
    failOpen(pipeline, generation, {EngineFault::Track, "the file cannot be opened", path});
    return;
  }
  // A preroll that does not come in time fails on its own, through the bus.
  if (gst_element_get_state(pipeline->playbin, nullptr, nullptr, 5 * GST_SECOND) != GST_STATE_CHANGE_SUCCESS) return;
  if (serial != pipeline->latestLoad.load()) return;
  if (start.at > 0) seek(*pipeline, start.at);
  if (start.playing) changeState(*pipeline, GST_STATE_PLAYING);
}

void setState(const Pipeline& pipeline, GstState state) {
  if (pipeline.playbin != nullptr) changeState(pipeline, state);
}

void seek(const Pipeline& pipeline, double seconds) {
  if (pipeline.playbin == nullptr) return;
  gst_element_seek(pipeline.playbin, 1.0, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                   GST_SEEK_TYPE_SET, toNanoseconds(seconds), GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

void applyAudioSettings(const Pipeline& pipeline) {
  if (pipeline.playbin == nullptr) return;
  g_object_set(pipeline.playbin, "volume", volumeToGain(pipeline.volume), nullptr);
  g_object_set(pipeline.panorama, "panorama", balanceToPanorama(pipeline.balance), nullptr);
}

PrerollCheck checkPreroll(const Pipeline& pipeline, unsigned generation) {
  PrerollCheck check;
  if (pipeline.playbin == nullptr) return check;
  check.rate = pipeline.rate.given();
  GstQuery* seeking = gst_query_new_seeking(GST_FORMAT_TIME);
  if (gst_element_query(pipeline.playbin, seeking)) {
    gboolean seekable = TRUE;
    gst_query_parse_seeking(seeking, nullptr, &seekable, nullptr, nullptr);
    check.seekable = seekable != FALSE;
  }
  gst_query_unref(seeking);
  // Whether sound reached the sink: playbin's own count may be the next stream's already, once
  // that is taken.
  GstPad* sinkIn = gst_element_get_static_pad(pipeline.audioSink, "sink");
  check.audioStreams = sinkIn != nullptr && gst_pad_has_current_caps(sinkIn) ? 1 : 0;
  if (sinkIn != nullptr) gst_object_unref(sinkIn);
  // Asked of the sink, whose stream is still this one, as playbin's may not be; unless the next one
  // was taken meanwhile, when it was told before.
  gint64 ns = 0;
  if (!gst_element_query_duration(pipeline.audioSink, GST_FORMAT_TIME, &ns)) ns = 0;
  {
    const std::lock_guard hold(pipeline.lengthLock);
    if (pipeline.lengthRead.generation == generation) ns = pipeline.lengthRead.ns;
  }
  if (ns > 0) check.seconds = static_cast<double>(ns) / GST_SECOND;
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

void release(Pipeline& pipeline) {
  GstElement *playbin = nullptr, *panorama = nullptr, *audioSink = nullptr;
  {
    std::lock_guard hold(pipeline.lock);
    std::swap(playbin, pipeline.playbin);
    std::swap(panorama, pipeline.panorama);
    std::swap(audioSink, pipeline.audioSink);
  }
  pipeline.sound.drop();
  onProgramThread([held = pipeline.shared_from_this()] { unwatchBus(*held); });
  if (playbin == nullptr) return;
  {
    const std::lock_guard changing(pipeline.stateChange);
    gst_element_set_state(playbin, GST_STATE_NULL);
  }
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

}  // namespace sonavex
