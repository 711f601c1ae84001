// Runs the end-to-end tests inside a QCoreApplication, as the program runs its engine, and gives
// each test process a sink of its own so that tests run side by side do not hear each other.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "EngineEvents.h"

namespace sonavex::e2e {
namespace {

std::string sinkName;
std::string moduleIndex;

std::string readCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[128];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

void setUpSink() {
  const char* shared = std::getenv("SONAVEX_PULSE_SINK");
  if (shared == nullptr || *shared == '\0') return;
  sinkName = shared;
  const std::string own = "sonavex_e2e_" + std::to_string(getpid());
  moduleIndex = readCommand("pactl load-module module-null-sink sink_name=" + own +
                            " rate=44100 channels=2 2>/dev/null");
  if (moduleIndex.empty()) return;  // fall back to the shared sink
  sinkName = own;
  setenv("PULSE_SINK", own.c_str(), 1);  // where every new playback stream of this process goes
}

void tearDownSink() {
  if (!moduleIndex.empty()) readCommand("pactl unload-module " + moduleIndex + " 2>/dev/null");
}

}  // namespace

std::string testSink() { return sinkName; }

}  // namespace sonavex::e2e

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  sonavex::e2e::setUpSink();
  const int result = RUN_ALL_TESTS();
  sonavex::e2e::tearDownSink();
  return result;
}
