// The playlist commands against real folder trees: adding files and folders, drops and command-line
// paths, removing, deleting from disk, sorting and random order.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <functional>
#include <random>
#include <thread>

#include "core/model/CommandLine.h"
#include "core/AddCommands.h"
#include "core/FindFiles.h"
#include "core/OrderCommands.h"
#include "core/RandomOrder.h"
#include "core/RemoveCommands.h"
#include "core/model/SelectionText.h"
#include "core/model/Sorting.h"
#include "core/FileDrop.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::multi;
using kit::Paths;
using kit::Scene;
using kit::TempTree;

Paths scan(Scene& s, const std::string& folder, ScanCounts* counts = nullptr) {
  ScanCounts own;
  ListSink sink(s.core.list);
  scanFolderTree(sink, folder, addFolderPatterns(), counts ? *counts : own);
  return s.paths();
}

// Which of the paths are still there, links as themselves (as names after the last "/").
std::string present(const Paths& paths) {
  std::string names;
  struct stat st {};
  for (const auto& p : paths) names += lstat(p.c_str(), &st) == 0 ? std::string(fileNameOf(p)) + " " : "";
  return names;
}

TEST(SelectionText, SplitsIntoFolderSlashNamePathsWhateverTheBytes) {
  const struct { std::string selection; Paths paths; } rows[] = {
      {"", {}}, {"/m/a.mp3", {"/m/a.mp3"}}, {multi({"/m", "b.mp3", "", "a.mp3", ""}), {"/m/b.mp3", "/m/a.mp3"}},
      {multi({"/", "a.mp3"}), {"//a.mp3"}}, {multi({"/m", ""}), {}}, {std::string("\0a", 2), {"/a"}},
      {multi({"/m\xff", "\x01\xfe"}), {"/m\xff/\x01\xfe"}}};
  for (const auto& row : rows) EXPECT_EQ(pathsOfSelection(row.selection), row.paths) << row.selection;
}

// A cancel adds nothing but rebuilds the shuffle order, and no dialog is no fault; files come in the
// chosen order however long the selection; a folder is asked for while busy and its whole tree
// appended by type.
TEST(AddCommands, FilesInTheChosenOrderAFolderTreeByTypeAndNothingOnACancel) {
  for (const auto run : {&cmdfile_Click, &cmddir_Click}) {
    Scene c(3, 0, /*shuffle=*/1);
    c.shuffleOrder({0}, 0);  // stale
    run(c.core);
    EXPECT_EQ(std::tuple(c.core.list.count(), c.shuffleCoversList(), c.core.List5.listIndex()),
              std::tuple(3, true, kNone));
    c.dialog.selection = "/m/a.mp3";
    c.folders.folder = "/";
    c.core.platform = Platform{};
    run(c.core);
    EXPECT_EQ(c.core.list.count(), 3);
  }
  Scene c(3);
  c.dialog.selection = multi({"/Music", "b.mp3", "", "a.mp3", "b.mp3"});
  cmdfile_Click(c.core);
  EXPECT_EQ(c.dialog.Flags, kExplorerStyle | kAllowMultiSelect);
  const Paths all = c.paths();
  EXPECT_EQ(Paths(all.begin() + 3, all.end()), (Paths{"/Music/b.mp3", "/Music/a.mp3", "/Music/b.mp3"}));
  EXPECT_EQ(c.names()[5], "6   b.mp3");
  Paths parts{"/very/long/folder"};  // longer than the selection's old limit: added whole
  for (int i = 0; i < 3000; ++i) parts.push_back("track number " + std::to_string(i) + ".mp3");
  c.dialog.selection = multi(parts);
  cmdfile_Click(c.core);
  EXPECT_EQ(c.core.list.displayName(3005), "3006   track number 2999.mp3");

  TempTree t;
  for (const char* f : {"x.mp3", "sub/w.cda", "sub/v.FLAC"}) t.file(f);
  Scene d(3);
  d.folders.folder = t.root;
  cmddir_Click(d.core);
  EXPECT_EQ(d.folders.asked, "Select a directory (busy)");
  EXPECT_EQ(d.busy.changes, (std::vector<bool>{true, false, true, false}));  // asking, then scanning
  const Paths tree = d.paths();
  EXPECT_EQ(Paths(tree.begin() + 3, tree.end()), (Paths{t.path("x.mp3"), t.path("sub/w.cda"), t.path("sub/v.FLAC")}));
  EXPECT_EQ(d.names()[5], "6   v.FLAC");
}

