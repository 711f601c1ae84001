// What the desktop's media controls see and ask, and the frame a second start hands over.
#include <cmath>
#include <limits>

#include "core/model/HandOver.h"
#include "core/MediaControl.h"
#include "core/Transport.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Scene;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A scene with three entries, entry 1 open in the given engine state.
Scene& opened(Scene& p, long state, double duration = 200) {
  p.focus(1);
  cmdplay_Click(p.core);
  p.startStream(duration);
  p.engine.state = state;
  return p;
}

TEST(MediaControl, StateFollowsTheEngineTheBoxesAndThePopupAndTrackIdsNameEntries) {
  Scene stopped(3, 1, 0);
  MediaControlState s = mediaControlState(stopped.core);
  EXPECT_EQ(std::tuple(s.playbackStatus, s.loopStatus, s.shuffle, s.track, s.canPlay, s.canPause, s.canSeek),
            std::tuple(std::string("Stopped"), std::string("Playlist"), false, kNone, true, false, false));
  EXPECT_EQ(s.volume, 1.0);  // the popup's fill starts at its design width, beyond the arc

  Scene p(3, 0, 1);
  opened(p, kPlaying);
  p.core.vol.fillWidth = 95.5;
  s = mediaControlState(p.core);
  EXPECT_EQ(std::tuple(s.playbackStatus, s.loopStatus, s.shuffle, s.track, s.path, s.lengthMicroseconds),
            std::tuple(std::string("Playing"), std::string("None"), true, 1, Scene::pathOf(1), 200000000LL));
  EXPECT_DOUBLE_EQ(s.volume, 0.5);
  EXPECT_TRUE(s.canSeek && s.canPause && s.canGoNext && s.canGoPrevious);
  p.engine.state = kPaused;
  EXPECT_EQ(mediaControlState(p.core).playbackStatus, "Paused");
  EXPECT_FALSE(mediaControlState(Scene(0).core).canPlay);  // nothing to play
  // Track ids name entries and nothing else.
  for (const Index track : {0, 7, 99999}) EXPECT_EQ(mediaTrackOf(mediaTrackId(track)), track);
  EXPECT_EQ(mediaTrackId(kNone), "/org/mpris/MediaPlayer2/TrackList/NoTrack");
  for (const char* bad : {"/org/sonavex/Track/", "/org/sonavex/Track/-1", "/org/sonavex/Track/1x",
                          "/org/sonavex/Track/99999999999", "/other/1", ""})
    EXPECT_EQ(mediaTrackOf(bad), kNone) << bad;
}

TEST(MediaControl, PlayPauseAndPlayPauseRunTheTransportCommandsAndSeeksStayWithinTheOpenTrack) {
  constexpr auto play = &mediaPlay, pause = &mediaPause, both = &mediaPlayPause;
  const struct { void (*request)(Core&); long before, after; std::size_t opens; } rows[] = {
      {play, kStopped, kPlaying, 1}, {play, kPaused, kPlaying, 0},  {play, kPlaying, kPlaying, 0},
      {pause, kPlaying, kPaused, 0}, {pause, kPaused, kPaused, 0},  {pause, kStopped, kStopped, 0},
      {both, kPlaying, kPaused, 0},  {both, kPaused, kPlaying, 0}, {both, kStopped, kPlaying, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << "request " << (&r - rows) << " from " << r.before);
    Scene p(3);
    p.focus(2);
    p.engine.state = r.before;
    r.request(p.core);
    EXPECT_EQ(std::pair(p.engine.state, p.opens()), std::pair(r.after, r.opens));
  }

  // Seeks stay within the open track and are counted.
  const struct { long state; double offset; SeekOutcome outcome; double position; } seeks[] = {
      {kPlaying, 30, SeekOutcome::Done, 80}, {kPlaying, -70, SeekOutcome::Done, 0},
      {kPlaying, 150, SeekOutcome::PastTheEnd, 50}, {kPaused, 10, SeekOutcome::Ignored, 50},
      {kPlaying, kNaN, SeekOutcome::Ignored, 50},
  };
  for (const auto& r : seeks) {
    Scene p(3);
    opened(p, r.state).engine.positionValue = 50;
    EXPECT_EQ(mediaSeek(p.core, r.offset), r.outcome) << r.offset;
    EXPECT_EQ(p.engine.positionValue, r.position) << r.offset;
    EXPECT_EQ(p.core.face.seeks, r.outcome == SeekOutcome::Done ? 1u : 0u) << r.offset;
  }
  const struct { Index track; double at; bool done; } places[] = {
      {1, 120, true}, {1, 200, true}, {0, 120, false}, {1, 201, false}, {1, -1, false}, {1, kNaN, false},
  };
  for (const auto& r : places) {
    Scene p(3);
    opened(p, kPlaying).engine.positionValue = 50;
    EXPECT_EQ(mediaSetPosition(p.core, r.track, r.at), r.done) << r.track << " at " << r.at;
    EXPECT_EQ(p.engine.positionValue, r.done ? r.at : 50) << r.track << " at " << r.at;
  }
}

