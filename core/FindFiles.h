#pragma once
// The folder search: walks a folder tree and appends the files whose names match the search
// patterns as playlist entries. One walk serves every pattern: matches are filed per pattern and
// appended pattern by pattern, so all matches of the first pattern (in pre-order: the files of a
// folder before those of its subfolders) come first, then those of the second pattern, and so on.
// Each folder's files and subfolders are taken in name order, as the sort-by-name command orders
// file names (Sorting.h), not in the file system's listing order.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Core.h"
#include "core/ListWork.h"

namespace sonavex {

// Patterns of the add-folder command ("dir").
const std::vector<std::string>& addFolderPatterns();
// Patterns of a dropped folder.
const std::vector<std::string>& dropFolderPatterns();

// Case-insensitive wildcard match of a file name: '*' any run of bytes, '?' one byte.
bool matchesPattern(std::string_view name, std::string_view pattern);

struct ScanCounts {
  Index FileCount = 0;  // files appended
  Index DirCount = 0;   // subfolders found
};

// Adds every matching file of the tree below `folder` (see above) to the intake's sink. A folder
// that cannot be listed gives the error "Error: <errno> - <description>" and the walk goes on with
// the next folder; a folder that does not exist holds nothing and gives none. Links to folders are
// followed, each real folder at most once. The walk stops when the intake is cancelled.
void scanFolderTree(IntakeSink& sink, std::string folder, const std::vector<std::string>& patterns,
                    ScanCounts& counts);

// The search for one pattern, appended to the list at once. Appends "/" to the caller's `path` if
// it does not end with one. Returns the total size in bytes of the files appended.
std::uint64_t FindFiles(Core& core, std::string& path, const std::string& SearchStr, Index& FileCount,
                        Index& DirCount);

}  // namespace sonavex