TEST(PatternMatch, IgnoresCaseAndNeedsTheWholeExtension) {
  const struct { const char *name, *pattern; bool matches; } rows[] = {
      {"song.mp3", "*.mp3", true},  {"SONG.Mp3", "*.mp3", true},  {"a.b.c.mp3", "*.mp3", true},
      {".mp3", "*.mp3", true},      {"x.mp3.mp3", "*.mp3", true}, {"song.mp3x", "*.mp3", false},
      {"song.mp", "*.mp3", false},  {"mp3", "*.mp3", false},      {"song_mp3", "*.mp3", false},
      {"a1.wav", "a?.wav", true},   {"a12.wav", "a?.wav", false}, {"anything", "*", true},
  };
  for (const auto& r : rows) EXPECT_EQ(matchesPattern(r.name, r.pattern), r.matches) << r.name << " ~ " << r.pattern;
}

TEST(FolderScan, PatternByPatternEachFolderInNameOrderItsFilesBeforeItsSubfolders) {
  // Case folded, digits as text: the order of the sort-by-name command; then the engine's formats.
  Paths want{"a.mp3", "B.mp3"};
  for (int n = 10; n < 30; ++n) want.push_back("n" + std::to_string(n) + ".mp3");
  want.insert(want.end(), {"track10.mp3", "track2.mp3", "_/in.mp3", "_/x/in.mp3", "sub0/x.mp3", "sub1/1.mp3",
                           "sub1/deep/2.mp3", "sub1/deep/deeper/3.mp3", "sub10/x.mp3", "Sub2/x.mp3", "Sub3/x.mp3",
                           "~/in.mp3", "b.wma", "C.wma", "sub1/x.wma", "z.wav", "i.mid", "e.cda", "f.flac",
                           "g.ogg", "o.opus", "m.m4a"});
  // Made out of name order, and enough of them that the listing order is not name order either.
  TempTree t;
  Paths made = want;
  std::shuffle(made.begin(), made.end(), std::mt19937(1));
  for (const auto& f : made) t.file(f);
  t.file("s.asf");  // the add-files dialog's only
  for (auto& f : want) f = t.path(f);
  for (const std::string& root : {t.root, t.root + "/"}) {  // no doubled "/"
    Scene s;
    ScanCounts counts;
    EXPECT_EQ(scan(s, root, &counts), want);
    EXPECT_EQ(s.core.list.displayName(1), "2   B.mp3");
    EXPECT_EQ(std::pair(counts.FileCount, counts.DirCount), std::pair(static_cast<Index>(want.size()), 10));
  }
  Scene drop;  // a drop looks for the same types but .cda
  filedragging(drop.core, {t.root});
  want.erase(std::find(want.begin(), want.end(), t.path("e.cda")));
  EXPECT_EQ(drop.paths(), want);
  // The one-pattern search adds "/" to the caller's path, counts on from the caller's numbers and
  // gives the bytes of what it added.
  std::string path = t.root;
  Index files = 1, dirs = 2;
  t.file("sub1/big.wav", 123);
  EXPECT_EQ(FindFiles(drop.core, path, "*.WAV", files, dirs), 123u);
  EXPECT_EQ(path + std::to_string(files) + "|" + std::to_string(dirs), t.root + "/3|12");
}

