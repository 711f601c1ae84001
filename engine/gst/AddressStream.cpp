#include "engine/gst/AddressStream.h"

#include "core/model/StreamAddress.h"

namespace sonavex {

void AddressStream::answered(const GstStructure* headers) {
  guint code = 0;
  gst_structure_get_uint(headers, "http-status-code", &code);
  status = code;
  location.clear();
  reasonPhrase.clear();
  GstStructure* response = nullptr;
  endless = true;
  if (gst_structure_get(headers, "response-headers", GST_TYPE_STRUCTURE, &response, nullptr) && response) {
    // Header names come as the server wrote them.
    gst_structure_foreach(
        response,
        +[](GQuark field, const GValue* value, gpointer data) -> gboolean {
          auto* self = static_cast<AddressStream*>(data);
          const char* name = g_quark_to_string(field);
          if (g_ascii_strcasecmp(name, "Location") == 0 && G_VALUE_HOLDS_STRING(value)) {
            self->location = g_value_get_string(value);
          }
          if (g_ascii_strcasecmp(name, "Content-Length") == 0) self->endless = false;
          return TRUE;
        },
        this);
    gst_structure_free(response);
  }
}

std::optional<std::string> AddressStream::redirectTarget() const {
  if (status < 300 || status >= 400 || location.empty()) return std::nullopt;
  gchar* resolved = g_uri_resolve_relative(address.c_str(), location.c_str(), G_URI_FLAGS_NONE, nullptr);
  std::string target = resolved != nullptr ? resolved : "";
  g_free(resolved);
  if (!isStreamAddress(target)) return std::nullopt;
  return target;
}

std::string AddressStream::answerProblem() const {
  if (status < 300) return {};
  if (status >= 300 && status < 400) {
    return redirects >= kMostRedirects ? "the address redirects more than 5 times"
                                       : "the address redirects to what is no web address";
  }
  std::string text = "the server answered " + std::to_string(status);
  if (!reasonPhrase.empty()) text += " (" + reasonPhrase + ")";
  return text;
}

}  // namespace sonavex
