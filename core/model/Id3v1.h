#pragma once
// The ID3v1 tag in a file's last 128 bytes. Only the five text fields are read; the genre byte is
// not. The reader takes bytes so tests can build tags by hand; FileProbe.h does the file I/O.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sonavex {

inline constexpr std::size_t kId3v1Size = 128;

// Field texts with blanks (code 32 only) trimmed at both ends. NUL bytes stay part of the text;
// use shownText() for what a text box shows.
struct Id3v1Tag {
  bool present = false;
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Comment;
};

// Reads a tag from exactly kId3v1Size bytes; any other length, or a first three bytes that are
// not "tag" in any letter case, gives a tag that is not present.
Id3v1Tag readId3v1(std::span<const std::uint8_t> last128);

// Blanks removed at both ends; nothing else is removed.
std::string trimBlanks(std::string_view text);

// The part of a text before its first NUL byte, as a text box shows it.
std::string_view shownText(std::string_view text);

}  // namespace sonavex
