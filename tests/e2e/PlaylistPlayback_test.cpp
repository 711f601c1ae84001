// The playlist plays through by itself on the real engine: the core's sequencing, clock and marquee
// driven by timers as the windows drive them, and the engine's notifications through the event loop.
#include <QTimer>

#include <cmath>
#include <vector>

#include "EngineFixture.h"
#include "app/core/Core.h"
#include "player/core/Clock.h"
#include "player/core/Marquee.h"
#include "player/core/Transport.h"
#include "playlist/core/Sequencer.h"

namespace sonavex::e2e {
namespace {

// Hands the engine's notifications to the core, as the playlist window does.
class CoreListener : public MediaEngineListener {
 public:
  explicit CoreListener(Core& core) : core_(core) { core.mp1.setListener(this); }
  ~CoreListener() override { core_.mp1.setListener(nullptr); }

  std::vector<std::string> started;  // the engine's file at each new stream

  void mp1_EndOfStream(long result) override { sonavex::mp1_EndOfStream(core_, result); }
  void mp1_PlayStateChange(long oldState, long newState) override {
    sonavex::mp1_PlayStateChange(core_, oldState, newState);
  }
  void mp1_Error() override { sonavex::mp1_Error(core_); }
  void mp1_NewStream() override {
    started.push_back(core_.mp1.fileName());
    sonavex::mp1_NewStream(core_);
  }

 private:
  Core& core_;
};

// The tones in the order of play, read from the recording in 100 ms windows: each window that is
// loud all through is matched by its pitch to the nearest expected tone, and repeats are merged.
// (A window half tone, half silence would count half the crossings.)
std::vector<double> tonesHeard(const Recording& r, const std::vector<double>& tones) {
  std::vector<double> heard;
  const std::size_t window = kSampleRate / 10;
  const std::size_t block = window / 10;
  for (std::size_t first = window; first + 2 * window <= r.frames(); first += window) {
    bool loud = true;
    for (std::size_t b = first; b < first + window; b += block) {
      loud = loud && rms(r, Span{b, block}, 0) >= 0.1;
    }
    if (!loud) continue;
    // toneFrequency measures the middle half of the span it is given: exactly this window.
    const double f = toneFrequency(r, Span{first - window / 2, 2 * window});
    for (double tone : tones) {
      if (std::abs(f - tone) < tone * 0.03 && (heard.empty() || heard.back() != tone)) {
        heard.push_back(tone);
      }
    }
  }
  return heard;
}

class PlaylistPlayback : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (IsSkipped()) return;
    for (std::size_t i = 0; i < tones.size(); ++i) {
      paths.push_back(makeTone("track" + std::to_string(i) + (i == 1 ? ".mp3" : ".wav"),
                               Tone{.frequency = tones[i], .seconds = 1.0}));
      core.list.appendEntry(paths.back());
    }
    // The windows' two timers, ticking while the face says they run.
    QObject::connect(&clock, &QTimer::timeout, [this] {
      if (core.face.clockTimerOn) clockTick(core);
    });
    QObject::connect(&marquee, &QTimer::timeout, [this] {
      if (core.face.marqueeTimerOn) marqueeTick(core);
    });
    clock.start(1000);
    marquee.start(222);
  }

  const std::vector<double> tones{441, 661.5, 882};
  std::vector<std::string> paths;
  SeededRandom random{1};
  Core core{engine, random};
  CoreListener coreListener{core};  // takes over from the fixture's recording listener
  QTimer clock;
  QTimer marquee;
};

TEST_F(PlaylistPlayback, PlaysEveryEntryInOrderAndEndsAfterTheLast) {
  core.chkloop = 0;
  core.list.setListIndex2(0);
  cmdplay_Click(core);
  ASSERT_TRUE(runUntil([&] { return coreListener.started.size() == 3 && core.shared.currenttrack == -1; }))
      << "the playlist did not play through; started " << coreListener.started.size();
  runFor(1500);  // nothing more may start

  EXPECT_EQ(coreListener.started, paths);
  EXPECT_EQ(engine.fileName(), "");
  EXPECT_EQ(core.shared.tracknumber, 0);
  EXPECT_EQ(tonesHeard(capture->take(), tones), tones);
}

TEST_F(PlaylistPlayback, WithLoopStartsAgainAtTheFirstEntry) {
  core.chkloop = 1;
  core.list.setListIndex2(0);
  cmdplay_Click(core);
  ASSERT_TRUE(runUntil([&] { return coreListener.started.size() == 4; }))
      << "the loop did not come round; started " << coreListener.started.size();
  cmdstop_Click(core);
  runFor(1500);

  EXPECT_EQ(coreListener.started, (std::vector<std::string>{paths[0], paths[1], paths[2], paths[0]}));
  EXPECT_EQ(engine.playState(), kStopped);
  const std::vector<double> heard = tonesHeard(capture->take(), tones);
  ASSERT_GE(heard.size(), 3u);
  EXPECT_EQ(std::vector<double>(heard.begin(), heard.begin() + 3), tones);
}

TEST_F(PlaylistPlayback, SkipsAnEntryThatCannotBePlayed) {
  core.chkloop = 0;
  core.list.clear();
  core.list.appendEntry(paths[0]);
  core.list.appendEntry(dir.path("gone.mp3"));
  core.list.appendEntry(paths[2]);
  core.list.setListIndex2(0);
  cmdplay_Click(core);
  ASSERT_TRUE(runUntil([&] { return core.shared.currenttrack == -1; })) << "stuck on the bad entry";
  runFor(1000);

  EXPECT_EQ(coreListener.started, (std::vector<std::string>{paths[0], paths[2]}));
  EXPECT_EQ(tonesHeard(capture->take(), tones), (std::vector<double>{tones[0], tones[2]}));
}

}  // namespace
}  // namespace sonavex::e2e
