// An album recorded without pauses plays without them: one continuous sine cut sample-exact into
// three files plays through the real engine into the sink with no run of silence and no step in
// the waveform at the joins beyond what the format itself leaves when its parts are decoded back to
// back offline, in order, with the title changing as each part starts, not before.
#include <cmath>
#include <cstdio>

#include "Kit.h"
#include "core/Command.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

constexpr std::size_t kPartFrames[] = {30870, 24255, 35280};  // 0.7, 0.55 and 0.8 s

class Gapless : public EngineTest, public testing::WithParamInterface<std::string> {
 protected:
  // The three parts in the format under test.
  std::vector<std::string> parts() {
    std::vector<std::string> paths;
    std::size_t first = 0;
    for (std::size_t i = 0; i < std::size(kPartFrames); ++i) {
      const std::string wav = dir + "part" + std::to_string(i) + ".wav";
      writeSinePart(wav, first, kPartFrames[i]);
      first += kPartFrames[i];
      const std::string path = dir + "part" + std::to_string(i) + GetParam();
      if (GetParam() == ".mp3") {
        EXPECT_EQ(std::system(("lame --quiet '" + wav + "' '" + path + "'").c_str()), 0);
      } else if (GetParam() != ".wav") {
        EXPECT_TRUE(render("filesrc location='" + wav + "' ! wavparse ! audioconvert ! " +
                               (GetParam() == ".flac" ? "flacenc" : "vorbisenc ! oggmux"),
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
};

TEST_P(Gapless, AContinuousSineCutIntoThreeFilesPlaysOnWithoutAHoleOrAStep) {
  const std::vector<std::string> paths = parts();
  std::vector<std::pair<std::string, double>> started;  // each new stream's file, and when
  QElapsedTimer clock;
  PlayingList list(engine, listener, [&] {
    started.emplace_back(engine.fileName(), clock.elapsed() / 1000.0);
  });
  Core& core = list.core;
  for (const std::string& path : paths) core.list.appendEntry(path);
  core.chkloop = 0;
  core.list.setListIndex2(0);
  take();
  clock.start();
  perform(core, cmdplay_Click);
  ASSERT_TRUE(runUntil([&] { return core.currenttrack == kNone; })) << "never reached the end";
  settle();
  const Joins played = measure(take());
  const Joins offline = measure(decodedBackToBack(paths));

  ASSERT_EQ(started.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(started[i].first, paths[i]);
    // Told as the part starts at the sink, not when it is queued (how late depends on the load).
    if (i > 0) {
      EXPECT_GT(started[i].second - started[i - 1].second, static_cast<double>(kPartFrames[i - 1]) / kRate - 0.15);
    }
  }
  std::printf("%s: played quiet %.1f ms, step %.4f; offline quiet %.1f ms, step %.4f\n",
              GetParam().c_str(), played.quietMs, played.step, offline.quietMs, offline.step);
  EXPECT_LE(played.quietMs, offline.quietMs + 0.1);
  EXPECT_LE(played.step, offline.step * 1.25 + 0.002);
}

INSTANTIATE_TEST_SUITE_P(Formats, Gapless, testing::Values(".wav", ".flac", ".ogg", ".mp3"),
                         [](const auto& info) { return info.param.substr(1); });

}  // namespace
}  // namespace sonavex::e2e
