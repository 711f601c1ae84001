// The playlists of other programs (M3U, PLS, XSPF) as real files: loaded in their entries' order,
// relative entries joined to the file's folder, text decoded as each format has it, what names no
// local file left out and told once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/PlaylistFile.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Paths;
using namespace std::string_literals;

struct PlaylistFormats : ::testing::Test {
  kit::TempTree tmp;
  // "~" at the start of an expected path stands for the temporary folder.
  Paths inFolder(Paths paths) const {
    for (std::string& p : paths)
      if (p.starts_with('~')) p.replace(0, 1, tmp.root);
    return paths;
  }
};

TEST_F(PlaylistFormats, EachFormatGivesItsEntriesInOrderAsTheBytesOfTheirNames) {
  const struct { const char* name; std::string bytes; Paths paths; } rows[] = {
      {"mix.m3u",
       "#EXTM3U\r\n#EXTINF:123,Artist - Title\r\n/abs/a.mp3\r\nrel/b.mp3\r\n\r\n  \r\n# a comment\r\n"
       "file:///m/c%20d.mp3\r\n../up.ogg",
       {"/abs/a.mp3", "~/rel/b.mp3", "/m/c d.mp3", "~/../up.ogg"}},
      {"latin1.M3U", "/m/caf\xE9.mp3\n", {"/m/caf\xC3\xA9.mp3"}},
      // Valid UTF-8 in a .m3u is taken as UTF-8, not converted a second time.
      {"utf8.m3u", "/m/caf\xC3\xA9.mp3\n", {"/m/caf\xC3\xA9.mp3"}},
      {"bom.m3u8", "\xEF\xBB\xBF#EXTM3U\n/m/\xC3\xA9.mp3\n/m/raw\xFF.mp3\n", {"/m/\xC3\xA9.mp3", "/m/raw\xFF.mp3"}},
      {"list.pls",
       "[playlist]\r\nNumberOfEntries=3\r\nFile2=b\xE9.mp3\r\nTitle2=B\r\nFile10=/m/j.mp3\r\n"
       " file1 = file:///m/a.mp3 \r\nFile2=/m/again.mp3\r\nLength1=-1\r\n[other]\r\nFile3=/m/x.mp3\r\n",
       {"/m/a.mp3", "~/b\xC3\xA9.mp3", "/m/j.mp3"}},
      {"list.xspf",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">"
       "<trackList>\n<!-- <track><location>/not/this.mp3</location></track> -->\n"
       "<track><title>R&amp;B</title><location>file:///m/R%26B%20&amp;%20more.mp3</location></track>\n"
       "<track><location>\n  sub/a&lt;&#233;&#xE9;&quot;&apos;&gt;&bogus;.mp3\n</location></track>\n"
       "<track><location/><location>song%20two.ogg</location><location>/m/second.mp3</location></track>\n"
       "<track><title>no location</title></track></trackList></playlist>",
       {"/m/R&B & more.mp3", "~/sub/a<\xC3\xA9\xC3\xA9\"'>&bogus;.mp3", "~/song two.ogg"}},
  };
  for (const auto& r : rows) {
    kit::Scene s;
    loadPlaylistFile(s.core, tmp.write(r.name, r.bytes));
    EXPECT_EQ(s.paths(), inFolder(r.paths)) << r.name;
    EXPECT_TRUE(s.messages.shown.empty()) << r.name;
  }
}

