// Sound holds while the machine is busy: 20 s of a sine play without a dropout or a step at the sink
// while every core is kept busy by plain loops, and while a load like a parallel compile (CPU,
// memory being filled and freed, the disk written and synced) runs beside it.
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "Kit.h"

namespace sonavex::e2e {
namespace {

struct Load {
  const char* what;
  std::vector<const char*> stressor;  // stress-ng's arguments
};

class UnderLoad : public EngineTest, public testing::WithParamInterface<Load> {};

TEST_P(UnderLoad, TwentySecondsOfASinePlayWithoutADropoutOrAStep) {
  const std::string wav = dir + "sine.wav";
  writeSinePart(wav, 0, 20 * kRate);
  std::vector<const char*> args{"stress-ng", "--quiet", "--timeout", "30s", "--temp-path", dir.c_str()};
  args.insert(args.end(), GetParam().stressor.begin(), GetParam().stressor.end());
  args.push_back(nullptr);
  const pid_t load = fork();
  ASSERT_GE(load, 0);
  if (load == 0) {
    setpgid(0, 0);
    execvp(args[0], const_cast<char* const*>(args.data()));
    _exit(127);
  }
  QThread::msleep(1000);  // the load is up
  const Recording r = play(wav, 30000);
  ::kill(-load, SIGTERM);  // stress-ng and its workers, a group of their own
  ::waitpid(load, nullptr, 0);

  EXPECT_EQ(listener.events, kPlayedThrough);
  EXPECT_NEAR(seconds(soundSpan(r)), 20.0, 0.1) << "cut short or stretched";
  const Joins joins = measure(r);
  EXPECT_EQ(joins.quietMs, 0.0) << "a dropout";
  EXPECT_LT(joins.step, 0.002) << "a step in the sound";
}

INSTANTIATE_TEST_SUITE_P(
    Loads, UnderLoad,
    testing::Values(Load{"eight busy loops", {"--cpu", "8", "--cpu-method", "loop"}},
                    Load{"a compile's mix", {"--cpu", "4", "--vm", "2", "--vm-bytes", "256M",
                                             "--hdd", "2", "--hdd-bytes", "128M", "--fork", "2"}}),
    [](const auto& info) { return std::string(info.param.what[0] == 'e' ? "BusyLoops" : "CompileLike"); });

}  // namespace
}  // namespace sonavex::e2e
