// Paths from the command line: plain paths, relative paths and file: URIs as file managers pass
// them.
#include "app/core/CommandLine.h"

#include <gtest/gtest.h>

namespace sonavex {
namespace {

using Paths = std::vector<std::string>;

TEST(CommandLinePaths, AbsolutePathsPassUnchangedInOrder) {
  EXPECT_EQ(commandLinePaths({"/m/b.mp3", "/m/a.mp3", "/m/dir"}, "/home/u"),
            (Paths{"/m/b.mp3", "/m/a.mp3", "/m/dir"}));
}

TEST(CommandLinePaths, RelativePathsJoinTheCurrentFolderWithoutNormalising) {
  EXPECT_EQ(commandLinePaths({"a.mp3", "../x/./b.mp3", "sub"}, "/home/u"),
            (Paths{"/home/u/a.mp3", "/home/u/../x/./b.mp3", "/home/u/sub"}));
  // The root folder already ends in the separator.
  EXPECT_EQ(commandLinePaths({"a.mp3"}, "/"), (Paths{"/a.mp3"}));
}

TEST(CommandLinePaths, RelativePathsStayAsGivenWhenTheFolderIsUnknown) {
  EXPECT_EQ(commandLinePaths({"a.mp3"}, ""), (Paths{"a.mp3"}));
}

TEST(CommandLinePaths, FileUrisBecomeDecodedBytes) {
  EXPECT_EQ(commandLinePaths({"file:///m/a%20b.mp3", "file://localhost/m/c.mp3", "file:/m/d.mp3",
                              "FILE:///m/e.mp3"},
                             "/home/u"),
            (Paths{"/m/a b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"}));
}

TEST(CommandLinePaths, InvalidUtf8InAUriSurvivesByteForByte) {
  EXPECT_EQ(commandLinePaths({"file:///m/%FF%FEx.mp3"}, "/"), (Paths{"/m/\xFF\xFEx.mp3"}));
  // Raw bytes given as a plain path pass as they are.
  EXPECT_EQ(commandLinePaths({"/m/\xC3(.mp3"}, "/"), (Paths{"/m/\xC3(.mp3"}));
}

TEST(CommandLinePaths, MalformedEscapesStayLiteral) {
  EXPECT_EQ(commandLinePaths({"file:///m/100%.mp3", "file:///m/%zz%4"}, "/"),
            (Paths{"/m/100%.mp3", "/m/%zz%4"}));
}

TEST(CommandLinePaths, QueryAndFragmentAreNotPartOfThePath) {
  EXPECT_EQ(commandLinePaths({"file:///m/a.mp3?x=1", "file:///m/b.mp3#t"}, "/"),
            (Paths{"/m/a.mp3", "/m/b.mp3"}));
}

TEST(CommandLinePaths, ArgumentsNamingNothingLocalAreLeftOut) {
  EXPECT_EQ(commandLinePaths({"", "file://otherhost/m/a.mp3", "file:", "file://", "file:relative",
                              "file:///m/important.txt%00song.mp3",
                              "/m/kept.mp3"},
                             "/home/u"),
            (Paths{"/m/kept.mp3"}));
}

TEST(CommandLinePaths, CurrentFolderIsAbsolute) {
  const std::string folder = currentFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
}

}  // namespace
}  // namespace sonavex
