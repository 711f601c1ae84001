// What the listener does while the next track is already handed over to the engine (a short file
// is read whole at once, so the hand-over comes as a track starts): the playing track is heard to
// its last sample (or from where a seek put it), what follows is what the rules choose at the
// track's end, and nothing else is heard, not even for a moment.
#include <sys/stat.h>

#include <random>

#include "Kit.h"
#include "core/Command.h"
#include "core/ListWork.h"
#include "core/ListActions.h"
#include "core/MediaControl.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/Shuffle.h"
#include "core/Sequencer.h"
#include "core/Transport.h"
#include "windows/frmMain.h"

namespace sonavex::e2e {
namespace {

constexpr double kTones[] = {441, 551.25, 661.5, 882};  // files a, b, c, d
constexpr double kFirst = 2.0, kOther = 0.6;            // seconds of the first file, of the others

// What the sink played, as runs of one tone (or of silence, 0).
struct Heard {
  double tone;
  double seconds;
};
std::vector<Heard> runsOf(const Recording& r, double rate) {
  std::vector<Heard> runs;
  const auto toneAt = [rate](double f) {
    for (int t = 0; t < 4; ++t)
      if (std::abs(f - kTones[t] * rate) < (rate < 1 ? 27 : 40 * rate)) return t;
    return -1;
  };
  for (const PitchRun& run : pitchRuns(r, toneAt)) runs.push_back({run.id < 0 ? 0 : kTones[run.id], run.seconds});
  return runs;
}

struct Row {
  const char* what;
  std::vector<std::string> files;  // names in the scratch folder: a b c d, or a file that cannot play
  double at;                       // seconds into a.wav, which plays
  std::function<void(Core&)> act;
  double firstHeard = kFirst;  // seconds of it heard (a seek changes that)
  double rate = 1.0;           // set as it opens, as the media controls set it
};

class HandOver : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    if (IsSkipped()) return;
    for (int i = 0; i < 4; ++i) tone(std::string(1, static_cast<char>('a' + i)) + ".wav", kTones[i], i == 0 ? kFirst : kOther);
    std::ofstream(dir + "empty.mp3");
    std::string noise(5000, '\0');
    std::mt19937 random(7);
    for (char& c : noise) c = static_cast<char>(random());
    std::ofstream(dir + "noise.mp3") << noise;
    ::mkfifo((dir + "fifo.mp3").c_str(), 0600);
    // A WAV of a codec no one decodes: it opens, then fails for want of a decoder.
    std::string wav = std::string("RIFF\x24\x10\0\0WAVEfmt \x10\0\0\0\x34\x12\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\0\x10\0\0", 44);
    std::ofstream(dir + "nodecoder.wav") << wav << std::string(4096, '\x11');
    startPlayer({});
  }
  double toneOf(const std::string& name) const { return name.size() == 5 ? kTones[name[0] - 'a'] : 0; }
};