TEST(FolderScan, FollowsLinksToFoldersOncePerRealFolderTakesOtherLinksAsFilesAndNamesByteForByte) {
  TempTree t, outside;
  outside.file("o.mp3");
  t.file("music/a.mp3");
  t.link(t.root, "music/up");             // back to an ancestor
  t.link(t.path("music"), "music/self");  // to itself
  t.link(outside.root, "ext1");            // elsewhere, reached twice
  t.link(outside.root, "ext2");
  t.link(t.file("real.wav"), "alias.mp3");
  t.link(t.path("gone"), "broken.mp3");
  const Paths odd{"odd/with space.mp3", "odd/-leading dash.mp3", "odd/many.dots.in.it.mp3", "odd/new\nline.mp3",
                  "odd/bad \xff\xfe utf8.mp3", "odd/" + std::string(251, 'n') + ".mp3",
                  std::string(255, 'd') + "/deep.mp3"};
  for (const auto& n : odd) t.file(n);
  Scene s;
  const Paths p = scan(s, t.root);
  for (const auto& n : odd) EXPECT_EQ(std::count(p.begin(), p.end(), t.path(n)), 1) << n;
  for (const auto& n : {t.path("music/a.mp3"), t.path("alias.mp3")}) EXPECT_EQ(std::count(p.begin(), p.end(), n), 1);
  EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const std::string& e) { return fileNameOf(e) == "o.mp3"; }), 1);
  EXPECT_EQ(p.size(), 12u);  // and the broken link and the real .wav
  t.dir("empty");
  t.file("nomusic/readme.txt");
  for (const auto& f : {t.path("empty"), t.path("nomusic"), t.path("missing"), t.path("nomusic/readme.txt"), {}})
    EXPECT_EQ(scan(s, f).size(), 12u) << f;  // "" is not the root folder
  EXPECT_TRUE(s.messages.shown.empty());
}

TEST(Drop, ItemsInDropOrderFoldersGivingTheirAudioByTypeTheFileSystemDecidingWhatIsAFolder) {
  TempTree t;
  const std::string f1 = t.file("loose/second.mp3"), f2 = t.file("loose/first.wav"), noExt = t.file("README");
  t.file("album/b.wav");  // what a folder gives, and in which order, FolderScan pins
  t.file("Vol.001/inside.mp3");
  const std::string folderLink = t.link(t.path("album"), "link.abc");
  const std::string odd = t.file("-dash\nline \xc3\x28" + std::string(200, 'q') + ".mp3");
  Scene c(8);
  filedragging(c.core, {f1, t.path("album"), f2, noExt, t.path("Vol.001"), folderLink, odd, "https://r.example/live",
                        // missing: "x.abc" is a file, anything else a folder that scans to nothing
                        t.path("gone.mp3"), t.path("gone.flac"), t.path("gonefolder"), "q9/", "ab", "", "/x.", ".abc",
                        "/" + std::string(5000, 'l'), f1});  // a folder that cannot be opened is reported
  const Paths all = c.paths();
  EXPECT_EQ(Paths(all.begin() + 8, all.end()),
            (Paths{f1, t.path("album/b.wav"), f2, noExt, t.path("Vol.001/inside.mp3"), folderLink + "/b.wav", odd,
                   "https://r.example/live", t.path("gone.mp3"), ".abc", f1}));
  EXPECT_EQ(c.names()[8] + "|" + c.names()[10], "9   second.mp3|11   first.wav");
  EXPECT_EQ(c.messages.notices, Paths{"Error: " + std::to_string(ENAMETOOLONG) + " - " + std::strerror(ENAMETOOLONG) +
                                      "|Sonavex|Information"});
  EXPECT_TRUE(c.messages.shown.empty());
  Scene files;  // the busy pointer shows while a drop is taken in, once for the whole drop
  filedragging(files.core, {t.path("album"), f1, t.path("album")});
  EXPECT_EQ(files.busy.changes, (std::vector<bool>{true, false}));
  openAndPlay(files.core, "http://r.example/open");  // as MPRIS OpenUri does
  EXPECT_EQ(files.engine.lastOpened(), "http://r.example/open");

  // The shuffle order is rebuilt once, after the last item: six draws for six entries.
  Scene shuffled(2, 0, /*shuffle=*/1);
  shuffled.shuffleOrder({1}, 0);
  for (int n = 0; n < 6; ++n) shuffled.rng.next.push_back((n + 0.5) / 6.0);
  filedragging(shuffled.core, {f1, f2, t.path("album"), noExt});
  EXPECT_EQ(std::tuple(shuffled.rng.draws, shuffled.core.List5.entries(), shuffled.core.List5.listIndex()),
            std::tuple(6, std::vector<Index>{0, 1, 2, 3, 4, 5}, kNone));
}

