#include "engine/gst/GstStart.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <mutex>

#include "engine/gst/AudioOnly.h"

namespace sonavex {

namespace {

// MP3 has decoders of equal rank in mpg123 and in libav, and then the name decides: libav's, whose
// one plugin maps some twenty libraries (video codecs, speech synthesis, TLS) into the player for
// one audio format. mpg123's comes first; libav's stay for what only they decode.
void preferLeanDecoders() {
  if (GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
    gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
    gst_object_unref(mpg123);
  }
}

}  // namespace

bool startGstreamer(std::string& why) {
  static std::mutex lock;
  static bool started = false;
  const std::lock_guard hold(lock);
  if (started) return true;
  GError* error = nullptr;
  if (!gst_init_check(nullptr, nullptr, &error)) {
    why = error != nullptr ? error->message : "";
    g_clear_error(&error);
    return false;
  }
  gst_pb_utils_init();  // for the names of missing plugins
  keepOnlyAudioElements();
  preferLeanDecoders();
  started = true;
  return true;
}

}  // namespace sonavex
