#include "core/model/PlaylistFormats.h"

#include <algorithm>
#include <map>
#include <utility>

#include "core/model/CommandLine.h"
#include "core/model/PlaylistModel.h"
#include "core/model/StreamAddress.h"
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

// Where the scheme and host of a reference end ("" for a path): "http://host", "file://", "file:".
std::string_view schemeAndHost(std::string_view ref) {
  if (!isAddress(ref) && !startsWithFileScheme(ref)) return {};
  const std::size_t colon = ref.find(':');
  if (ref.substr(colon + 1, 2) != "//") return ref.substr(0, colon + 1);
  return ref.substr(0, std::min(ref.size(), ref.find_first_of("/?#", colon + 3)));
}

// Turns the references of one playlist into entries.
class Entries {
 public:
  // `uris`: the references are URIs (XSPF), so a relative one is percent-decoded too. `where` is
  // the folder of a local playlist or the address of a fetched one.
  Entries(std::string_view where, bool uris)
      : folder_(where), uris_(uris), remote_(isStreamAddress(where)) {}

  // `base`: an xml:base the reference is relative to ("" for none).
  void add(std::string_view ref, std::string_view name = {}, std::string_view base = {}) {
    if (ref.size() > kMaxEntryBytes) {
      ++result_.leftOut.tooLong;
      return;
    }
    const auto relative = [](std::string_view r) {
      return schemeAndHost(r).empty() && !r.starts_with('/');
    };
    if (relative(ref) || (remote_ && ref.starts_with("//"))) {
      std::string resolved = base.empty() ? std::string(ref) : resolvedReference(base, ref);
      if (remote_ && (relative(resolved) || resolved.starts_with("//")))
        resolved = resolvedReference(folder_, resolved);
      if (resolved != ref)
        return add(resolved, name);  // a relative one left is joined to the folder
    }
    std::string path;
    if (isStreamAddress(ref)) {
      path = ref;
    } else if (remote_ && (startsWithFileScheme(ref) || !isAddress(ref))) {
      ++result_.leftOut.local;  // a list from elsewhere may not reach into this computer
      return;
    } else if (startsWithFileScheme(ref)) {
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
    // Only an address shows a name from the list; a file shows its file name.
    result_.names.push_back(isStreamAddress(path) ? plainShownName(name) : std::string());
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
  bool remote_;
  ForeignEntries result_;
};

// The name of "#EXTINF:<length> <attributes>,<name>": after the first comma outside quotes.
std::string_view extinfName(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 8; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ',' && !quoted) return line.substr(i + 1);
  }
  return {};
}

void readM3u(std::string_view text, Entries& entries) {
  std::string_view name;  // of the entry that follows
  forEachLine(text, [&](std::string_view line) {
    if (line.size() >= 8 && equalsNoCase(line.substr(0, 8), "#extinf:")) name = extinfName(line);
    if (trimmed(line).empty() || line.front() == '#') return;
    entries.add(line, name);
    name = {};
  });
}

// The number N of a key "<word>N", up to nine digits; nothing for another key.
std::optional<unsigned long> keyNumber(std::string_view key, std::string_view lowerWord) {
  if (key.size() <= lowerWord.size() || key.size() > lowerWord.size() + 9 ||
      !equalsNoCase(key.substr(0, lowerWord.size()), lowerWord))
    return std::nullopt;
  unsigned long n = 0;
  for (const char d : key.substr(lowerWord.size())) {
    if (d < '0' || d > '9') return std::nullopt;
    n = n * 10 + static_cast<unsigned long>(d - '0');
  }
  return n;
}

void readPls(std::string_view text, Entries& entries) {
  std::map<unsigned long, std::string_view> files, titles;  // by N
  bool inPlaylist = false;
  forEachLine(text, [&](std::string_view line) {
    line = trimmed(line);
    if (line.starts_with('[')) inPlaylist = equalsNoCase(line, "[playlist]");
    const std::size_t equals = line.find('=');
    if (!inPlaylist || equals == std::string_view::npos) return;
    const std::string_view key = trimmed(line.substr(0, equals)), value = trimmed(line.substr(equals + 1));
    // The first FileN or TitleN of a number counts.
    if (const auto n = keyNumber(key, "file"); n && !value.empty()) files.emplace(*n, value);
    if (const auto n = keyNumber(key, "title")) titles.emplace(*n, value);
  });
  for (const auto& [n, value] : files) {
    const auto title = titles.find(n);
    entries.add(value, title == titles.end() ? std::string_view() : title->second);
  }
}