// Runs `intake` on a thread without the capabilities that let root read any folder, so that a folder
// of mode 000 cannot be listed whoever runs the tests.
void withoutReadingEverything(const std::function<void()>& intake) {
  std::thread([&] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    if (syscall(SYS_capget, &header, caps) == 0) {
      caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
      syscall(SYS_capset, &header, caps);
    }
    intake();
  }).join();
}

TEST(IntakeErrors, AnIntakeTellsThemInOneNoticeAfterwardsTheDirCommandShowsEachAtOnce) {
  TempTree t;
  const std::string song = t.file("tree/a/song.mp3"), nul = t.write("nul.plt", std::string("/m/b\0ad.mp3", 11));
  for (const char* locked : {"tree/b", "tree/c", "tree/d"}) chmod(t.dir(locked).c_str(), 0);
  const std::string denied = "Error: " + std::to_string(EACCES) + " - " + std::strerror(EACCES);
  const struct { const char* intake; std::function<void(Scene&)> run; Paths shown, notices; } rows[] = {
      {"drop", [&](Scene& s) { filedragging(s.core, {t.path("tree")}); }, {},
       {denied + "\nand 2 more errors|Sonavex|Information"}},
      {"command line", [&](Scene& s) { openCommandLinePaths(s.core, {t.path("tree/b"), nul, t.path("tree/a")}); }, {},
       {denied + "\nand 1 more error|Sonavex|Information"}},
      {"dir command", [&](Scene& s) { s.folders.folder = t.path("tree"); cmddir_Click(s.core); },
       Paths(3, denied + "|Sonavex|Ok|Information"), {}},
      {"clean drop", [&](Scene& s) { filedragging(s.core, {t.path("tree/a")}); }, {}, {}},
  };
  for (const auto& r : rows) {
    Scene s;
    withoutReadingEverything([&] { r.run(s); });
    EXPECT_EQ(s.paths(), Paths{song}) << r.intake;
    EXPECT_EQ(s.messages.shown, r.shown) << r.intake;
    EXPECT_EQ(s.messages.notices, r.notices) << r.intake;
  }
}

