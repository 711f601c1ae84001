#include "core/model/PlaylistFormats.h"

#include <map>
#include <utility>

#include "core/model/CommandLine.h"
#include "core/model/TextLines.h"
#include "core/model/Utf8.h"

namespace sonavex {

namespace {

char lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `suffix` is written in lower case.
bool endsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const std::string_view end = text.substr(text.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i)
    if (lowered(end[i]) != suffix[i]) return false;
  return true;
}

bool equalsNoCase(std::string_view text, std::string_view lower) {
  return text.size() == lower.size() && endsWithNoCase(text, lower);
}

std::string_view trimmed(std::string_view text, const char* blanks = " \t") {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool isCharacter(unsigned long c) { return c > 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// Well-formed UTF-8 throughout: no stray continuation byte, overlong form or surrogate.
bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t more = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 0;
    if (more == 0 || i + more >= text.size()) return false;
    unsigned long c = lead & (0x3F >> more);
    for (std::size_t k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    constexpr unsigned long kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[more] || !isCharacter(c)) return false;
    i += more + 1;
  }
  return true;
}

std::string latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) appendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

// "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#233;" and "&#xE9;" become what they stand for; an
// unknown or malformed reference stays as it is written.
std::string xmlText(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A reference is short: the ';' is looked for nearby only, so the text is read once.
    const std::size_t near = text[i] == '&' ? text.substr(i, 11).find(';') : std::string_view::npos;
    const std::size_t semicolon = near == std::string_view::npos ? near : i + near;
    if (semicolon == std::string_view::npos) {
      out.push_back(text[i]);
      continue;
    }
    const std::string_view name = text.substr(i + 1, semicolon - i - 1);
    bool known = false;
    for (const auto& [entity, c] : kEntities) {
      if (name == entity) {
        out.push_back(c);
        known = true;
      }
    }
    if (!known && name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      const std::string_view digits = name.substr(hex ? 2 : 1);
      unsigned long c = 0;
      known = !digits.empty();
      for (const char d : digits) {
        const int value = d >= '0' && d <= '9'                 ? d - '0'
                          : hex && lowered(d) >= 'a' && lowered(d) <= 'f' ? lowered(d) - 'a' + 10
                                                                        : -1;
        known = known && value >= 0 && c <= 0x10FFFF;
        c = c * (hex ? 16 : 10) + static_cast<unsigned long>(value);
      }
      known = known && isCharacter(c);
      if (known) appendUtf8(out, static_cast<char32_t>(c));
    }
    if (known) {
      i = semicolon;
    } else {
      out.push_back('&');
    }
  }
  return out;
}

// "http://", "rtsp://" and the like: a scheme of two or more characters, then "://".
bool isAddress(std::string_view ref) {
  const std::size_t colon = ref.find("://");
  if (colon == std::string_view::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = lowered(ref[i]);
    const bool letter = c >= 'a' && c <= 'z';
    if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) return false;
  }
  return true;
}

// Turns the references of one playlist into entries.
class Entries {
 public:
  // `uris`: the references are URIs (XSPF), so a relative one is percent-decoded too.
  Entries(std::string_view folder, bool uris) : folder_(folder), uris_(uris) {}

  void add(std::string_view ref) {
    if (ref.size() > kMaxEntryBytes) {
      ++result_.leftOut.tooLong;
      return;
    }
    std::string path;
    if (startsWithFileScheme(ref)) {
      path = pathOfFileUri(std::string(ref));
      if (path.empty() && percentDecoded(ref).find('\0') == std::string::npos) return leaveOutAddress(ref);
    } else if (isAddress(ref)) {
      return leaveOutAddress(ref);
    } else {
      path = uris_ ? percentDecoded(ref) : std::string(ref);
      if (path.front() != '/') path = joined(path);
    }
    if (path.empty() || path.find('\0') != std::string::npos) {
      ++result_.leftOut.withNul;
      return;
    }
    result_.paths.push_back(std::move(path));
  }

  ForeignEntries take() { return std::move(result_); }

 private:
  void leaveOutAddress(std::string_view ref) {
    if (result_.leftOut.addresses++ == 0) result_.leftOut.firstAddress = ref;
  }
  std::string joined(const std::string& relative) const {
    if (folder_.empty()) return relative;
    return std::string(folder_) + (folder_.back() == '/' ? "" : "/") + relative;
  }

  std::string_view folder_;
  bool uris_;
  ForeignEntries result_;
};