TEST_F(PlaylistFormats, WhatNamesNoLocalFileIsLeftOutAndToldOnceAndNothingBlocks) {
  const std::string why = " left out: a path that contains a NUL byte cannot name a file";
  const std::string address = "only files on this computer and http or https addresses can be played, not an address such as ";
  const struct { const char* name; std::string bytes; std::string told; } rows[] = {
      {"radio.m3u",
       "rtsp://radio.example/stream\n/m/ok.mp3\nfile://otherhost/m/x.mp3\nfile:///m/a%00b.mp3\n/m/b\0ad.mp3\n"s,
       "4 lines were" + why + "; " + address + "rtsp://radio.example/stream."},
      {"radio.pls", "[playlist]\nFile1=FTP://x.example/" + std::string(200, 'a') + "\nFile2=/m/ok.mp3\n",
       "1 line was left out: " + address + "FTP://x.example/" + std::string(104, 'a') + "..."},
      {"nul.xspf",
       "<track><location>file:///m/a%00.mp3</location></track><track><location>/m/ok.mp3</location></track>",
       "1 line was" + why + "."},
  };
  for (const auto& r : rows) {
    kit::Scene s;
    const std::string file = tmp.write(r.name, r.bytes);
    loadPlaylistFile(s.core, file);
    EXPECT_EQ(s.paths(), Paths{"/m/ok.mp3"}) << r.name;
    EXPECT_EQ(s.messages.shown,
              Paths{"The playlist file " + file + " was loaded, but " + r.told + "|Sonavex|Ok|Information"});
  }
  // A named pipe is not read: the load returns at once, with nothing added.
  kit::Scene s;
  ASSERT_EQ(::mkfifo(tmp.path("pipe.m3u").c_str(), 0600), 0);
  s.dialog.selection = tmp.path("pipe.m3u");
  cmdload_Click(s.core);
  EXPECT_EQ(s.core.list.count(), 0);
}

// Addresses are entries as written, named by their list (files keep their file names); a list
// fetched from an address names only addresses, resolved against it.
TEST_F(PlaylistFormats, AddressesJoinNamedByTheirListAndAListFromAnAddressNamesNoLocalFile) {
  const struct { const char* name; std::string where, bytes; Paths paths, names; std::size_t leftOut; } rows[] = {
      {"names.m3u", "", "#EXTM3U\n#EXTINF:-1,Radio One\nhttp://r1.example/live\n#EXTINF:12,Song\n/m/a.mp3\n"
       "https://r2.example/x?y=1\nrtsp://r3.example/x\n", {"http://r1.example/live", "/m/a.mp3", "https://r2.example/x?y=1"},
       {"Radio One", "", ""}, 1},
      {"long.m3u", "", "#EXTINF:-1," + std::string(5000, 'x') + "\nhttp://r.example/\n", {"http://r.example/"},
       {std::string(1000, 'x')}, 0},
      {"titles.pls", "", "[playlist]\nFile1=http://s.example:8000/\nTitle1=Station\tOne\nFile2=/m/b.mp3\nTitle2=B\n",
       {"http://s.example:8000/", "/m/b.mp3"}, {"Station One", ""}, 0},
      {"base.xspf", "", "<playlist xml:base=\"file:///music/\"><trackList><track><location>a%20b.mp3</location></track>"
       "<track xml:base='http://radio.example/'><title>R &amp; B</title><location>live</location></track>"
       "<track><location>/abs.mp3</location><title>Not shown</title></track></trackList></playlist>",
       {"/music/a b.mp3", "http://radio.example/live", "/abs.mp3"}, {"", "R & B", ""}, 0},
      {"remote.pls", "https://host.example/lists/radio.pls?x=1",
       "[playlist]\nFile1=/etc/passwd\nFile2=file:///etc/passwd\nFile3=stream.mp3\nTitle3=Rel\nFile4=//cdn.example/s\n",
       {"https://host.example/lists/stream.mp3", "https://cdn.example/s"}, {"Rel", ""}, 2},
      {"remote.xspf", "http://h.example/l.xspf",
       "<playlist xml:base=\"file:///\"><trackList><track><location>etc/passwd</location></track></trackList></playlist>",
       {}, {}, 1},
  };
  for (const auto& r : rows) {
    const ForeignEntries entries =
        parseForeignPlaylist(*playlistFormatOf(r.name), r.bytes, r.where.empty() ? tmp.root : r.where);
    EXPECT_EQ(entries.paths, r.paths) << r.name;
    EXPECT_EQ(entries.names, r.names) << r.name;
    EXPECT_EQ(entries.leftOut.count(), r.leftOut) << r.name;
  }
}

}  // namespace
}  // namespace sonavex
