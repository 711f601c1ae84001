#pragma once
// A core wired to the recording engine, as the windows wire it to the real one, plus a random
// source whose draws a test can script.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/core/Core.h"
#include "support/FakeMediaEngine.h"
#include "player/core/Transport.h"
#include "playlist/core/Sequencer.h"

namespace sonavex::testing {

// Returns the scripted values first, then a fixed-seed stream, so rejection loops always end.
class ScriptedRandom : public RandomSource {
 public:
  void script(std::initializer_list<double> values) { values_.insert(values_.end(), values); }
  double uniform() override {
    if (values_.empty()) return fallback_.uniform();
    const double r = values_.front();
    values_.pop_front();
    return r;
  }

 private:
  std::deque<double> values_;
  SeededRandom fallback_{12345};
};

// Forwards the engine's notifications to the playlist's handlers.
class CoreListener : public MediaEngineListener {
 public:
  explicit CoreListener(Core& core) : core_(core) {}
  void mp1_EndOfStream(long result) override { sonavex::mp1_EndOfStream(core_, result); }
  void mp1_PlayStateChange(long oldState, long newState) override {
    sonavex::mp1_PlayStateChange(core_, oldState, newState);
  }
  void mp1_Error() override { sonavex::mp1_Error(core_); }
  void mp1_NewStream() override { sonavex::mp1_NewStream(core_); }

 private:
  Core& core_;
};

struct Playback {
  FakeMediaEngine engine;
  ScriptedRandom random;
  Core core{engine, random};
  CoreListener listener{core};

  // Entries "/music/t0.mp3" ... with loop and shuffle as given.
  explicit Playback(int entries = 0, int loop = 0, int shuffle = 0) {
    engine.setListener(&listener);
    for (int i = 0; i < entries; ++i) core.list.appendEntry(pathOf(i));
    core.chkloop = loop;
    core.chkshuffle = shuffle;
  }

  static std::string pathOf(int i) { return "/music/t" + std::to_string(i) + ".mp3"; }
  void focus(Index i) { core.list.markEntry(i); }  // as a click in the list would
  std::size_t opens() const { return engine.opened.size(); }

  // The engine starts the stream just opened and reports its length.
  void startStream(double duration) {
    engine.durationValue = duration;
    engine.raiseNewStream();
  }
  void playStarted(double duration) {  // play pressed, and the stream started
    cmdplay_Click(core);
    startStream(duration);
  }

  void shuffleOrder(const std::vector<Index>& entries, Index position) {
    for (Index e : entries) core.List5.append(e);
    core.List5.setListIndex(position);
  }

  // Entry g (or nothing, for -1) was opened last and is the only one marked.
  void expectMarked(Index g) const {
    EXPECT_EQ(engine.lastOpened(), core.list.path(g));
    EXPECT_EQ(core.shared.currenttrack, g);
    EXPECT_EQ(core.shared.tracknumber, g + 1);
    EXPECT_EQ(core.list.listIndex1(), g);
    EXPECT_EQ(core.list.listIndex2(), g);
    const auto& flags = core.list.selectionFlags();
    EXPECT_EQ(std::count(flags.begin(), flags.end(), 1), g == kNone ? 0 : 1);
    EXPECT_EQ(core.list.selectedCount(), g == kNone ? 0 : 1);
    if (g != kNone) {
      EXPECT_TRUE(core.list.isSelected(g));
    }
  }
};

}  // namespace sonavex::testing