void readM3u(std::string_view text, Entries& entries) {
  forEachLine(text, [&entries](std::string_view line) {
    if (!trimmed(line).empty() && line.front() != '#') entries.add(line);
  });
}

void readPls(std::string_view text, Entries& entries) {
  std::map<unsigned long, std::string_view> files;  // by N
  bool inPlaylist = false;
  forEachLine(text, [&](std::string_view line) {
    line = trimmed(line);
    if (line.starts_with('[')) inPlaylist = equalsNoCase(line, "[playlist]");
    const std::size_t equals = line.find('=');
    if (!inPlaylist || equals == std::string_view::npos) return;
    const std::string_view key = trimmed(line.substr(0, equals)), value = trimmed(line.substr(equals + 1));
    // "File" and up to nine digits; the first FileN of a number counts.
    if (key.size() < 5 || key.size() > 13 || !equalsNoCase(key.substr(0, 4), "file") || value.empty()) return;
    unsigned long n = 0;
    for (const char d : key.substr(4)) {
      if (d < '0' || d > '9') return;
      n = n * 10 + static_cast<unsigned long>(d - '0');
    }
    files.emplace(n, value);
  });
  for (const auto& [n, value] : files) entries.add(value);
}

void readXspf(std::string_view xml, Entries& entries) {
  bool inTrack = false, located = false;
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at)) {
    if (xml.substr(at, 4) == "<!--") {
      const std::size_t end = xml.find("-->", at);
      if (end == std::string_view::npos) return;
      at = end + 3;
      continue;
    }
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) return;
    std::string_view name = xml.substr(at + 1, end - at - 1);
    const bool closing = name.starts_with('/'), empty = name.ends_with('/');
    if (closing) name.remove_prefix(1);
    name = name.substr(0, name.find_first_of(" \t\r\n/"));
    name.remove_prefix(name.find(':') + 1);  // a namespace prefix, if any
    at = end + 1;
    if (name == "track") {
      inTrack = !closing && !empty;
      located = false;
    } else if (name == "location" && inTrack && !located && !closing && !empty) {
      located = true;
      // Its text runs to the next tag (an unclosed one does not take the rest of the file).
      const std::string_view text = trimmed(xml.substr(at, xml.find('<', at) - at), " \t\r\n");
      if (text.size() > kMaxEntryBytes) {
        entries.add(text);  // left out as too long, undecoded
      } else if (!text.empty()) {
        entries.add(xmlText(text));
      }
    }
  }
}

}  // namespace

std::optional<PlaylistFormat> playlistFormatOf(std::string_view name) {
  static constexpr std::pair<std::string_view, PlaylistFormat> kExtensions[] = {
      {".plt", PlaylistFormat::Plt}, {".m3u", PlaylistFormat::M3u}, {".m3u8", PlaylistFormat::M3u8},
      {".pls", PlaylistFormat::Pls}, {".xspf", PlaylistFormat::Xspf}};
  for (const auto& [extension, format] : kExtensions)
    if (endsWithNoCase(name, extension)) return format;
  return std::nullopt;
}

ForeignEntries parseForeignPlaylist(PlaylistFormat format, std::string_view bytes,
                                    std::string_view folder) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // a UTF-8 byte order mark
  std::string converted;
  if ((format == PlaylistFormat::M3u || format == PlaylistFormat::Pls) && !isUtf8(bytes)) {
    converted = latin1ToUtf8(bytes);
    bytes = converted;
  }
  Entries entries(folder, format == PlaylistFormat::Xspf);
  switch (format) {
    case PlaylistFormat::M3u:
    case PlaylistFormat::M3u8: readM3u(bytes, entries); break;
    case PlaylistFormat::Pls: readPls(bytes, entries); break;
    case PlaylistFormat::Xspf: readXspf(bytes, entries); break;
    case PlaylistFormat::Plt: break;
  }
  return entries.take();
}

std::string serializeM3u8(const std::vector<std::string>& paths, std::size_t* leftOut) {
  std::string bytes = "#EXTM3U\n";
  std::size_t skipped = 0;
  for (const std::string& path : paths) {
    if (trimmed(path).empty() || path.front() == '#' || findLineBreak(path) != path.size()) {
      ++skipped;
      continue;
    }
    bytes.append(path).push_back('\n');
  }
  if (leftOut) *leftOut = skipped;
  return bytes;
}

}  // namespace sonavex
