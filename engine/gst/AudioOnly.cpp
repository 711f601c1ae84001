#include "engine/gst/AudioOnly.h"

#include <gst/gst.h>

#include <algorithm>
#include <array>

namespace sonavex {
namespace {

bool hasToken(std::string_view klass, std::string_view token) {
  while (!klass.empty()) {
    const auto slash = klass.find('/');
    if (klass.substr(0, slash) == token) return true;
    if (slash == std::string_view::npos) break;
    klass.remove_prefix(slash + 1);
  }
  return false;
}

}  // namespace

bool usableForAudioPlayback(std::string_view klass) {
  constexpr std::array<std::string_view, 5> kNeverPlayed{"Encoder", "Muxer", "Payloader",
                                                         "Depayloader", "Formatter"};
  constexpr std::array<std::string_view, 4> kNotSound{"Video", "Image", "Subtitle", "Visualization"};
  const auto in = [klass](std::string_view token) { return hasToken(klass, token); };
  if (std::any_of(kNeverPlayed.begin(), kNeverPlayed.end(), in)) return false;
  return in("Audio") || std::none_of(kNotSound.begin(), kNotSound.end(), in);
}

void keepOnlyAudioElements() {
  GstRegistry* registry = gst_registry_get();
  GList* factories = gst_registry_get_feature_list(registry, GST_TYPE_ELEMENT_FACTORY);
  for (GList* item = factories; item != nullptr; item = item->next) {
    auto* factory = GST_ELEMENT_FACTORY(item->data);
    const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    if (!usableForAudioPlayback(klass != nullptr ? klass : "")) {
      gst_registry_remove_feature(registry, GST_PLUGIN_FEATURE(factory));
    }
  }
  gst_plugin_feature_list_free(factories);
}

}  // namespace sonavex