TEST(CommandLine, PlaylistFilesLoadInTheirPlaceOtherPathsAsADropAndLocalFileUrisBecomeTheBytesOfTheName) {
  TempTree t;
  const std::string song = t.file("a.mp3"), other = t.file("b.wav");
  t.file("album/c.flac");
  const std::string list = t.write("mix.plt", "/m/one.mp3\r\n/m/two.wav\r\n");
  const std::string upper = t.write("OLD.PLT", "/m/three.ogg");  // no line break after the last line
  const std::string empty = t.write("empty.plt", "");
  const std::string named = t.dir("named.plt");  // a folder with the playlist's extension
  t.file("named.plt/d.mp3");
  const std::string linked = t.link(list, "again.plt");
  const std::string m3u = t.write("other.M3U", "#EXTM3U\nrelative.mp3\n");
  Scene s(1, 0, /*shuffle=*/1);
  s.shuffleOrder({0}, 0);
  openCommandLinePaths(s.core, {song, list, t.path("album"), upper, empty, named, other, t.path("gone.plt"),
                                linked, m3u, ""});
  EXPECT_EQ(s.paths(), (Paths{Scene::pathOf(0), song, "/m/one.mp3", "/m/two.wav", t.path("album/c.flac"),
                              "/m/three.ogg", t.path("named.plt/d.mp3"), other,
                              // a name that does not exist is an entry, as in a drop
                              t.path("gone.plt"), "/m/one.mp3", "/m/two.wav", t.path("relative.mp3")}));
  EXPECT_TRUE(s.messages.shown.empty());
  EXPECT_TRUE(s.shuffleCoversList());  // the shuffle order is rebuilt, over every entry
  EXPECT_TRUE(s.engine.opened.empty());

  // Dropped, a playlist file is one entry, as it always was.
  Scene dropped;
  filedragging(dropped.core, {list});
  EXPECT_EQ(dropped.paths(), Paths{list});

  // What cannot be loaded whole is told as the load button tells it.
  const std::string nul = t.write("nul.plt", std::string("/m/ok.mp3\r\n/m/b\0ad.mp3\r\n", 24));
  Scene told;
  openCommandLinePaths(told.core, {nul});
  EXPECT_EQ(told.paths(), Paths{"/m/ok.mp3"});
  EXPECT_EQ(told.messages.notices, Paths{"The playlist file " + nul +
                                         " was loaded, but 1 line was left out: a path that contains a NUL byte "
                                         "cannot name a file.|Sonavex|Information"});

  for (const auto& [name, is] : {std::pair{list, true}, {upper, true}, {linked, true}, {m3u, true},
                                  {t.file("x.pls"), true}, {t.file("x.xspf"), true}, {t.file("x.m3u8"), true},
                                  {t.file("x.m3u8.txt"), false}, {named, false},
                                  {t.path("gone.plt"), false}, {song, false}, {std::string(".plt"), false},
                                  {std::string(), false}})
    EXPECT_EQ(isPlaylistFileName(name), is) << name;

  // Plain and relative paths and local file URIs become the bytes of the name, in order.
  const struct { Paths args; std::string cwd; Paths paths; } rows[] = {
      {{"/m/b.mp3", "/m/a.mp3", "/m/dir", "/m/\xC3(.mp3"}, "/home/u",
       {"/m/b.mp3", "/m/a.mp3", "/m/dir", "/m/\xC3(.mp3"}},
      // Joined as they are, without resolving ".." or links; the root folder already ends in "/".
      {{"a.mp3", "../x/./b.mp3", "sub"}, "/home/u", {"/home/u/a.mp3", "/home/u/../x/./b.mp3", "/home/u/sub"}},
      {{"a.mp3"}, "/", {"/a.mp3"}},
      {{"a.mp3"}, "", {"a.mp3"}},  // the current folder is unknown
      {{"file:///m/a%20b.mp3", "file://localhost/m/c.mp3", "file:/m/d.mp3", "FILE:///m/e.mp3", "file://LocalHost/f"},
       "/home/u", {"/m/a b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3", "/f"}},
      {{"file:///m/%FF%FEx.mp3", "file:///m/%c3%A9", "file:///m/100%.mp3", "file:///m/%zz%4", "file:///m/%4"}, "/",
       {"/m/\xFF\xFEx.mp3", "/m/\xC3\xA9", "/m/100%.mp3", "/m/%zz%4", "/m/%4"}},
      {{"file:///m/a.mp3?x=1", "file:///m/b.mp3#t"}, "/", {"/m/a.mp3", "/m/b.mp3"}},
      // Naming nothing local: left out.
      {{"", "file://otherhost/m/a.mp3", "file:", "file://", "file:relative", "file:///m/important.txt%00song.mp3",
        "/m/kept.mp3"}, "/home/u", {"/m/kept.mp3"}},
      {{"HTTP://radio.example/a%20b?c", "http:/x"}, "/home/u", {"HTTP://radio.example/a%20b?c", "/home/u/http:/x"}},
  };
  for (const auto& r : rows) EXPECT_EQ(commandLinePaths(r.args, r.cwd), r.paths) << r.args[0];
  EXPECT_EQ(currentFolder(), std::filesystem::current_path().string());
  // A drop's URI list: CR LF or LF, comment and empty lines, no end of line after the last.
  EXPECT_EQ(pathsOfUriList("# from a file manager\r\nfile:///m/a%20b.mp3\r\n\r\nhttps://x/y.mp3\nrtsp://x/y\nfile:///m/c\r"),
            (Paths{"/m/a b.mp3", "https://x/y.mp3", "/m/c"}));
  EXPECT_EQ(pathsOfUriList("\r\n#\n"), Paths{});
}

