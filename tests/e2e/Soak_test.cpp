// A listener who never keeps still: random nexts (one at a time and in bursts), previouses,
// pauses, seeks and clicks on rows over twenty short tracks of twenty pitches, for a minute.
// What the sink played is what the player said it played, in order: nothing skipped, nothing
// extra; and a track that ran to its end by itself was heard whole.
#include <random>
#include <set>

#include "Kit.h"
#include "core/Command.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

constexpr int kTracks = 20;
double pitchOf(int track) { return 300 + 60.0 * track; }
double lengthOf(int track) { return 0.4 + 0.05 * (track % 7); }

// The pitches heard in turn (each at least 60 ms long), and for how long, in 20 ms blocks.
std::vector<std::pair<int, double>> heardTracks(const Recording& r) {
  std::vector<std::pair<int, double>> heard;
  int last = -1;
  double run = 0;
  const auto close = [&] {
    if (last >= 0 && run >= 0.06) {
      if (!heard.empty() && heard.back().first == last) heard.back().second += run;
      else heard.emplace_back(last, run);
    }
  };
  for (std::size_t first = 0; 2 * (first + 2 * kBlock) <= r.size(); first += 2 * kBlock) {
    int track = -1;
    if (rms(r, {first, kBlock}, 0) >= 0.1 && rms(r, {first + kBlock, kBlock}, 0) >= 0.1) {
      const double f = toneFrequency(r, {first - std::min(first, kBlock), 4 * kBlock});
      for (int t = 0; t < kTracks; ++t)
        if (std::abs(f - pitchOf(t)) < 30) track = t;
    }
    if (track != last) {
      close();
      last = track;
      run = 0;
    }
    run += 0.02;
  }
  close();
  return heard;
}

TEST_F(EngineTest, AListenerWhoNeverKeepsStillHearsWhatThePlayerSaysItPlays) {
  std::vector<std::string> said;
  PlayingList list(engine, listener, [&] { said.push_back(engine.fileName()); });
  Core& core = list.core;
  std::vector<std::string> paths;
  for (int t = 0; t < kTracks; ++t) {
    paths.push_back(tone("t" + std::to_string(t) + ".wav", pitchOf(t), lengthOf(t)));
    core.list.appendEntry(paths.back());
  }
  core.chkloop = 1;
  core.list.markEntry(0);
  std::mt19937 random(2026);
  std::set<std::size_t> interrupted;  // said tracks an action cut or moved
  take();
  perform(core, cmdplay_Click);
  QElapsedTimer clock;
  for (clock.start(); clock.elapsed() < 60000;) {
    runFor(300 + static_cast<int>(random() % 1200));
    const std::size_t playing = said.size();
    switch (random() % 6) {
      case 0: perform(core, cmdnext_Click); break;
      case 1: perform(core, cmdprev_Click); break;
      case 2:
        perform(core, cmdpause_Click);
        runFor(300);
        perform(core, cmdpause_Click);
        break;
      case 3: perform(core, [&](Core& c) { c.mp1.setPosition(c.mp1.duration() * (random() % 90) / 100.0); }); break;
      case 4: perform(core, [&](Core& c) { c.list.markEntry(static_cast<Index>(random() % kTracks)); }); break;
      default:
        for (int burst = 0; burst < 50; ++burst) perform(core, cmdnext_Click);
        break;
    }
    interrupted.insert(playing - 1);
    interrupted.insert(playing);
  }
  perform(core, cmdstop_Click);
  settle();
  const auto heard = heardTracks(take());
  struct Said {
    int track;
    bool whole;  // it ran to its end by itself, with no action in it
  };
  std::vector<Said> saidTracks;
  std::string story = "said:";
  for (std::size_t i = 0; i < said.size(); ++i) {
    const int track = static_cast<int>(std::find(paths.begin(), paths.end(), said[i]) - paths.begin());
    const bool whole = interrupted.count(i) == 0;
    story += " " + std::to_string(track) + (whole ? "" : "*");
    // Heard as one with the same track just before, or just before a track cut at once: its
    // parts cannot be told apart.
    const std::size_t n = saidTracks.size();
    if (n > 0 && saidTracks[n - 1].track == track) {
      saidTracks[n - 1].whole = false;
    } else {
      if (n > 1 && saidTracks[n - 2].track == track) saidTracks[n - 2].whole = false;
      saidTracks.push_back({track, whole});
    }
  }
  story += "\nheard:";
  for (const auto& [track, seconds] : heard) story += " " + std::to_string(track) + "/" + std::to_string(seconds).substr(0, 4);
  SCOPED_TRACE(story);
  // Each track heard was said, in order; one said and not heard is one an action cut at once.
  std::size_t j = 0;
  for (std::size_t i = 0; i < heard.size(); ++i, ++j) {
    while (j < saidTracks.size() && saidTracks[j].track != heard[i].first && !saidTracks[j].whole) ++j;
    ASSERT_LT(j, saidTracks.size()) << "heard and never said: track " << heard[i].first;
    ASSERT_EQ(heard[i].first, saidTracks[j].track) << "the " << i << "th track heard";
    if (saidTracks[j].whole && i + 1 < heard.size()) {
      EXPECT_NEAR(heard[i].second, lengthOf(heard[i].first), 0.06) << "the " << i << "th track, cut or stretched";
    }
  }
  EXPECT_GE(j + 1, saidTracks.size()) << "said and never heard";
}

}  // namespace
}  // namespace sonavex::e2e
