#include "mediainfo/core/Id3v1.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sonavex {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 128-byte tag block of blanks with the marker and the given field bytes at their offsets.
Bytes tagBlock(const std::string& marker = "TAG") {
  Bytes tag(kId3v1Size, ' ');
  for (std::size_t k = 0; k < 3 && k < marker.size(); ++k) tag[k] = static_cast<std::uint8_t>(marker[k]);
  tag[127] = 17;  // genre number, never read
  return tag;
}

void put(Bytes& tag, std::size_t offset, const std::string& bytes) {
  for (std::size_t k = 0; k < bytes.size(); ++k) tag.at(offset + k) = static_cast<std::uint8_t>(bytes[k]);
}

TEST(Id3v1Marker, AnyLetterCaseOfTagInABlockOfExactly128Bytes) {
  for (const char* marker : {"TAG", "tag", "tAg", "TaG"}) EXPECT_TRUE(readId3v1(tagBlock(marker)).present) << marker;
  for (const char* marker : {"TAB", "XAG", "TA ", "ID3"}) EXPECT_FALSE(readId3v1(tagBlock(marker)).present) << marker;
  Bytes longer = tagBlock(), shorter = tagBlock();
  longer.push_back(' ');
  shorter.pop_back();
  EXPECT_FALSE(readId3v1(longer).present);
  EXPECT_FALSE(readId3v1(shorter).present);
  EXPECT_FALSE(readId3v1({}).present);
}

TEST(Id3v1Fields, EachFieldComesFromItsOwnOffsetAndWidth) {
  Bytes tag = tagBlock();
  put(tag, 3, std::string(30, 'T'));
  put(tag, 33, std::string(30, 'R'));
  put(tag, 63, std::string(30, 'L'));
  put(tag, 93, "1999");
  put(tag, 97, std::string(30, 'C'));
  const Id3v1Tag read = readId3v1(tag);
  EXPECT_EQ(read.Title, std::string(30, 'T'));
  EXPECT_EQ(read.Artist, std::string(30, 'R'));
  EXPECT_EQ(read.Album, std::string(30, 'L'));
  EXPECT_EQ(read.Year, "1999");
  EXPECT_EQ(read.Comment, std::string(30, 'C'));  // the genre byte is not part of it
}

TEST(Id3v1Fields, OnlyBlanksAreTrimmedAndNulsStayUntilShown) {
  Bytes tag = tagBlock();
  put(tag, 3, "  two  words");
  put(tag, 33, "Band  " + std::string(24, '\0'));  // blanks before NULs stay
  put(tag, 63, "\tCaf\xE9 \xFF\t");                // tabs and bytes above 127 stay
  const Id3v1Tag read = readId3v1(tag);
  EXPECT_EQ(read.Title, "two  words");
  EXPECT_EQ(read.Artist.size(), 30u);
  EXPECT_EQ(shownText(read.Artist), "Band  ");
  EXPECT_EQ(read.Album, "\tCaf\xE9 \xFF\t");
  EXPECT_EQ(read.Year, "");  // all blanks
  EXPECT_TRUE(readId3v1(tagBlock()).present);
}

TEST(Id3v1ShownText, StopsAtFirstNul) {
  EXPECT_EQ(shownText(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(shownText(std::string("\0x", 2)), "");
  EXPECT_EQ(shownText("plain"), "plain");
}

}  // namespace
}  // namespace sonavex
