#include "core/model/CommandLine.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>

#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool startsWithFileScheme(std::string_view text) {
  static constexpr char kScheme[] = "file:";
  if (text.size() < sizeof kScheme - 1) return false;
  for (std::size_t i = 0; i < sizeof kScheme - 1; ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != kScheme[i]) return false;
  return true;
}

std::string percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
        hexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string pathOfFileUri(const std::string& uri) {
  if (!startsWithFileScheme(uri)) return {};
  std::string rest = uri.substr(5);
  const std::size_t end = rest.find_first_of("?#");
  if (end != std::string::npos) rest.resize(end);
  if (rest.rfind("//", 0) == 0) {
    const std::size_t slash = rest.find('/', 2);
    const std::string host =
        rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    std::string lowered;
    for (char c : host)
      lowered.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (!host.empty() && lowered != "localhost") return {};
    rest = slash == std::string::npos ? std::string() : rest.substr(slash);
  }
  if (rest.empty() || rest.front() != '/') return {};
  std::string path = percentDecoded(rest);
  // "%00" would give a name the system calls cut short at the NUL.
  if (path.find('\0') != std::string::npos) return {};
  return path;
}

std::vector<std::string> pathsOfUriList(std::string_view list) {
  std::vector<std::string> paths;
  while (!list.empty()) {
    const std::size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    std::string path = isStreamAddress(line) ? std::string(line) : pathOfFileUri(std::string(line));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

std::vector<std::string> commandLinePaths(const std::vector<std::string>& args,
                                          const std::string& currentFolder) {
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg.empty()) continue;
    if (isStreamAddress(arg)) {
      paths.push_back(arg);
    } else if (startsWithFileScheme(arg)) {
      std::string path = pathOfFileUri(arg);
      if (!path.empty()) paths.push_back(std::move(path));
    } else if (arg.front() == '/' || currentFolder.empty()) {
      paths.push_back(arg);
    } else {
      const bool endsWithSlash = !currentFolder.empty() && currentFolder.back() == '/';
      paths.push_back(currentFolder + (endsWithSlash ? "" : "/") + arg);
    }
  }
  return paths;
}

std::string currentFolder() {
  std::string buffer(PATH_MAX, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return buffer;
}

}  // namespace sonavex
