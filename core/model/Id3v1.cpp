#include "core/model/Id3v1.h"

namespace sonavex {
namespace {

std::uint8_t lower(std::uint8_t c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<std::uint8_t>(c - 'A' + 'a') : c;
}

std::string field(std::span<const std::uint8_t> tag, std::size_t offset, std::size_t width) {
  const auto bytes = tag.subspan(offset, width);
  return trimBlanks(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

std::string trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string_view shownText(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

Id3v1Tag readId3v1(std::span<const std::uint8_t> last128) {
  Id3v1Tag tag;
  if (last128.size() != kId3v1Size) return tag;
  if (lower(last128[0]) != 't' || lower(last128[1]) != 'a' || lower(last128[2]) != 'g') return tag;
  tag.present = true;
  tag.Title = field(last128, 3, 30);
  tag.Artist = field(last128, 33, 30);
  tag.Album = field(last128, 63, 30);
  tag.Year = field(last128, 93, 4);
  tag.Comment = field(last128, 97, 30);
  return tag;
}

}  // namespace sonavex
