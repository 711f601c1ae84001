// The equalizer and ReplayGain as the sink hears them: a sine played with the settings of a row is
// measured against the same sine (untagged, where the row tags it) played with both off; then
// volume and balance with both on.
#include <cmath>
#include <cstdio>

#include "Kit.h"
#include "core/model/SoundShaping.h"
#include "engine/gst/AudioSettings.h"

namespace sonavex::e2e {
namespace {

EqualizerSettings bands(BandGains gains, double preampDb = 0) { return {true, preampDb, gains}; }
const BandGains kRock = builtInPresets()[11].bandsDb;
constexpr ReplayGainMode kTrack = ReplayGainMode::Track, kAlbum = ReplayGainMode::Album;

struct Row {
  const char* what;
  double hz;
  double volume;         // of full scale
  const char* tags;      // ReplayGain tags of the file played, in taginject's syntax
  EqualizerSettings eq;
  ReplayGainSettings replayGain;
  double db, within;     // against the reference
};

// The curve as equalizer-10bands draws it: a band's own gain at its centre, plus what its
// neighbours add there (Rock at 250 Hz: -3.5 dB and -0.5; at 4 kHz: 5.5 dB and 1.8).
const Row kRows[] = {
    {"a band's centre rises by its gain", 1000, 0.1, "", bands({0, 0, 0, 0, 0, 9}), {}, 9, 1},
    {"two bands away it does not", 250, 0.1, "", bands({0, 0, 0, 0, 0, 9}), {}, 0, 1},
    {"a preset applies its curve, low", 250, 0.1, "", bands(kRock), {}, -4.0, 1},
    {"a preset applies its curve, high", 4000, 0.1, "", bands(kRock), {}, 7.3, 1},
    {"the preamp shifts all, low", 62, 0.1, "", bands({}, -6), {}, -6, 0.5},
    {"the preamp shifts all, high", 8000, 0.1, "", bands({}, -6), {}, -6, 0.5},
    {"track gain in track mode", 441, 0.5, "replaygain-track-gain=-6.0,replaygain-album-gain=-2.0", {}, {kTrack}, -6, 0.5},
    {"album gain in album mode", 441, 0.5, "replaygain-track-gain=-6.0,replaygain-album-gain=-2.0", {}, {kAlbum}, -2, 0.5},
    {"+10 dB on a full-scale sine does not clip", 441, 1.0, "replaygain-track-gain=10.0", {}, {kTrack}, 0, 0.5},
};

class SoundShaping : public EngineTest {
 protected:
  // A FLAC sine, its ReplayGain tags (if any) in Vorbis comments.
  std::string sine(double hz, double volume, const std::string& tags, int seconds = 1) {
    const std::string path = dir + std::to_string(files++) + ".flac";
    EXPECT_TRUE(render("audiotestsrc samplesperbuffer=441 num-buffers=" + std::to_string(100 * seconds) + " freq=" + std::to_string(hz) +
                           " volume=" + std::to_string(volume) + " ! audio/x-raw,rate=44100,channels=2 ! " +
                           (tags.empty() ? "" : "taginject tags=\"" + tags + "\" ! ") + "audioconvert ! flacenc",
                       path));
    return path;
  }
  // The level of what the sink played of `path`, in dB of full scale, over the middle of the sound.
  double levelDb(const std::string& path) {
    const Recording r = play(path);
    const Span sound = soundSpan(r, 0.005);
    return 20 * std::log10(rms(r, {sound.first + sound.count / 4, sound.count / 2}, 0));
  }
  int files = 0;
};

TEST_F(SoundShaping, TheSinkHearsTheBandsPresetsPreampAndTaggedGainWithoutClippingAndVolumeAndBalanceStill) {
  for (const Row& row : kRows) {
    engine.setEqualizer({});
    engine.setReplayGain({});
    const double reference = levelDb(sine(row.hz, row.volume, ""));
    engine.setEqualizer(row.eq);
    engine.setReplayGain(row.replayGain);
    const double shaped = levelDb(sine(row.hz, row.volume, row.tags));
    std::printf("%s: %+.2f dB\n", row.what, shaped - reference);
    EXPECT_NEAR(shaped - reference, row.db, row.within) << row.what;
  }
  // Volume and balance act on the shaped sound as before: the volume a fifth down, the balance
  // full left.
  const std::string tagged = sine(1000, 0.1, "replaygain-track-gain=-6.0");
  engine.setEqualizer(bands(kRock));
  engine.setReplayGain({kTrack});
  const double full = levelDb(tagged);
  engine.setVolume(-2000);
  engine.setBalance(kBalanceLeft);
  const Recording r = play(tagged);
  const Span sound = soundSpan(r, 0.005), middle{sound.first + sound.count / 4, sound.count / 2};
  EXPECT_NEAR(20 * std::log10(rms(r, middle, 0)) - full, 20 * std::log10(volumeToGain(-2000)), 0.5);
  EXPECT_LT(rms(r, middle, 1), 0.001);
}

// A change while a track plays is heard without a gap or a restart: the track plays through once,
// as long as it is, with no quiet moment, and once the output has played what it held (the sound
// server's buffer too: about 1.4 s at the null sink), at the new gain.
TEST_F(SoundShaping, AChangeWhilePlayingIsHeardWithoutAGapOrARestart) {
  const std::string path = sine(1000, 0.1, "", 4);
  engine.setEqualizer(bands({}));
  bool changed = false;
  listener.then = [&](const std::string& kind, long, long) {
    if (kind != "play") return;
    QTimer::singleShot(300, [&] {
      engine.setEqualizer(bands({0, 0, 0, 0, 0, 6}));
      changed = true;
    });
  };
  const Recording r = play(path);
  ASSERT_TRUE(changed);
  const Span sound = soundSpan(r, 0.01);
  EXPECT_EQ(listener.events, kPlayedThrough);
  EXPECT_NEAR(seconds(sound), 4.0, 0.05);
  EXPECT_EQ(measure(r, 1000).quietMs, 0.0);
  const double before = rms(r, {sound.first, sound.count / 6}, 0);
  const double after = rms(r, {sound.first + sound.count * 3 / 4, sound.count / 4}, 0);
  EXPECT_NEAR(20 * std::log10(after / before), 6, 0.5);
}

}  // namespace
}  // namespace sonavex::e2e