// The value of attribute `name` in a tag's text ("" when it has none); entities decoded.
std::string attribute(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    const bool starts = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' ||
                                   tag[at - 1] == '\n' || tag[at - 1] == '\r');
    std::string_view rest = trimmed(tag.substr(at + name.size()), " \t\r\n");
    if (!starts || !rest.starts_with('=')) continue;
    rest = trimmed(rest.substr(1), " \t\r\n");
    if (rest.empty() || (rest[0] != '"' && rest[0] != '\'')) return {};
    const std::size_t close = rest.find(rest[0], 1);
    return close == std::string_view::npos ? std::string() : xmlText(rest.substr(1, close - 1));
  }
  return {};
}

constexpr std::size_t kMaxBaseBytes = 4096;

void readXspf(std::string_view xml, Entries& entries) {
  // The xml:base of the playlist, the track list and the track, each resolved against the one
  // around it: a relative location is relative to the nearest.
  std::string bases[3];
  bool inTrack = false;
  std::optional<std::string> location, title;  // of the track being read
  const auto endTrack = [&] {
    if (location && !location->empty()) entries.add(*location, title.value_or(""), bases[2]);
    location.reset();
    title.reset();
  };
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at)) {
    if (xml.substr(at, 4) == "<!--") {
      const std::size_t end = xml.find("-->", at);
      if (end == std::string_view::npos) break;
      at = end + 3;
      continue;
    }
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) break;
    const std::string_view tag = xml.substr(at + 1, end - at - 1);
    std::string_view name = tag;
    const bool closing = name.starts_with('/'), empty = name.ends_with('/');
    if (closing) name.remove_prefix(1);
    name = name.substr(0, name.find_first_of(" \t\r\n/"));
    name.remove_prefix(name.find(':') + 1);  // a namespace prefix, if any
    at = end + 1;
    const int level = name == "playlist" ? 0 : name == "trackList" ? 1 : name == "track" ? 2 : -1;
    if (level == 2 && inTrack) endTrack();
    if (level >= 0 && !closing) {
      const std::string base = attribute(tag, "xml:base");
      const std::string outer = level == 0 ? std::string() : bases[level - 1];
      bases[level] = base.empty() ? outer : resolvedReference(outer, base);
      // Every relative location gains its base: a longer one than a path is ignored, so that
      // what the reader gives stays in proportion to what it reads.
      if (bases[level].size() > kMaxBaseBytes) bases[level] = outer;
      for (int inner = level + 1; inner < 3; ++inner) bases[inner] = bases[level];
    }
    if (level == 2) inTrack = !closing && !empty;
    const bool opens = inTrack && !closing && !empty;
    if ((name == "location" && opens && !location) || (name == "title" && opens && !title)) {
      // Its text runs to the next tag (an unclosed one does not take the rest of the file).
      const std::string_view text = trimmed(xml.substr(at, xml.find('<', at) - at), " \t\r\n");
      // One too long is left out as such, undecoded.
      std::string value = text.size() > kMaxEntryBytes ? std::string(text) : xmlText(text);
      (name == "location" ? location : title) = std::move(value);
    }
  }
  if (inTrack) endTrack();
}

}  // namespace

std::string plainShownName(std::string_view text) {
  std::string out;
  std::size_t characters = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80 && ++characters > kMaxShownNameCharacters) break;
    out.push_back(byte < 0x20 || byte == 0x7F ? ' ' : c);
  }
  return std::string(trimmed(out, " "));
}

bool isRemotePlaylistAddress(std::string_view address) {
  if (!isStreamAddress(address)) return false;
  const std::string_view path = address.substr(0, address.find_first_of("?#"));
  const auto format = playlistFormatOf(path);
  return format && *format != PlaylistFormat::Plt;
}

std::string resolvedReference(std::string_view base, std::string_view ref) {
  if (!schemeAndHost(ref).empty()) return std::string(ref);
  const std::string_view prefix = schemeAndHost(base);
  if (ref.starts_with("//")) return std::string(prefix.substr(0, prefix.find(':') + 1)).append(ref);
  if (ref.starts_with('/')) return std::string(prefix).append(ref);
  std::string_view path = base.substr(prefix.size());
  path = path.substr(0, path.find_first_of("?#"));
  const std::size_t slash = path.rfind('/');
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
  return std::string(prefix).append(prefix.empty() || !folder.empty() ? folder : "/").append(ref);
}

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

std::string serializeM3u8(const std::vector<std::string>& paths, std::size_t* leftOut,
                          const std::vector<std::string>* names) {
  std::string bytes = "#EXTM3U\n";
  std::size_t skipped = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    if (trimmed(path).empty() || path.front() == '#' || findLineBreak(path) != path.size()) {
      ++skipped;
      continue;
    }
    const std::string_view shown = names && i < names->size() ? fileNamePartOf((*names)[i]) : path;
    if (isStreamAddress(path) && shown != path && !shown.empty() &&
        findLineBreak(shown) == shown.size())
      bytes.append("#EXTINF:-1,").append(shown).push_back('\n');
    bytes.append(path).push_back('\n');
  }
  if (leftOut) *leftOut = skipped;
  return bytes;
}

}  // namespace sonavex
