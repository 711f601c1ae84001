// An album recorded without pauses plays without them: one continuous sine cut sample-exact into
// three files plays through the real engine into the sink with no run of silence and no step in
// the waveform at the joins beyond what the format itself leaves when its parts are decoded back to
// back offline, in order, with the title changing as each part starts, not before. At another rate
// the parts decoded back to back are played as one file at that rate beside them: the joins add
// nothing to what the rate does to a single file.
#include <cmath>
#include <cstdio>

#include "Kit.h"
#include "core/Command.h"
#include "core/MediaControl.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

using Frames = std::vector<std::size_t>;
const Frames kPartFrames{30870, 24255, 35280};  // 0.7, 0.55 and 0.8 s
// Shorter than what the output holds: several parts start at the sink before the first is heard.
const Frames kBriefFrames{6615, 4410, 5512, 7276, 4851};  // 0.1 to 0.165 s

// A format, the rate it plays at (the pitch follows: a sine of 1.5 times the frequency), and the
// parts' lengths.
struct Played {
  std::string format;
  double rate = 1.0;
  Frames frames = kPartFrames;
  bool shaped = false;  // with the equalizer and ReplayGain (its fallback gain) on
};
void PrintTo(const Played& p, std::ostream* out) { *out << p.format << " at " << p.rate << (p.shaped ? " shaped" : ""); }

class Gapless : public EngineTest, public testing::WithParamInterface<Played> {
 protected:
  // The parts in the format under test.
  std::vector<std::string> parts() {
    std::vector<std::string> paths;
    std::size_t first = 0;
    for (std::size_t i = 0; i < GetParam().frames.size(); ++i) {
      const std::string wav = dir + "part" + std::to_string(i) + ".wav";
      writeSinePart(wav, first, GetParam().frames[i]);
      first += GetParam().frames[i];
      const std::string format = GetParam().format;
      const std::string path = dir + "part" + std::to_string(i) + format;
      if (format == ".mp3") {
        EXPECT_EQ(std::system(("lame --quiet '" + wav + "' '" + path + "'").c_str()), 0);
      } else if (format != ".wav") {
        EXPECT_TRUE(render("filesrc location='" + wav + "' ! wavparse ! audioconvert ! " +
                               (format == ".flac" ? "flacenc" : "vorbisenc ! oggmux"),
                           path));
      }
      paths.push_back(path);
    }
    return paths;
  }

  // The parts decoded one after another offline, as the player decodes them (MP3 by mpg123).
  Recording decodedBackToBack(const std::vector<std::string>& paths) {
    Recording all;
    for (const std::string& path : paths) {
      const std::string raw = path + ".raw";
      EXPECT_EQ(std::system(("GST_PLUGIN_FEATURE_RANK=mpg123audiodec:PRIMARY gst-launch-1.0 -q "
                             "filesrc location='" + path + "' ! decodebin ! audioconvert ! "
                             "audio/x-raw,format=S16LE,rate=44100,channels=2 ! filesink location='" +
                             raw + "'").c_str()), 0);
      std::ifstream in(raw, std::ios::binary);
      Recording part(std::filesystem::file_size(raw) / 2);
      in.read(reinterpret_cast<char*>(part.data()), static_cast<std::streamsize>(part.size() * 2));
      all.insert(all.end(), part.begin(), part.end());
    }
    return all;
  }

  // What the sink heard of `paths` played through at `rate` (set as the media controls set it, as
  // the first one opens); `started` gets each new stream's file and when it was told.
  Recording play(const std::vector<std::string>& paths, double rate,
                 std::vector<std::pair<std::string, double>>* started = nullptr) {
    QElapsedTimer clock;
    PlayingList list(engine, listener, [&] {
      if (started != nullptr) started->emplace_back(engine.fileName(), clock.elapsed() / 1000.0);
    });
    Core& core = list.core;
    for (const std::string& path : paths) core.list.appendEntry(path);
    core.chkloop = 0;
    core.list.setListIndex2(0);
    take();
    if (GetParam().shaped) {
      engine.setEqualizer({true, -3, {0, 0, 0, 2, 6, 2}});
      engine.setReplayGain({ReplayGainMode::Track, 0, -2});
    }
    clock.start();
    perform(core, cmdplay_Click);
    perform(core, mediaSetRate, rate);
    EXPECT_TRUE(runUntil([&] { return core.currenttrack == kNone; })) << "never reached the end";
    settle();
    return take();
  }
};

TEST_P(Gapless, AContinuousSineCutIntoThreeFilesPlaysOnWithoutAHoleOrAStep) {
  const std::vector<std::string> paths = parts();
  const double rate = GetParam().rate;
  std::vector<std::pair<std::string, double>> started;  // each new stream's file, and when
  const Joins played = measure(play(paths, rate, &started), kPitch * rate);
  Recording offline = decodedBackToBack(paths);
  if (rate != 1.0) {
    writeWav(dir + "whole.wav", offline);
    offline = play({dir + "whole.wav"}, rate);
  }
  const Joins reference = measure(offline, kPitch * rate);

  ASSERT_EQ(started.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(started[i].first, paths[i]);
    // Told as the part starts at the sink, not when it is queued (how late depends on the load);
    // brief parts only in order.
    if (i > 0 && GetParam().frames != kBriefFrames) {
      EXPECT_GT(started[i].second - started[i - 1].second,
                static_cast<double>(GetParam().frames[i - 1]) / kRate / rate - 0.15);
    }
  }
  std::printf("%s at %.2f: played quiet %.1f ms, step %.4f; reference quiet %.1f ms, step %.4f\n",
              GetParam().format.c_str(), rate, played.quietMs, played.step, reference.quietMs, reference.step);
  // Brief parts: each is told and the list ends (a stream started behind one not yet heard once
  // held the engine at that one's end); their joins are the listening bench's figure.
  if (GetParam().frames == kBriefFrames) return;
  EXPECT_LE(played.quietMs, reference.quietMs + 0.1);
  EXPECT_LE(played.step, reference.step * 1.25 + 0.002);
}

INSTANTIATE_TEST_SUITE_P(Formats, Gapless,
                         testing::Values(Played{".wav"}, Played{".flac"}, Played{".ogg"}, Played{".mp3"},
                                         Played{".wav", 0.5}, Played{".mp3", 1.5}, Played{".wav", 1, kBriefFrames},
                                         Played{".flac", 1, kPartFrames, true}),
                         [](const auto& info) {
                           const Played& p = info.param;
                           return p.format.substr(1) + (p.rate == 1.0 ? "" : "_at_" + std::to_string(std::lround(p.rate * 100))) +
                                  (p.frames == kBriefFrames ? "_brief" : "") + (p.shaped ? "_shaped" : "");
                         });

}  // namespace
}  // namespace sonavex::e2e
