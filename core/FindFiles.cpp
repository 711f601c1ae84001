#include "core/FindFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "core/model/Sorting.h"

namespace sonavex {

const std::vector<std::string>& addFolderPatterns() {
  // The engine also plays the last four, which the older lists did not name.
  static const std::vector<std::string> patterns{"*.mp3",  "*.wma", "*.wav",  "*.mid", "*.cda",
                                                 "*.flac", "*.ogg", "*.opus", "*.m4a"};
  return patterns;
}

const std::vector<std::string>& dropFolderPatterns() {
  static const std::vector<std::string> patterns{"*.mp3",  "*.wma", "*.wav",  "*.mid",
                                                 "*.flac", "*.ogg", "*.opus", "*.m4a"};
  return patterns;
}

namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct FolderId {
  dev_t dev;
  ino_t ino;
  bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
  std::size_t operator()(const FolderId& id) const {
    return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.ino) * 0x9e3779b97f4a7c15ULL ^
                                      static_cast<std::uint64_t>(id.dev));
  }
};

class TreeWalk {
 public:
  TreeWalk(IntakeSink& sink, const std::vector<std::string>& patterns, ScanCounts& counts)
      : sink_(sink), patterns_(patterns), counts_(counts), matches_(patterns.size()) {}

  void run(std::string root) {
    if (root.empty() || root.back() != kPathSeparator) root.push_back(kPathSeparator);
    // Depth first with an explicit stack: a deep tree cannot exhaust the call stack.
    std::vector<std::string> pending{std::move(root)};
    std::vector<std::string> subfolders;
    while (!pending.empty() && !sink_.cancelled()) {
      std::string folder = std::move(pending.back());
      pending.pop_back();
      subfolders.clear();
      if (!listFolder(folder, subfolders)) continue;
      for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(std::move(*it));
    }
    // The first pattern's matches went as they were found; the others follow in pattern order.
    for (std::size_t p = 1; p < matches_.size(); ++p) {
      for (auto& path : matches_[p]) add(std::move(path));
    }
  }

 private:
  // Files the matching names of one folder and collects its subfolders (full paths ending in "/"),
  // both in name order. Returns false when the folder was skipped or failed, so its subfolders are
  // not visited.
  bool listFolder(const std::string& folder, std::vector<std::string>& subfolders) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
      report(errno);
      return false;
    }
    struct stat self {};
    if (fstat(dirfd(dir), &self) == 0 && !visited_.insert({self.st_dev, self.st_ino}).second) {
      closedir(dir);  // reached again through a link: already walked
      return false;
    }
    // The listing comes in the file system's order: keep only what is filed or visited, then sort.
    names_.clear();
    entries_.clear();
    hits_.clear();
    bool complete = true;
    for (;;) {
      errno = 0;
      const dirent* entry = readdir(dir);
      if (!entry) {
        if (errno != 0) {
          report(errno);
          complete = false;
        }
        break;
      }
      const char* name = entry->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      const std::size_t firstHit = hits_.size();
      if (isFolder(dir, *entry)) {
        ++counts_.DirCount;
      } else {
        for (std::size_t p = 0; p < patterns_.size(); ++p)
          if (matchesPattern(name, patterns_[p])) hits_.push_back(p);
        if (hits_.size() == firstHit) continue;
      }
      const std::size_t length = std::strlen(name);
      entries_.push_back({names_.size(), length, firstHit, hits_.size()});
      names_.append(name, length);
    }
    closedir(dir);

    views_.clear();
    for (const Entry& e : entries_) views_.push_back(std::string_view(names_).substr(e.name, e.length));
    for (const Index i : sorter_.order(views_)) {
      const Entry& e = entries_[static_cast<std::size_t>(i)];
      const std::string_view name(names_.data() + e.name, e.length);
      std::string path;
      path.reserve(folder.size() + name.size() + 1);
      path.append(folder).append(name);
      if (e.firstHit == e.endHit) {
        path.push_back(kPathSeparator);
        subfolders.push_back(std::move(path));
        continue;
      }
      for (std::size_t h = e.firstHit; h + 1 < e.endHit; ++h) file(hits_[h], std::string(path));
      file(hits_[e.endHit - 1], std::move(path));
    }
    return complete;
  }

  // A match of the first pattern comes before every later one: it goes at once, so that a long
  // scan fills the list as it goes. The others wait for the end of the walk.
  void file(std::size_t pattern, std::string path) {
    if (pattern == 0) {
      add(std::move(path));
    } else {
      matches_[pattern].push_back(std::move(path));
    }
  }

  void add(std::string path) {
    if (sink_.add(std::move(path))) ++counts_.FileCount;
  }

  static bool isFolder(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat target {};
    return fstatat(dirfd(dir), entry.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
  }

  void report(int error) {
    // A folder that is gone (or is no folder) holds nothing to find.
    if (error == ENOENT || error == ENOTDIR) return;
    sink_.error("Error: " + std::to_string(error) + " - " + std::strerror(error));
  }

  IntakeSink& sink_;
  const std::vector<std::string>& patterns_;
  ScanCounts& counts_;
  std::vector<std::vector<std::string>> matches_;
  std::unordered_set<FolderId, FolderIdHash> visited_;

  // One folder's listing, kept from folder to folder so their room is reused.
  struct Entry {
    std::size_t name, length;      // the name's bytes in names_
    std::size_t firstHit, endHit;  // its patterns in hits_; none for a subfolder
  };
  std::string names_;
  std::vector<Entry> entries_;
  std::vector<std::size_t> hits_;
  std::vector<std::string_view> views_;
  NameSorter sorter_;
};

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
  // Greedy match that backtracks only to the last '*': linear in practice.
  std::size_t n = 0, p = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void scanFolderTree(IntakeSink& sink, std::string folder, const std::vector<std::string>& patterns,
                    ScanCounts& counts) {
  if (folder.empty()) return;  // "" names no folder; it must not become the root "/"
  TreeWalk(sink, patterns, counts).run(std::move(folder));
}

std::uint64_t FindFiles(Core& core, std::string& path, const std::string& SearchStr, Index& FileCount,
                        Index& DirCount) {
  if (path.empty()) return 0;
  if (path.back() != kPathSeparator) path.push_back(kPathSeparator);
  const Index first = core.list.count();
  ScanCounts counts{FileCount, DirCount};
  ListSink sink(core.list);
  scanFolderTree(sink, path, {SearchStr}, counts);
  sink.errors.notify(core.platform.messages);
  FileCount = counts.FileCount;
  DirCount = counts.DirCount;
  std::uint64_t total = 0;
  for (Index i = first; i < core.list.count(); ++i) {
    struct stat file {};
    if (stat(core.list.path(i).c_str(), &file) == 0) total += static_cast<std::uint64_t>(file.st_size);
  }
  return total;
}

}  // namespace sonavex