TEST(RemoveCommands, KeepTheRestRenumberedWithTheirShownNamesOrTheSelectedNamedFromTheirPathsAndInvalidOnesGo) {
  Scene c;
  c.core.list.appendRaw("/p/one.mp3", "7   shown   name");
  c.add({"/p/two.mp3", "/p/three.mp3"});
  c.core.list.appendRaw("/p/four.mp3", "4   renamed");
  c.add({"/p/five.mp3"});
  c.core.list.setListIndex1(2);
  c.core.list.setListIndex2(1);
  c.select({1, 3});
  Scene crop;
  crop.core.list.assign(c.paths(), c.names());
  crop.select({3});
  cmdsel_Click(c.core);
  EXPECT_EQ(c.names(), (Paths{"1   shown   name", "2   three.mp3", "3   five.mp3"}));
  EXPECT_EQ(c.paths(), (Paths{"/p/one.mp3", "/p/three.mp3", "/p/five.mp3"}));
  EXPECT_EQ(c.core.list.selectionFlags(), std::vector<std::uint8_t>(3, 0));
  EXPECT_EQ(std::tuple(c.core.list.selectedCount(), c.core.list.listIndex1(), c.core.list.listIndex2()),
            std::tuple(0, kNone, kNone));
  c.core.list.appendRaw("/p/six.mp3", "9   six.mp3");
  cmdsel_Click(c.core);  // nothing selected still renumbers
  EXPECT_EQ(c.names()[3], "4   six.mp3");
  crop.core.list.appendEntry("http://r.example/live", "Radio");  // keeps its station name
  crop.select({5});
  mnucrop_Click(crop.core);
  EXPECT_EQ(std::pair(crop.paths(), crop.names()),
            std::pair(Paths{"/p/four.mp3", "http://r.example/live"}, Paths{"1   four.mp3", "2   Radio"}));

  // Invalid entries are missing files, folders and dangling links; their count is shown.
  TempTree t;
  const std::string a = t.file("a.mp3"), good = t.link(a, "good.mp3");
  Scene invalid;
  invalid.add({a, t.path("gone1.mp3"), t.path("gone2.mp3"), t.dir("folder.mp3"), "", good,
               t.link(t.path("nowhere"), "dangling.mp3"), a, "https://r.example/x"});  // an address is no missing file
  mnuinvalid_Click(invalid.core);
  mnuinvalid_Click(invalid.core);
  EXPECT_EQ(invalid.paths(), (Paths{a, "", good, a, "https://r.example/x"}));
  EXPECT_EQ(invalid.names(), (Paths{"1   a.mp3", "2   ", "3   good.mp3", "4   a.mp3", "5   https://r.example/x"}));
  EXPECT_EQ(invalid.messages.shown, (Paths{"4 invalid track(s) are removed from your playlist|Sonavex|Ok|None",
                                           "No invalid files|Sonavex|Ok|None"}));
}

void deleteSelected(Scene& c, const std::vector<Index>& rows) {
  c.core.list.listrefreshing();
  c.select(rows);
  c.messages.answer = MsgAnswer::Yes;
  mnudelfromdisk_Click(c.core);
}

TEST(DiskDeletion, AsksFirstAndDeletesExactlyTheSelectedFilesOnceAndLinksNotTheirTargets) {
  TempTree t;
  const Paths files{t.file("a.mp3"), t.file("b.mp3"), t.file("readonly.mp3"), t.file("d.mp3"), t.file("a.mp3.bak"),
                    t.file("keep/target.mp3"), t.link(t.path("keep/target.mp3"), "link.mp3"),
                    t.link(t.path("keep"), "keeplink")};
  chmod(files[2].c_str(), 0444);
  Scene c;
  c.add({files[0], files[1], files[2], files[3], files[0], files[6], files[7]});
  c.core.chkshuffle = 1;
  c.select({0});
  c.messages.answer = MsgAnswer::No;
  mnudelfromdisk_Click(c.core);
  mnudelfromharddisk_Click(c.core);
  c.core.platform.messages = nullptr;  // nobody to ask
  mnudelfromdisk_Click(c.core);
  mnudelfromharddisk_Click(c.core);
  c.core.platform.messages = &c.messages;
  EXPECT_EQ(c.messages.shown, Paths(2, "Are you sure to delete selected file(s) from harddisk|Sonavax|YesNo|None"));
  EXPECT_EQ(c.core.list.count(), 7);
  EXPECT_EQ(present(files), "a.mp3 b.mp3 readonly.mp3 d.mp3 a.mp3.bak target.mp3 link.mp3 keeplink ");
  deleteSelected(c, {0, 2, 4, 5, 6});  // read-only files too; the same file twice is deleted once
  EXPECT_EQ(present(files), "b.mp3 d.mp3 a.mp3.bak target.mp3 ");
  EXPECT_EQ(c.names(), (Paths{"1   b.mp3", "2   d.mp3"}));
  EXPECT_TRUE(c.shuffleCoversList());
  // An address among them is no file: nothing is deleted, and the user is told why.
  c.add({"http://r.example/live"});
  deleteSelected(c, {0, 2});
  mnudelfromharddisk_Click(c.core);
  EXPECT_EQ(present(files), "b.mp3 d.mp3 a.mp3.bak target.mp3 ");
  EXPECT_EQ(c.core.list.count(), 3);
  EXPECT_EQ(c.messages.shown.back(), "http://r.example/live is an address on the internet, not a file on this "
                                     "computer: nothing was deleted. Remove addresses from the playlist only.|Sonavex|Ok|Information");
}