TEST_F(HandOver, ThePlayingTrackIsHeardToItsEndAndWhatFollowsIsWhatTheRulesChooseThen) {
  const auto focus = [](Index row) { return [row](Core& core) { core.list.markEntry(row); }; };
  const std::vector<std::string> abcd{"a.wav", "b.wav", "c.wav", "d.wav"};
  const Row rows[] = {
      {"nothing", abcd, 0.5, [](Core&) {}},
      {"rate 0.5", abcd, 0.5, [](Core&) {}, kFirst / 0.5, 0.5},
      {"rate 1.5", abcd, 0.5, [](Core&) {}, kFirst / 1.5, 1.5},
      {"a click on another row at 0.5 s", abcd, 0.5, focus(2)},
      {"a click on another row at 1.2 s", abcd, 1.2, focus(2)},
      {"a click on another row at 1.85 s", abcd, 1.85, focus(2)},
      {"removing the next entry", abcd, 1.2,
       [](Core& core) {
         core.list.listrefreshing();
         core.list.setSelected(1, true);
         cmdsel_Click(core);
       }},
      {"sorting by name", {"a.wav", "d.wav", "c.wav", "b.wav"}, 1.2, cmdname_Click},
      {"loop on at the last", {"b.wav", "a.wav"}, 1.2, [](Core& core) { core.chkloop = 1; }},
      {"shuffle on", abcd, 1.2,
       [](Core& core) {
         core.chkshuffle = 1;
         chkshuffle_Click(core);
       }},
      {"seeking back by key", abcd, 1.5, [](Core& core) { frmMain_KeyUp(core, 37); }, kFirst + kFirst / 25},
      {"seeking forward by key", abcd, 1.0, [](Core& core) { frmMain_KeyUp(core, 39); }, kFirst - kFirst / 25},
      {"seeking back by the media controls", abcd, 1.5, [this](Core&) { playerctl({"position", "0.5"}); }, kFirst + 1.0},
      {"seeking forward by the media controls", abcd, 0.5, [this](Core&) { playerctl({"position", "1.5"}); }, kFirst - 1.0},
      {"a 0-byte file next", {"a.wav", "empty.mp3", "c.wav"}, 0.5, [](Core&) {}},
      {"random bytes next", {"a.wav", "noise.mp3", "c.wav"}, 0.5, [](Core&) {}},
      {"a missing file next", {"a.wav", "gone.mp3", "c.wav"}, 0.5, [](Core&) {}},
      {"a named pipe next", {"a.wav", "fifo.mp3", "c.wav"}, 0.5, [](Core&) {}},
      {"a format without a decoder next", {"a.wav", "nodecoder.wav", "c.wav"}, 0.5, [](Core&) {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    perform(core(), cmdall_Click);
    ASSERT_TRUE(waitFor([&] { return !listBusy(core()); }));
    for (const std::string& file : row.files) core().list.appendEntry(dir + file);
    core().chkloop = 0;
    core().chkshuffle = 0;
    core().list.markEntry(static_cast<Index>(std::find(row.files.begin(), row.files.end(), "a.wav") - row.files.begin()));
    take();
    perform(core(), cmdplay_Click);
    perform(core(), mediaSetRate, row.rate);
    ASSERT_TRUE(waitFor([&] { return core().mp1.playState() == kPlaying && core().mp1.position() >= row.at; }));
    perform(core(), row.act);
    ASSERT_TRUE(waitFor([&] { return !listBusy(core()); }));
    // What the rules choose now, and after that, as far as what is heard can tell.
    std::vector<double> expected{kTones[0]};
    for (const std::string& path : upcomingPaths(core(), 4)) {
      const double next = toneOf(path.substr(dir.size()));
      if (next != 0 && expected.back() != next) expected.push_back(next);
    }
    // The end of the first track, and the next one for long enough to know it.
    ASSERT_TRUE(waitFor([&] { return core().mp1.fileName() != dir + "a.wav" || core().mp1.playState() != kPlaying; }));
    runFor(900);
    perform(core(), cmdstop_Click);
    settle();
    const Recording heardAll = take();
    std::vector<Heard> runs = runsOf(heardAll, row.rate);
    while (!runs.empty() && runs.front().tone == 0) runs.erase(runs.begin());
    // The first file whole (a seek's short hole aside); then each tone once, in order.
    const bool seeks = row.firstHeard != kFirst / row.rate;
    double first = 0;
    std::size_t i = 0;
    for (; i < runs.size() && (runs[i].tone == kTones[0] || (seeks && runs[i].tone == 0 && runs[i].seconds < 0.3)); ++i)
      if (runs[i].tone != 0) first += runs[i].seconds;
    EXPECT_NEAR(first, row.firstHeard, seeks ? 0.25 : 0.06) << "the playing track was cut or stretched";
    std::vector<double> heard{kTones[0]};
    // A block across a join holds two tones and reads as neither: a tone counts from 40 ms on.
    for (; i < runs.size(); ++i)
      if (runs[i].tone != 0 && runs[i].seconds > 0.03 && runs[i].tone != heard.back()) heard.push_back(runs[i].tone);
    heard.resize(std::min<std::size_t>(heard.size(), 2));
    expected.resize(std::min<std::size_t>(expected.size(), 2));
    EXPECT_EQ(heard, expected);
  }
}

}  // namespace
}  // namespace sonavex::e2e
