// What the engine says when it cannot play: which fault, and a text that tells the user what to do.
#include <gst/gst.h>

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "EngineFixture.h"
#include "engine/gst/MissingPlugin.h"

namespace sonavex::e2e {
namespace {

TEST(MissingPluginError, NamesWhatIsMissingAndThePackageThatBringsIt) {
  struct Case {
    const char* detail;
    const char* description;
    EngineFault fault;
    const char* text;
  };
  const Case cases[] = {
      {"gstreamer|1.0|sonavex|Windows Media Audio 8 decoder|decoder-audio/x-wma, "
       "wmaversion=(int)2, bitrate=(int)128000",
       "Windows Media Audio 8 decoder", EngineFault::Track,
       "no decoder for Windows Media audio; install gstreamer1.0-libav"},
      {"decoder-video/x-ms-asf", "", EngineFault::Track,
       "no decoder for Windows Media files (ASF); install gstreamer1.0-plugins-ugly"},
      {"decoder-audio/mpeg, mpegversion=(int)1, layer=(int)3", "", EngineFault::Track,
       "no decoder for MPEG audio (MP3); install gstreamer1.0-plugins-good"},
      {"decoder-audio/mpeg, mpegversion=(int)4, stream-format=(string)raw", "", EngineFault::Track,
       "no decoder for AAC; install gstreamer1.0-libav"},
      {"decoder-audio/x-flac", "", EngineFault::Track,
       "no decoder for FLAC; install gstreamer1.0-plugins-good"},
      {"decoder-audio/x-opus", "", EngineFault::Track,
       "no decoder for Opus; install gstreamer1.0-plugins-base"},
      {"decoder-audio/midi", "", EngineFault::Track,
       "no decoder for MIDI; install gstreamer1.0-plugins-bad and a soundfont such as "
       "timgm6mb-soundfont"},
      {"decoder-audio/x-unheard, rate=(int)8000", "Unheard decoder", EngineFault::Track,
       "Unheard decoder is missing; install the GStreamer plugin that provides it"},
      {"urisource-sftp", "SFTP protocol source", EngineFault::Track,
       "SFTP protocol source is missing; install the GStreamer plugin that provides it"},
      {"gstreamer|1.0|sonavex|GStreamer element playbin|element-playbin", "playbin",
       EngineFault::Engine,
       "the GStreamer element playbin is missing; install gstreamer1.0-plugins-base"},
      {"element-audiopanorama", "", EngineFault::Engine,
       "the GStreamer element audiopanorama is missing; install gstreamer1.0-plugins-good"},
      {"element-unheardsink", "", EngineFault::Engine,
       "the GStreamer element unheardsink is missing; install the GStreamer plugin that provides "
       "it"},
  };
  for (const Case& c : cases) {
    const EngineError error = missingPluginError(c.detail, c.description);
    EXPECT_EQ(error.fault, c.fault) << c.detail;
    EXPECT_EQ(error.text, c.text) << c.detail;
  }
}

// Sets an environment variable for one scope and puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Hides every decoder of the given caps from playbin while it lives: decoders below marginal rank
// are never plugged.
class HiddenDecoders {
 public:
  explicit HiddenDecoders(const char* caps) {
    GstCaps* wanted = gst_caps_from_string(caps);
    GList* all =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_MARGINAL);
    GList* matching = gst_element_factory_list_filter(all, wanted, GST_PAD_SINK, FALSE);
    for (GList* f = matching; f != nullptr; f = f->next) {
      auto* feature = GST_PLUGIN_FEATURE(gst_object_ref(f->data));
      hidden_.emplace_back(feature, gst_plugin_feature_get_rank(feature));
      gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
    }
    gst_plugin_feature_list_free(matching);
    gst_plugin_feature_list_free(all);
    gst_caps_unref(wanted);
  }
  ~HiddenDecoders() {
    for (auto& [feature, rank] : hidden_) {
      gst_plugin_feature_set_rank(feature, rank);
      gst_object_unref(feature);
    }
  }
  HiddenDecoders(const HiddenDecoders&) = delete;
  HiddenDecoders& operator=(const HiddenDecoders&) = delete;
  bool any() const { return !hidden_.empty(); }

 private:
  std::vector<std::pair<GstPluginFeature*, guint>> hidden_;
};

class EngineErrors : public EngineTest {
 protected:
  // Opens path and runs the loop until the first error, then a while longer for any second one.
  void openAndWaitForError(const std::string& path) {
    engine.open(path);
    EXPECT_TRUE(listener.events.empty()) << "notified from inside open()";
    ASSERT_TRUE(runUntil([&] { return listener.count("error") > 0; })) << "no error reported";
    runFor(1000);
  }

  void expectOneFailureWithoutPlaying(EngineFault fault) {
    EXPECT_EQ(listener.count("error"), 1);
    EXPECT_EQ(listener.count("new"), 0);
    EXPECT_EQ(listener.stoppedCount(), 0);
    EXPECT_EQ(engine.lastError().fault, fault) << engine.lastError().text;
    EXPECT_NE(engine.lastError().text, "");
    EXPECT_EQ(engine.playState(), kStopped);
  }
};

TEST_F(EngineErrors, WithoutSoundOutputOpenFailsAsAnOutputFaultAndTheNextOpenPlays) {
  const std::string tone = makeTone("a.wav");
  {
    ScopedEnv server("PULSE_SERVER", "unix:" + dir.path("no-server"));
    // Nor may autoaudiosink find an ALSA device (directly or through OpenAL) instead.
    ScopedEnv alsa("ALSA_CONFIG_PATH", dir.path("no-alsa.conf"));
    openAndWaitForError(tone);
    expectOneFailureWithoutPlaying(EngineFault::Output);
  }
  // The sound server is back: the next open finds it.
  listener.events.clear();
  capture->take();
  ASSERT_TRUE(playToEnd(tone)) << "the stream never ended";
  EXPECT_EQ(listener.count("error"), 0) << engine.lastError().text;
  EXPECT_EQ(listener.count("new"), 1);
  EXPECT_GT(soundSeconds(capture->take()), 1.0) << "nothing came out of the sink";
}

TEST_F(EngineErrors, APathWithANulByteIsRefusedAsATrackFault) {
  // Cut at the NUL the path names a real tone, which must not play.
  const std::string tone = makeTone("a.wav");
  openAndWaitForError(tone + std::string(1, '\0') + "b.wav");
  expectOneFailureWithoutPlaying(EngineFault::Track);
  EXPECT_LT(peak(capture->take()), 0.001) << "something played";
}

TEST_F(EngineErrors, AMissingDecoderIsNamedWithItsPackage) {
  const std::string wma = makeTone("a.wma");
  const HiddenDecoders hidden("audio/x-wma");
  ASSERT_TRUE(hidden.any()) << "no WMA decoder to hide";
  openAndWaitForError(wma);
  expectOneFailureWithoutPlaying(EngineFault::Track);
  EXPECT_EQ(engine.lastError().text,
            "no decoder for Windows Media audio; install gstreamer1.0-libav");
}

}  // namespace
}  // namespace sonavex::e2e