TEST(DiskDeletion, RefusesDirectoriesPathsThroughAFileRelativePathsAndNulsAndStopsAtTheFirstFailure) {
  TempTree t;
  const Paths files{t.file("album.mp3/inside.mp3"), t.file("plain.mp3"), t.file("a.mp3"), t.file("b.mp3"),
                    t.file("ro.mp3")};
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(t.root.c_str()), 0);
  Scene c;
  c.add({t.path("album.mp3"), files[1] + "/child.mp3", "", "a.mp3"});
  // A NUL would cut the path short at plain.mp3; no intake lets it in, deletion refuses it anyway.
  c.core.list.appendRaw(files[1] + std::string("\0song.mp3", 9), "5   song.mp3");
  for (Index row = 0; row < 5; ++row) {
    deleteSelected(c, {row});
    EXPECT_EQ(c.core.list.count(), 5) << c.core.list.path(row);
  }
  mnudelfromharddisk_Click(c.core);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  EXPECT_EQ(c.core.list.count(), 5);
  EXPECT_EQ(present(files), "inside.mp3 plain.mp3 a.mp3 b.mp3 ro.mp3 ");

  Scene first;  // what was deleted before the failure stays deleted; the playlist is unchanged
  first.add({files[2], t.path("missing.mp3"), files[3]});
  deleteSelected(first, {0, 1, 2});
  EXPECT_EQ(std::pair(present(files), first.core.list.selectedCount()),
            std::pair(std::string("inside.mp3 plain.mp3 b.mp3 ro.mp3 "), 3));
  chmod(files[4].c_str(), 0444);
  Scene all;  // all files: a read-only file stops it
  all.add({files[1], files[4], files[3]});
  all.messages.answer = MsgAnswer::Yes;
  mnudelfromharddisk_Click(all.core);
  EXPECT_EQ(std::pair(present(files), all.core.list.count()), std::pair(std::string("inside.mp3 b.mp3 ro.mp3 "), 3));
  chmod(files[4].c_str(), 0644);
  all.core.list.assign({files[4], files[3]}, {"1   ro.mp3", "2   b.mp3"});
  mnudelfromharddisk_Click(all.core);
  EXPECT_EQ(std::pair(present(files), all.core.list.count()), std::pair(std::string("inside.mp3 "), 0));
}