TEST(MediaControl, BoxesRateAndVolumeGoThroughTheirOwnItems) {
  Scene p(4);
  opened(p, kPlaying);
  mediaSetShuffle(p.core, true);
  EXPECT_EQ(p.core.chkshuffle, 1);
  EXPECT_EQ(p.core.List5.count(), 4);  // a fresh shuffle order, as the box's click makes
  mediaSetLoop(p.core, false);
  EXPECT_EQ(p.core.chkloop, 0);
  const struct { double asked, set; } rates[] = {{1.3, 1.25}, {0.1, 0.25}, {7, 2.0}, {0.9, 0.9}};
  for (const auto& r : rates) {
    mediaSetRate(p.core, r.asked);
    EXPECT_EQ(p.engine.rate, r.set) << r.asked;
    EXPECT_DOUBLE_EQ(mediaControlState(p.core).rate, r.set) << r.asked;
  }
  Scene ogg;
  ogg.add({"/m/a.ogg"});
  opened(ogg, kPlaying);
  mediaSetRate(ogg.core, 2.0);
  EXPECT_EQ(ogg.engine.rate, 1.0);  // the Pitch items' rule: only .mp3 and .wav
  const struct { double asked; int level; long engine; double fill; } volumes[] = {
      {0.5, 5000, -5000, 95.5}, {3, 10000, 0, 191}, {-0.0, 0, -10000, 0}, {-2, 0, -10000, 0}};
  for (const auto& v : volumes) {
    mediaSetVolume(p.core, v.asked);
    const double readBack = mediaControlState(p.core).volume;
    EXPECT_EQ(std::tuple(p.core.vol.level, p.engine.volume, p.core.vol.fillWidth, readBack, std::signbit(readBack)),
              std::tuple(v.level, v.engine, v.fill, v.fill / 191, false)) << v.asked;
  }
}

TEST(HandOver, FramesArriveWholeInAnyPiecesAndForeignBytesAreRefused) {
  const std::vector<std::string> paths{"/m/a b.mp3", "", std::string("/m/\xFF\x01", 5), "/m/dir"};
  const std::string frame = encodeHandOver(paths);
  for (std::size_t piece : {std::size_t(1), std::size_t(3), frame.size()}) {
    HandOverReader reader;
    for (std::size_t at = 0; at < frame.size(); at += piece) {
      EXPECT_EQ(reader.status(), HandOverReader::Status::Incomplete);
      reader.feed(frame.data() + at, std::min(piece, frame.size() - at));
    }
    EXPECT_EQ(reader.status(), HandOverReader::Status::Complete) << piece;
    EXPECT_EQ(reader.paths(), paths) << piece;
  }
  const std::string huge("\xFF\xFF\xFF\xFF", 4);
  const std::string longPath = encodeHandOver({}).replace(0, 1, "\x01") + huge;
  // 2^20 + 1 paths, and one path of 2^16 + 1 bytes: one too many each.
  const std::string tooMany("\x01\x00\x10\x00", 4);
  const std::string tooLong = encodeHandOver({}).replace(0, 1, "\x01") + std::string("\x01\x00\x01\x00", 4);
  for (const std::string& bad : {huge, longPath, tooMany, tooLong, frame + "x"}) {
    HandOverReader reader;
    EXPECT_EQ(reader.feed(bad.data(), bad.size()), HandOverReader::Status::Invalid);
  }
}

}  // namespace
}  // namespace sonavex
