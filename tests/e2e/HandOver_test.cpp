// What the user does while the next track is already handed over to the engine (a short file is
// read whole at once, so the hand-over comes as a track starts) gives what it gave before there was
// a hand-over: what is heard next is what nextsong chooses when the track ends, and no other track
// is heard, not even for a moment.
#include "Kit.h"
#include "core/ListActions.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

constexpr double kTones[] = {441, 551.25, 661.5, 882};  // files a, b, c, d
constexpr int kBroken = -1;                             // a file that cannot play
constexpr int kNothing = -1;

struct Row {
  const char* what;
  std::vector<int> files;  // the list, by file
  Index playing;           // the entry that plays when the user acts
  int loop;
  std::function<void(Core&)> act;
  int heardNext;  // the file heard after it, or kNothing
};

using HandOver = EngineTest;

TEST_F(HandOver, WhatTheUserDoesBeforeTheJoinDecidesWhatIsHeardNext) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < std::size(kTones); ++i)
    paths.push_back(tone(std::string(1, static_cast<char>('a' + i)) + ".wav", kTones[i], 0.6));
  std::ofstream(dir + "broken.wav") << "RIFF, and nothing that plays";
  const std::vector<int> abcd{0, 1, 2, 3};
  const Row rows[] = {
      {"nothing", abcd, 0, 0, [](Core&) {}, 1},
      {"stop", abcd, 0, 0, [](Core& core) { cmdstop_Click(core); }, kNothing},
      {"next", abcd, 0, 0, [](Core& core) { nextsong(core); }, 1},
      {"previous", abcd, 1, 0, [](Core& core) { cmdprev_Click(core); }, 0},
      {"a double click", abcd, 0, 0,
       [](Core& core) {
         core.list.markEntry(2);
         cpvcoollist2_DblClick(core);
       },
       2},
      {"a click on another entry", abcd, 0, 0, [](Core& core) { core.list.setListIndex2(2); }, 3},
      {"removing the next entry", abcd, 0, 0,
       [](Core& core) {
         core.list.setSelected(0, false);
         core.list.setSelected(1, true);
         cmdsel_Click(core);
       },
       2},
      {"sorting by name", {3, 2, 1, 0}, 0, 1, [](Core& core) { cmdname_Click(core); }, 0},
      {"loop off at the last", abcd, 3, 1, [](Core& core) { core.chkloop = 0; }, kNothing},
      {"the next file cannot play", {0, kBroken, 2}, 0, 0, [](Core&) {}, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    PlayingList list(engine, listener);
    Core& core = list.core;
    bool handedOver = false;
    listener.next = [&, next = listener.next] { return handedOver = true, next(); };
    for (int file : row.files) core.list.appendEntry(file == kBroken ? dir + "broken.wav" : paths[file]);
    core.chkloop = row.loop;
    core.list.markEntry(row.playing);
    cmdplay_Click(core);
    ASSERT_TRUE(runUntil([&] { return handedOver; })) << "never handed over";
    take();
    row.act(core);
    // The rest of the track playing, and a while of the one after it.
    runFor(1500);
    cmdstop_Click(core);
    settle();
    std::vector<double> heard = tonesHeard(take(), std::vector<double>(std::begin(kTones), std::end(kTones)));
    // The track playing when the user acted may still be heard to its end.
    const double playing = kTones[row.files[static_cast<std::size_t>(row.playing)]];
    if (!heard.empty() && heard.front() == playing && row.heardNext != row.files[static_cast<std::size_t>(row.playing)])
      heard.erase(heard.begin());
    if (row.heardNext == kNothing) {
      EXPECT_TRUE(heard.empty()) << testing::PrintToString(heard);
    } else {
      ASSERT_FALSE(heard.empty()) << "nothing heard";
      EXPECT_EQ(heard.front(), kTones[row.heardNext]) << testing::PrintToString(heard);
    }
    listener.next = nullptr;
    listener.then = nullptr;
  }
}

}  // namespace
}  // namespace sonavex::e2e