// Sorting compares the file names case-blind as text and keeps equal names in their order.
TEST(SortByName, OrdersByTheShownFileNameCaseBlindAndStableKeepingEachPathWithItsName) {
  const struct { const char* rule; Paths before, after; } rows[] = {
      {"case and folder ignored", {"/y/b.mp3", "/z/A.mp3", "/a/C.mp3"}, {"/z/A.mp3", "/y/b.mp3", "/a/C.mp3"}},
      {"not numeric", {"/9 a.mp3", "/10 b.mp3", "/2.mp3"}, {"/10 b.mp3", "/2.mp3", "/9 a.mp3"}},
      {"stable", {"/1/Song.mp3", "/2/a.mp3", "/3/SONG.mp3", "/4/song.mp3", "/5/Song.mp3"},
       {"/2/a.mp3", "/1/Song.mp3", "/3/SONG.mp3", "/4/song.mp3", "/5/Song.mp3"}},
      // In the "C" locale the order is the bytes of the lower-cased names.
      {"odd bytes",
       {"/\xff\xfe.mp3", "/-dash.mp3", "/new\nline.mp3", "/" + std::string(255, 'z'), "/a.b.c.mp3", "/with space.mp3"},
       {"/-dash.mp3", "/a.b.c.mp3", "/new\nline.mp3", "/with space.mp3", "/" + std::string(255, 'z'), "/\xff\xfe.mp3"}},
      {"an address by its whole text", {"/y/zz.mp3", "http://b.example/zzz", "/a/c.mp3"},
       {"/a/c.mp3", "http://b.example/zzz", "/y/zz.mp3"}},
      {"one entry", {"/only.mp3"}, {"/only.mp3"}},
      {"no entry", {}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    Scene c;
    c.add(row.before);
    c.focus(0);
    cmdname_Click(c.core);
    EXPECT_EQ(c.paths(), row.after);
    for (std::size_t i = 0; i < row.after.size(); ++i)
      EXPECT_EQ(c.names()[i], std::to_string(i + 1) + "   " + std::string(shownNameOf(row.after[i])));
    EXPECT_EQ(std::pair(c.core.list.selectedCount(), c.core.list.listIndex2()), std::pair(0, kNone));
  }
  Scene c;  // the displayed name counts, and the shuffle order and current track stay
  c.core.list.appendRaw("/p/zzz.mp3", "7   aaa shown");
  c.add({"/p/mmm.mp3", "/p/bbb.mp3"});
  c.shuffleOrder({2, 0, 1}, 1);
  c.core.currenttrack = 2;
  cmdname_Click(c.core);
  EXPECT_EQ(c.paths(), (Paths{"/p/zzz.mp3", "/p/bbb.mp3", "/p/mmm.mp3"}));
  EXPECT_EQ(c.names()[0], "1   aaa shown");
  EXPECT_EQ(std::pair(c.core.List5.entries(), c.core.currenttrack), std::pair(std::vector<Index>{2, 0, 1}, 2));

  // The keys fold the case of letters beyond ASCII in a UTF-8 locale and keep the whole text.
  for (const std::string& text : {std::string(), std::string(5000, 'k') + "\xff"}) EXPECT_EQ(collationKey(text), text);
  const std::string old = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "C.UTF-8 locale not installed";
  EXPECT_EQ(foldCase("\xc3\x89T\xc3\x89.mp3"), "\xc3\xa9t\xc3\xa9.mp3");  // ÉTÉ -> été
  EXPECT_EQ(foldCase("A\xff\xc3"), "a\xff\xc3");                         // broken bytes stay
  const std::vector<std::string_view> names{"\xc3\xa9t\xc3\xa9", "Zed", "\xc3\x89T\xc3\x89", "alpha", "\xff"};
  EXPECT_EQ(sortedOrder(names), (std::vector<Index>{3, 1, 0, 2, 4}));
  std::setlocale(LC_ALL, old.c_str());
}

TEST(RandomOrder, MovesEachOfTheFirst555EntriesToADrawnPlaceKeepingPathsWithNamesWhileBusy) {
  kit::TestRandom rng;
  rng.next.assign(600, 0.0);  // always the first place: the first 555 reversed, the rest unmoved
  const auto order = randomOrderMoves(rng, 600);
  EXPECT_EQ(rng.draws, 555);
  for (Index i = 0; i < 600; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i < 555 ? 554 - i : i);
  Scene c(4);
  c.core.List5.append(3);
  c.rng.next = {0.6, 0.1, 0.9, 0.3};  // 2, 0, 3, 1: [0 1 2 3] -> [1 2 0 3] -> [2 1 0 3] -> [2 1 3 0] -> [2 0 1 3]
  cmdrnd_Click(c.core);
  EXPECT_EQ(c.names(), (Paths{"1   t2.mp3", "2   t0.mp3", "3   t1.mp3", "4   t3.mp3"}));
  EXPECT_EQ(c.core.list.displayName(0) + "|" + c.paths()[0], "1   t2.mp3|" + Scene::pathOf(2));
  EXPECT_EQ(std::pair(c.busy.changes, c.core.List5.entries()),
            std::pair(std::vector<bool>{true, false}, std::vector<Index>{3}));
}

}  // namespace
}  // namespace sonavex
