// A listener who never keeps still: random nexts (one at a time and in bursts), previouses,
// pauses, seeks, clicks on rows and rate changes over twenty short tracks of twenty pitches, for a
// minute.
// What the sink played is what the player said it played, in order: nothing skipped, nothing
// extra; and a track that ran to its end by itself was heard whole.
#include <cmath>
#include <random>
#include <set>

#include "Kit.h"
#include "core/Command.h"
#include "core/MediaControl.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

// The pitch follows the rate (1 or 1.5): the pitches lie a step apart where 1.5 is three and a
// half steps, so a track at either rate is told from every other.
constexpr int kTracks = 20;
constexpr double kRates[] = {1.0, 1.5};
double pitchOf(int track) { return 700 * std::pow(1.5, track / 3.5); }
double lengthOf(int track) { return 0.4 + 0.05 * (track % 7); }

// The tracks heard in turn (each at least 60 ms long), for how long, in 20 ms blocks, and at which
// rate last.
struct HeardRun { int track; double seconds, rate; };
std::vector<HeardRun> heardTracks(const Recording& r) {
  const auto trackAt = [](double f) {  // twice the track, plus the rate's index
    for (int t = 0; t < kTracks; ++t)
      for (int at = 0; at < 2; ++at)
        if (std::abs(f / (pitchOf(t) * kRates[at]) - 1) < 0.035) return 2 * t + at;
    return -1;
  };
  std::vector<HeardRun> heard;
  for (const PitchRun& run : pitchRuns(r, trackAt)) {
    if (run.id < 0 || run.seconds < 0.06) continue;
    const int track = run.id / 2;
    const double rate = kRates[run.id % 2];
    if (!heard.empty() && heard.back().track == track) heard.back().seconds += run.seconds, heard.back().rate = rate;
    else heard.push_back({track, run.seconds, rate});
  }
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
    switch (random() % 7) {
      case 0: perform(core, cmdnext_Click); break;
      case 1: perform(core, cmdprev_Click); break;
      case 2:
        perform(core, cmdpause_Click);
        runFor(300);
        perform(core, cmdpause_Click);
        break;
      case 3: perform(core, [&](Core& c) { c.mp1.setPosition(c.mp1.duration() * (random() % 90) / 100.0); }); break;
      case 4: perform(core, [&](Core& c) { c.list.markEntry(static_cast<Index>(random() % kTracks)); }); break;
      case 5: perform(core, mediaSetRate, kRates[random() % 2]); break;
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
  struct Said { int track; bool whole; };  // whole: it ran to its end by itself, with no action in it
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
  for (const HeardRun& run : heard) {
    story += " " + std::to_string(run.track) + "/" + std::to_string(run.seconds).substr(0, 4) + (run.rate != 1 ? "@1.5" : "");
  }
  SCOPED_TRACE(story);
  // told[i][j]: the runs heard from i on are told by the tracks said from j on. Each run is one
  // track said (heard whole, if it ran to its end by itself) or several plays of it with only
  // tracks cut at once between; a track said and never heard is one an action cut at once, or the
  // last. An action in a track's last moments comes after the track that follows it in the list is
  // in the output: that one may be heard for what the output holds (0.4 s) before what the player
  // says it plays now.
  const std::size_t h = heard.size(), n = saidTracks.size();
  std::vector<std::vector<char>> told(h + 1, std::vector<char>(n + 1, 0));
  for (std::size_t j = n + 1; j-- > 0;) told[h][j] = j + 1 >= n || (!saidTracks[j].whole && told[h][j + 1]);
  for (std::size_t i = h; i-- > 0;) {
    for (std::size_t j = n; j-- > 0;) {
      const Said& one = saidTracks[j];
      bool can = !one.whole && told[i][j + 1];
      can = can || (j > 0 && !saidTracks[j - 1].whole && heard[i].track == (saidTracks[j - 1].track + 1) % kTracks &&
                    heard[i].seconds <= 0.42 && told[i + 1][j]);
      if (one.track == heard[i].track) {
        const bool cut = one.whole && i + 1 < h && std::abs(heard[i].seconds - lengthOf(one.track) / heard[i].rate) > 0.06;
        can = can || (!cut && told[i + 1][j + 1]);
        for (std::size_t k = j + 1; k < n && !can; ++k) {
          if (saidTracks[k].track == one.track) can = told[i + 1][k + 1];
          else if (saidTracks[k].whole) break;
        }
      }
      told[i][j] = can;
    }
  }
  EXPECT_TRUE(told[0][0]) << "what was heard is not what was said: a track cut, skipped or extra";
}

}  // namespace
}  // namespace sonavex::e2e
