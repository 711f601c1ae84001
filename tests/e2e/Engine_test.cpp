// The engine's contract with real audio: the notifications each stream raises, and what the sink
// plays.
#include <iostream>
#include <tuple>
#include <utility>

#include "Kit.h"
#include "engine/gst/AudioOnly.h"
#include "engine/gst/MissingPlugin.h"

namespace sonavex::e2e {
namespace {

// Every format plays through once and sounds (.m4a and .wma with the decoders gstreamer1.0-libav
// brings, along with the encoders of the test files), and the sink follows volume, balance and rate.
TEST_F(EngineTest, EveryFormatPlaysThroughOnceAndTheSinkFollowsVolumeBalanceAndRate) {
  const double full = 0.5 / std::sqrt(2.0);  // the tone's level
  const struct {
    const char *file, *decoder;
    long volume, balance;
    double rate;
    int channels;
    double left, right, pitch;  // pitch 0: silent
  } rows[] = {
      {"s.wav", nullptr, kVolumeSilent, 0, 1, 2, 0, 0, 0},  // set before the engine built its pipeline
      {"a.mp3", nullptr, 0, 0, 1, 2, full, full, 441},      {"a.wav", nullptr, 0, 0, 1, 2, full, full, 441},
      {"a.flac", nullptr, 0, 0, 1, 2, full, full, 441},     {"a.ogg", nullptr, 0, 0, 1, 2, full, full, 441},
      {"a.opus", nullptr, 0, 0, 1, 2, full, full, 441},     {"a.m4a", "avdec_aac", 0, 0, 1, 2, full, full, 441},
      {"a.wma", "avdec_wmav2", 0, 0, 1, 2, full, full, 441},
      {"a.mid", nullptr, 0, 0, 1, 2, 0, 0, 0},  // the synthesiser plays quietly (its default gain is low), no sine
      {"b.wav", nullptr, -2000, 0, 1, 2, full * 0.512, full * 0.512, 441},  // 0.8^3: a cubic curve
      {"c.wav", nullptr, 0, kBalanceLeft, 1, 2, full, 0, 441},
      {"d.wav", nullptr, 0, kBalanceRight, 1, 1, 0, full, 441},  // mono too
      {"e.wav", nullptr, 0, 5000, 1, 2, full / 2, full, 441},    // the right channel must not take in the left
      {"f.wav", nullptr, 0, 0, 0.5, 2, full, full, 220.5},       // no pitch correction
      {"g.ogg", nullptr, 0, 0, 2.0, 2, full, full, 882},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    if (row.decoder != nullptr && !gst_registry_check_feature_version(gst_registry_get(), row.decoder, 1, 0, 0)) {
      std::cout << "no " << row.decoder << ": " << row.file << " not played\n";
      continue;
    }
    engine.setVolume(row.volume);
    engine.setBalance(row.balance);
    engine.setRate(row.rate);
    const std::string path = tone(row.file, 441, 0.5, row.channels);
    const Recording r = play(path);
    EXPECT_EQ(listener.events, kPlayedThrough);
    EXPECT_GT(maxDuration, 0.3) << "no duration while playing";
    EXPECT_EQ(std::tuple(engine.playState(), engine.fileName()), std::tuple(kStopped, path));
    EXPECT_EQ(engine.position(), engine.duration()) << "the clock must see the end";
    if (path.ends_with(".mid")) {
      EXPECT_GT(soundSpan(r, 0.003).count, 0u) << "nothing came out of the sink";
      continue;
    }
    const Span sound = soundSpan(r);
    EXPECT_NEAR(rms(r, sound, 0), row.left, std::max(0.002, row.left / 10));  // lossy formats lose a little
    EXPECT_NEAR(rms(r, sound, 1), row.right, std::max(0.002, row.right / 10));
    if (row.pitch == 0) {
      EXPECT_TRUE(silent(r));
    } else {  // on a channel that plays
      EXPECT_NEAR(toneFrequency(r, sound, row.left > 0 ? 0 : 1), row.pitch, row.pitch * 0.03);
    }
  }
  // A film plays its sound: the engine leaves out what decodes pictures, not the files with them.
  engine.setRate(1.0);
  ASSERT_TRUE(render("videotestsrc num-buffers=10 ! theoraenc ! m. audiotestsrc volume=0.5 "
                     "freq=441 samplesperbuffer=441 num-buffers=50 ! audioconvert ! vorbisenc ! m. "
                     "oggmux name=m",
                     dir + "film.ogg"));
  const Recording r = play(dir + "film.ogg");
  EXPECT_EQ(listener.events, kPlayedThrough);
  EXPECT_NEAR(toneFrequency(r, soundSpan(r)), 441, 441 * 0.03);
}

TEST_F(EngineTest, PauseHoldsSeeksMoveAndARateChangeActsAtOnce) {
  engine.open(tone("a.wav", 441, 3.0));
  ASSERT_TRUE(runUntil([&] { return engine.position() >= 0.2; })) << "playback never advanced";
  EXPECT_NEAR(engine.duration(), 3.0, 0.05);
  engine.pause();
  EXPECT_EQ(engine.playState(), kPaused);
  ASSERT_TRUE(runUntil([&] { return listener.has("pause"); }));
  const double held = engine.position();
  runFor(300);
  EXPECT_NEAR(engine.position(), held, 0.05);
  // Seeks are clamped into the track; playing on starts where the last one went.
  for (const auto& [to, expected] : {std::pair{-5.0, 0.0}, {2.0, 2.0}}) {
    engine.setPosition(to);
    runFor(200);
    EXPECT_NEAR(engine.position(), expected, 0.05) << "seek to " << to;
  }
  take();
  engine.play();
  EXPECT_EQ(engine.playState(), kPlaying);
  ASSERT_TRUE(runUntil([&] { return listener.events.back() == "play"; }));
  engine.setRate(2.0);
  ASSERT_TRUE(runUntil([&] { return listener.has("stop"); })) << "never ended";
  settle();
  EXPECT_EQ(listener.events, (Events{"new", "play", "pause", "play", "end", "stop"}));
  EXPECT_NEAR(engine.position(), 3.0, 0.05);
  // The last second at twice the speed: half a second, at twice the pitch well after the change.
  const Recording r = take();
  const Span sound = soundSpan(r);
  EXPECT_NEAR(seconds(sound), 0.5, 0.2);
  EXPECT_NEAR(toneFrequency(r, {sound.first + sound.count / 2, sound.count / 2}), 882, 882 * 0.03);
}

TEST_F(EngineTest, OnlyAStreamsOwnEndRaisesStopped) {
  const std::string a = tone("a.wav"), b = tone("b.wav", 882);
  engine.open("");  // nothing to play and nothing to say
  EXPECT_EQ(std::tuple(engine.playState(), engine.fileName(), engine.duration()), std::tuple(kStopped, "", 0.0));
  // The program's stop() and open("") end a playing stream at once, and say nothing.
  for (const bool byStop : {true, false}) {
    SCOPED_TRACE(byStop ? "stop()" : "open(\"\")");
    engine.open(a);
    ASSERT_TRUE(runUntil([&] { return listener.has("play"); }));
    byStop ? engine.stop() : engine.open("");
    EXPECT_EQ(std::pair(engine.playState(), engine.position()), std::pair(kStopped, 0.0));
    settle();
    take();
    runFor(600);  // past the rest of the tone
    EXPECT_TRUE(silent(take())) << "still playing";
    EXPECT_EQ(listener.events, (Events{"new", "play"}));
    listener.events.clear();
  }
  // The old stream's end already waits when the next track opens: it must not end that track.
  engine.open(a);
  ASSERT_TRUE(runUntil([&] { return listener.has("play") && engine.duration() > 0; }));
  engine.setPosition(engine.duration() - 0.05);
  QThread::msleep(1500);  // without running the loop
  const Recording r = play(b);
  EXPECT_EQ(listener.events, kPlayedThrough);
  EXPECT_GT(seconds(soundSpan(r)), 0.4) << "cut short";
  EXPECT_NEAR(toneFrequency(r, soundSpan(r)), 882, 882 * 0.03);
  {  // A playing engine can go away: it falls silent, and nothing of it may run afterwards.
    GstMediaEngine other;
    RecordingListener heard(other);
    other.open(tone("long.wav", 441, 2.0));
    ASSERT_TRUE(runUntil([&] { return heard.has("play"); }));
  }
  settle();
  take();
  runFor(600);
  EXPECT_TRUE(silent(take())) << "still playing";
}

TEST_F(EngineTest, WhatCannotPlayRaisesOneErrorAndPlaysNothing) {
  const std::string wav = tone("a.wav"), wma = tone("a.wma");
  std::ofstream(dir + "text.mp3") << "this is not audio\r\nat all\r\n";
  EXPECT_TRUE(render("videotestsrc num-buffers=1 ! pngenc", dir + "picture.mp3"));
  EXPECT_TRUE(render("videotestsrc num-buffers=30 ! theoraenc ! oggmux", dir + "video.ogg"));
  using enum EngineFault;
  const std::tuple<std::string, EngineFault, std::string> rows[] = {
      // Without its decoder. First: playbin lists the decoders on its first stream.
      {wma, Track, "no decoder for Windows Media audio; install gstreamer1.0-libav"},
      {dir + "missing.mp3", Track, ""},  // "": any text
      {dir + "text.mp3", Track, ""},
      {dir + "picture.mp3", Track, ""},  // may be taken for MP3 by its name
      {dir + "video.ogg", Track, "the file holds no audio"},
      {wav + '\0' + "b.wav", Track, ""},  // cut at the NUL, a tone that must not play
      {wav, Output, ""},                  // with no sound server to be found
  };
  // Playbin never plugs a decoder below marginal rank.
  GstPluginFeature* wmaDecoder = GST_PLUGIN_FEATURE(gst_element_factory_find("avdec_wmav2"));
  ASSERT_NE(wmaDecoder, nullptr);
  const guint wmaRank = gst_plugin_feature_get_rank(wmaDecoder);
  for (const auto& [path, fault, text] : rows) {
    SCOPED_TRACE(path.c_str());
    gst_plugin_feature_set_rank(wmaDecoder, path == wma ? guint{GST_RANK_NONE} : wmaRank);
    if (fault == Output) {
      setenv("PULSE_SERVER", ("unix:" + dir + "no-server").c_str(), 1);
      // Nor may autoaudiosink find an ALSA device (directly or through OpenAL) instead.
      setenv("ALSA_CONFIG_PATH", (dir + "no-alsa.conf").c_str(), 1);
    }
    listener.events.clear();
    take();
    engine.open(path);
    EXPECT_TRUE(listener.events.empty()) << "notified from inside open()";
    EXPECT_TRUE(runUntil([&] { return listener.has("error"); })) << "no error";
    runFor(300);  // for a second one
    unsetenv("PULSE_SERVER");
    unsetenv("ALSA_CONFIG_PATH");
    EXPECT_EQ(listener.events, Events{"error"});
    EXPECT_EQ(engine.lastError().fault, fault) << engine.lastError().text;
    EXPECT_EQ(engine.lastError().text, text.empty() ? engine.lastError().text : text);
    EXPECT_NE(engine.lastError().text, "");
    EXPECT_EQ(std::pair(engine.playState(), engine.fileName()), std::pair(kStopped, path));
    EXPECT_TRUE(silent(take())) << "something played";
  }
  gst_object_unref(wmaDecoder);
  // The sound server is back: the next open finds it.
  EXPECT_GT(seconds(soundSpan(play(wav))), 0.3);
  EXPECT_EQ(listener.events, kPlayedThrough);
}

TEST_F(EngineTest, AStoppedEngineLetsItsPipelineGoAndBuildsItAgain) {
  GstMediaEngine quick(150);
  RecordingListener heard(quick);
  const std::string a = tone("a.wav");
  for (const std::string how : {"its end", "stop()", "stop() and open() at once"}) {
    SCOPED_TRACE(how);
    heard.events.clear();
    take();
    quick.open(a);
    ASSERT_TRUE(runUntil([&] { return how == "its end" ? heard.has("stop") : quick.position() >= 0.2; }));
    if (how != "its end") quick.stop();
    if (how == "stop() and open() at once") {  // the next track keeps the pipeline
      quick.open(a);
      runFor(400);
      EXPECT_TRUE(quick.holdsPipeline());
      quick.stop();
    }
    EXPECT_TRUE(runUntil([&] { return !quick.holdsPipeline(); }, 2000)) << "kept its pipeline";
    settle();
    EXPECT_GT(seconds(soundSpan(take())), 0.1) << "nothing played";
  }
  EXPECT_EQ(heard.broken, "");
}

TEST(AudioOnly, OnlyWhatCanPlaySoundStaysAndOnlyPictureDecodersAreLeftOutOnPurpose) {
  const std::pair<const char*, bool> elements[] = {
      {"Codec/Decoder/Audio", true}, {"Codec/Demuxer", true}, {"Codec/Parser/Audio", true}, {"Sink/Audio", true},
      {"Generic/Bin/Player", true}, {"Source/File", true}, {"Filter/Converter/Audio/Video", true},
      {"Codec/Decoder/Video", false}, {"Codec/Decoder/Image", false}, {"Codec/Parser/Subtitle", false},
      {"Visualization", false}, {"Codec/Encoder/Audio", false}, {"Codec/Muxer", false},
      {"Codec/Depayloader/Network/RTP", false}, {"Formatter/Metadata", false}};
  for (const auto& [klass, usable] : elements) EXPECT_EQ(usableForAudioPlayback(klass), usable) << klass;
  const std::pair<const char*, bool> missing[] = {
      {"gstreamer|1.0|sonavex|H.264 decoder|decoder-video/x-h264, stream-format=(string)avc", false},
      {"decoder-image/png", false}, {"decoder-text/x-raw, format=(string)pango-markup", false},
      {"decoder-video/x-ms-asf", true}, {"decoder-video/quicktime", true},  // containers that may hold sound
      {"decoder-audio/x-wma, wmaversion=(int)2", true}, {"element-playbin", true}};
  for (const auto& [detail, forSound] : missing) EXPECT_EQ(missingForSound(detail), forSound) << detail;
}

TEST(MissingPluginError, NamesWhatIsMissingAndThePackageThatBringsIt) {
  using enum EngineFault;
  const std::string any = "; install the GStreamer plugin that provides it";
  const std::tuple<std::string, std::string, EngineFault, std::string> rows[] = {
      {"gstreamer|1.0|sonavex|Windows Media Audio 8 decoder|decoder-audio/x-wma, wmaversion=(int)2",
       "Windows Media Audio 8 decoder", Track, "no decoder for Windows Media audio; install gstreamer1.0-libav"},
      {"decoder-audio/mpeg, mpegversion=(int)1, layer=(int)3", "", Track,
       "no decoder for MPEG audio (MP3); install gstreamer1.0-plugins-good"},
      {"decoder-audio/mpeg, mpegversion=(int)4", "", Track, "no decoder for AAC; install gstreamer1.0-libav"},
      {"decoder-audio/x-unheard, rate=(int)8000", "Unheard decoder", Track, "Unheard decoder is missing" + any},
      {"gstreamer|1.0|sonavex|GStreamer element playbin|element-playbin", "playbin", Engine,
       "the GStreamer element playbin is missing; install gstreamer1.0-plugins-base"},
      {"element-unheardsink", "", Engine, "the GStreamer element unheardsink is missing" + any},
  };
  for (const auto& [detail, description, fault, text] : rows) {
    const EngineError error = missingPluginError(detail, description);
    EXPECT_EQ(std::pair(error.fault, error.text), std::pair(fault, text)) << detail;
  }
}

}  // namespace
}  // namespace sonavex::e2e
