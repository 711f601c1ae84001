#include "engine/gst/ConnectionCheck.h"

#include <gio/gio.h>

#include <cstring>

namespace sonavex {

namespace {

constexpr guint kCheckTimeoutSeconds = 5;

std::string reasonOf(const GError* error) {
  if (g_error_matches(error, G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND) ||
      g_error_matches(error, G_RESOLVER_ERROR, G_RESOLVER_ERROR_TEMPORARY_FAILURE)) {
    return "the server's name was not found";
  }
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED)) return "the server refused the connection";
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)) return "the server did not answer";
  if (error->domain == G_TLS_ERROR) return std::string("the secure connection failed: ") + error->message;
  return std::string("the server could not be reached: ") + error->message;
}

}  // namespace

void checkConnection(const std::string& address, std::function<void(std::string reason)> done) {
  GSocketClient* client = g_socket_client_new();
  g_socket_client_set_timeout(client, kCheckTimeoutSeconds);
  g_socket_client_set_tls(client, g_ascii_strncasecmp(address.c_str(), "https:", 6) == 0);
  const guint16 port = g_ascii_strncasecmp(address.c_str(), "https:", 6) == 0 ? 443 : 80;
  auto* callback = new std::function<void(std::string)>(std::move(done));
  g_socket_client_connect_to_uri_async(
      client, address.c_str(), port, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        auto* told = static_cast<std::function<void(std::string)>*>(data);
        GError* error = nullptr;
        GSocketConnection* connection =
            g_socket_client_connect_to_uri_finish(G_SOCKET_CLIENT(source), result, &error);
        std::string reason = error != nullptr ? reasonOf(error) : "";
        g_clear_error(&error);
        if (connection != nullptr) g_object_unref(connection);
        (*told)(std::move(reason));
        delete told;
      },
      callback);
  g_object_unref(client);  // the call holds it until done
}

}  // namespace sonavex
