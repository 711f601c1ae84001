// What the player shows of a stream from an address as it connects, buffers, plays and fails.
#include "Kit.h"
#include "core/Clock.h"
#include "core/StreamTitle.h"
#include "core/model/PlaylistFormats.h"
#include "core/model/StreamAddress.h"

namespace sonavex {
namespace {

TEST(StreamTitle, TheSongElseTheListsNameElseTheAddressWithHowFarItConnectsOrBuffers) {
  const std::string address = "http://radio.example/live";
  struct Row { std::string song, listName; int buffering; double position; std::string shown; } rows[] = {
      {"", "", 0, 0, "Connecting (0%): " + address},
      {"", "Jazz FM", 40, 0, "Buffering (40%): Jazz FM"},
      {"Miles - So What", "Jazz FM", 100, 3, "Miles - So What"},
      {"", "Jazz FM", 0, 12, "Buffering (0%): Jazz FM"},  // ran dry while playing
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shown);
    kit::Scene s;
    s.core.list.appendRaw(address, "1   " + (row.listName.empty() ? address : row.listName));
    s.core.currenttrack = 0;
    s.engine.open(address);
    s.engine.tagsValue.title = row.song;
    s.engine.bufferingValue = row.buffering;
    s.engine.positionValue = row.position;
    streamChanged(s.core);
    EXPECT_EQ(s.core.face.lblsongname, row.shown + "  ");
    clockTick(s.core);
    EXPECT_EQ(s.core.face.lblttime, "");  // a live stream has no length
  }
}

TEST(StreamAddress, OnlyHttpAndHttpsWithAHostAndPlainNamesOfAThousandCharacters) {
  const std::pair<std::string, bool> addresses[] = {
      {"http://a", true},   {"HTTPS://radio.example:8000/live", true}, {"http://", false},
      {"http:///etc", false}, {"ftp://a/b", false}, {"file:///a.mp3", false}, {"/music/http://a", false},
      {"http://a/\nb", false}, {"http://a/" + std::string(9000, 'x'), false}};
  for (const auto& [text, isAddress] : addresses) EXPECT_EQ(isStreamAddress(text), isAddress) << text;
  EXPECT_EQ(plainShownName(" Song\r\n\x1B[31mred\x7F "), "Song  \x20[31mred");
  EXPECT_EQ(plainShownName(std::string(999, 'a') + "\xC3\xA9\xC3\xA9"), std::string(999, 'a') + "\xC3\xA9");  // é é
}

TEST(StreamTitle, AFailedStationIsToldOnceAndSkippedWhileAFileKeepsItsTitle) {
  kit::Scene s;
  s.engine.open("/music/a.mp3");
  s.core.face.lblsongname = "a.mp3  ";
  streamChanged(s.core);
  EXPECT_EQ(s.core.face.lblsongname, "a.mp3  ");
  streamFailed(s.core, {EngineFault::Track, "the server refused the connection", "http://radio.example/"});
  EXPECT_EQ(s.core.face.lblsongname, "Cannot play http://radio.example/: the server refused the connection  ");
  EXPECT_EQ(s.core.face.lbltmp, "error");  // the next tick skips it
  EXPECT_EQ(s.messages.notices.size(), 1u);
}

}  // namespace
}  // namespace sonavex
