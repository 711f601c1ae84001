// Which notifications the engine raises, when, and which it must never raise.
#include <QThread>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "EngineFixture.h"

namespace sonavex::e2e {
namespace {

using EngineNotifications = EngineTest;

bool waitForNewStream(const RecordingListener& listener, int count = 1) {
  return runUntil([&] { return listener.count("new") >= count || listener.count("error") > 0; }) &&
         listener.count("new") >= count;
}

TEST_F(EngineNotifications, OpeningTheEmptyPathRaisesNothing) {
  engine.open("");
  runFor(1500);
  EXPECT_TRUE(listener.events.empty());
  EXPECT_EQ(engine.playState(), kStopped);
  EXPECT_EQ(engine.fileName(), "");
  EXPECT_EQ(engine.duration(), 0);
}

TEST_F(EngineNotifications, OpeningTheEmptyPathWhilePlayingStopsWithoutNotice) {
  engine.open(makeTone("a.wav"));
  ASSERT_TRUE(waitForNewStream(listener)) << "the stream never started";
  const std::size_t seen = listener.events.size();
  engine.open("");
  EXPECT_EQ(engine.playState(), kStopped);
  runFor(2500);  // longer than the rest of the tone
  EXPECT_EQ(listener.events.size(), seen);
  capture->take();
  runFor(300);
  EXPECT_LT(peak(capture->take()), 0.001) << "still playing after the empty path";
}

TEST_F(EngineNotifications, StopByTheProgramRaisesNothing) {
  engine.open(makeTone("a.wav"));
  ASSERT_TRUE(waitForNewStream(listener)) << "the stream never started";
  const std::size_t seen = listener.events.size();
  engine.stop();
  EXPECT_EQ(listener.events.size(), seen) << "notified from inside stop()";
  EXPECT_EQ(engine.playState(), kStopped);
  EXPECT_EQ(engine.position(), 0);
  runFor(2500);
  EXPECT_EQ(listener.events.size(), seen);
}

TEST_F(EngineNotifications, PauseHoldsThePositionAndPlayResumesToTheEnd) {
  engine.open(makeTone("a.wav", Tone{.seconds = 2.0}));
  ASSERT_TRUE(runUntil([&] { return engine.position() >= 0.3; })) << "playback never advanced";
  const std::size_t seen = listener.events.size();
  engine.pause();
  EXPECT_EQ(listener.events.size(), seen) << "notified from inside pause()";
  EXPECT_EQ(engine.playState(), kPaused);
  ASSERT_TRUE(runUntil([&] { return listener.events.back().newState == kPaused; }));
  const double held = engine.position();
  runFor(800);
  EXPECT_NEAR(engine.position(), held, 0.05);

  engine.play();
  EXPECT_EQ(engine.playState(), kPlaying);
  ASSERT_TRUE(runUntil([&] { return listener.stoppedCount() == 1; })) << "never ended";
  EXPECT_EQ(listener.count("new"), 1) << "resuming is not a new stream";
  EXPECT_EQ(listener.count("end"), 1);
}

TEST_F(EngineNotifications, SeeksAreClampedIntoTheTrack) {
  engine.open(makeTone("a.wav", Tone{.seconds = 3.0}));
  ASSERT_TRUE(runUntil([&] { return engine.duration() > 0 && engine.position() > 0.1; }));
  engine.setPosition(-5);
  EXPECT_GE(engine.position(), 0);
  ASSERT_TRUE(runUntil([&] { return engine.position() > 0.1; })) << "playback stopped";
  engine.setPosition(1e9);  // beyond the end: the track ends at once
  ASSERT_TRUE(runUntil([&] { return listener.stoppedCount() == 1; }, 2500))
      << "a seek past the end did not end the track";
  EXPECT_EQ(listener.count("end"), 1);
  EXPECT_NEAR(engine.position(), 3.0, 0.05);
}

TEST_F(EngineNotifications, OpeningTheNextFileAfterTheOldOneEndedNeverDeliversTheOldEnd) {
  const std::string a = makeTone("a.wav", Tone{.seconds = 1.0});
  const std::string b = makeTone("b.wav", Tone{.frequency = 882, .seconds = 2.0});
  engine.open(a);
  ASSERT_TRUE(runUntil([&] { return engine.duration() > 0 && listener.count("new") == 1; }));
  engine.setPosition(engine.duration() - 0.05);
  // Without running the loop, so that the old stream's end is already waiting when B opens.
  QThread::msleep(3000);
  engine.open(b);
  capture->take();  // A's tail
  ASSERT_TRUE(runUntil([&] { return listener.stoppedCount() >= 1; })) << "B never ended";
  runFor(1000);
  const Recording r = capture->take();
  EXPECT_GE(soundSeconds(r), 1.9) << "B was cut short";
  EXPECT_NEAR(toneFrequency(r, soundSpan(r)), 882, 882 * 0.03);

  EXPECT_EQ(listener.count("new"), 2);
  ASSERT_EQ(listener.count("end"), 1) << "the old stream's end came through";
  ASSERT_EQ(listener.stoppedCount(), 1);
  for (const auto& e : listener.events) {
    if (e.kind == "end") {
      EXPECT_EQ(e.fileName, b);
    }
  }
}

TEST_F(EngineNotifications, ListenerOpeningTheNextFileOnStopAdvancesOncePerTrack) {
  const std::string a = makeTone("a.wav", Tone{.seconds = 1.0});
  const std::string b = makeTone("b.mp3", Tone{.seconds = 1.0});
  std::vector<std::string> opened;
  // The playlist's way: every stopped notification opens the next entry, the last opens "".
  listener.onEvent = [&](const EngineEvent& e) {
    if (e.kind != "state" || e.newState != kStopped) return;
    const std::string next = opened.size() == 1 ? b : "";
    opened.push_back(next);
    engine.open(next);
  };
  opened.push_back(a);
  engine.open(a);
  ASSERT_TRUE(runUntil([&] { return opened.size() == 3; })) << "the two tracks did not play through";
  runFor(1500);
  EXPECT_EQ(opened, (std::vector<std::string>{a, b, ""}));
  EXPECT_EQ(listener.count("new"), 2);
}

TEST_F(EngineNotifications, DestroyingAPlayingEngineIsSafe) {
  {
    GstMediaEngine other;
    RecordingListener otherListener(other);
    other.open(makeTone("a.wav"));
    ASSERT_TRUE(waitForNewStream(otherListener));
  }
  runFor(500);  // nothing of the dead engine may run now
  SUCCEED();
}

// Files that cannot be played: one error, no stopped notification, the engine stopped.
class EngineRejects : public testing::TestWithParam<std::string> {
 protected:
  std::string makeBadFile(const std::string& kind) {
    const std::string path = dir.path("bad-" + kind + ".mp3");
    if (kind == "text") writeText(path, "this is not audio\r\nat all\r\n");
    if (kind == "empty") writeText(path, "");
    if (kind == "noise") {
      std::mt19937 gen(7);
      std::string bytes(20000, '\0');
      for (char& c : bytes) c = static_cast<char>(gen() & 0x7f);  // no MPEG sync word
      writeText(path, bytes);
    }
    if (kind == "folder") std::filesystem::create_directory(path);
    if (kind == "picture" || kind == "video") {
      const std::string pipeline = kind == "picture"
                                       ? "videotestsrc num-buffers=1 ! pngenc"
                                       : "videotestsrc num-buffers=30 ! theoraenc ! oggmux";
      const std::string command =
          "gst-launch-1.0 -q " + pipeline + " ! filesink location='" + path + "' >/dev/null 2>&1";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return path;  // "missing" stays missing
  }

  TempDir dir;
  GstMediaEngine engine;
  RecordingListener listener{engine};
};

TEST_P(EngineRejects, WithOneErrorAndNoStoppedNotification) {
  const std::string path = makeBadFile(GetParam());
  engine.open(path);
  EXPECT_TRUE(listener.events.empty()) << "notified from inside open()";
  ASSERT_TRUE(runUntil([&] { return listener.count("error") > 0; })) << "no error reported";
  runFor(1500);
  EXPECT_EQ(listener.count("error"), 1);
  EXPECT_EQ(listener.stoppedCount(), 0);
  EXPECT_EQ(listener.count("new"), 0);
  EXPECT_EQ(listener.count("end"), 0);
  EXPECT_EQ(engine.playState(), kStopped);
  EXPECT_EQ(engine.fileName(), path);
  // The file's fault: the playlist moves on instead of stopping.
  EXPECT_EQ(engine.lastError().fault, EngineFault::Track) << engine.lastError().text;
  EXPECT_NE(engine.lastError().text, "");
}

INSTANTIATE_TEST_SUITE_P(BadFiles, EngineRejects,
                         testing::Values("missing", "text", "empty", "noise", "folder", "picture",
                                         "video"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace sonavex::e2e
