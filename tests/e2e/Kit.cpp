// The tests run inside a Qt application, as the program runs its engine; the windows of the tests
// that need them are drawn offscreen.
#include "Kit.h"

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <string_view>

namespace {

std::string pactl(const std::string& arguments) {
  std::string out;
  if (FILE* pipe = popen(("pactl " + arguments + " 2>/dev/null").c_str(), "r")) {
    for (int c; (c = fgetc(pipe)) != EOF;) out += static_cast<char>(c);
    pclose(pipe);
  }
  return out.substr(0, out.find('\n'));
}

// Playbin itself, not its user: when the pipeline stops just as the stream handed over at
// about-to-finish is being set up, its streaming thread may drop that stream's input selector
// without stopping it first (GStreamer 1.22), and says so. Told, not fatal.
gboolean fatalUnlessPlaybinsOwnRace(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer) {
  const bool race = domain != nullptr && std::string_view(domain) == "GStreamer" && message != nullptr &&
                    std::string_view(message).find("Trying to dispose element inputselector") != std::string_view::npos;
  return race ? FALSE : TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  gst_init(nullptr, nullptr);
  g_log_set_always_fatal(G_LOG_LEVEL_CRITICAL);  // GStreamer's complaints about misuse fail a test
  g_test_log_set_fatal_handler(fatalUnlessPlaybinsOwnRace, nullptr);
  // A null sink of this process's own, so that tests run side by side do not hear each other.
  std::string& sink = sonavex::e2e::testSink;
  if (const char* shared = std::getenv("SONAVEX_PULSE_SINK")) sink = shared;  // with-pulse.sh's
  const std::string own = "sonavex_e2e_" + std::to_string(getpid());
  const std::string module =
      sink.empty() ? "" : pactl("load-module module-null-sink rate=44100 sink_name=" + own);
  if (!module.empty()) sink = own;
  setenv("PULSE_SINK", sink.c_str(), 1);  // where every playback stream of this process goes
  const int result = RUN_ALL_TESTS();
  if (!module.empty()) pactl("unload-module " + module);
  return result;
}
