#include "core/RemoveCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <unordered_set>

#include "core/PlaylistRebuild.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"
#include "core/ListWork.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {

// An address is no file on this computer: when the entries to delete hold one, nothing is deleted
// and the user is told why.
bool confirmDiskDeletion(Core& core, bool selectedOnly) {
  if (!core.platform.messages) return false;  // no one to ask: delete nothing
  for (Index i = 0; i < core.list.count(); ++i) {
    if ((!selectedOnly || core.list.isSelected(i)) && isStreamAddress(core.list.path(i))) {
      core.platform.messages->show(
          core.list.path(i) +
              " is an address on the internet, not a file on this computer: nothing "
              "was deleted. Remove addresses from the playlist only.",
          "Sonavex", MsgButtons::Ok, MsgIcon::Information);
      return false;
    }
  }
  return core.platform.messages->show("Are you sure to delete selected file(s) from harddisk", "Sonavax",
                                      MsgButtons::YesNo, MsgIcon::None) == MsgAnswer::Yes;
}

// A file whose permission bits allow no one to write is what a read-only file is here.
bool isReadOnlyFile(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && !S_ISLNK(info.st_mode) && (info.st_mode & 0222) == 0;
}

// Deletes the file at exactly each given path: unlink(2) removes a file or a link itself, never a
// directory and never what a link points to. Stops at the first failure; returns whether all went.
// A path that this run already deleted (the same file in two entries) is not a failure. A relative
// path is one: it would name a file wherever the program happens to run; so is a path with a NUL
// byte, which would name the file before the NUL. `deleted` holds the paths whose files are gone.
bool deleteFiles(const std::vector<const std::string*>& paths, bool force,
                 std::unordered_set<std::string>& deleted) {
  for (const std::string* path : paths) {
    if (deleted.count(*path)) continue;
    if (path->empty() || path->front() != kPathSeparator || hasNulByte(*path) ||
        isStreamAddress(*path))
      return false;
    if (!force && isReadOnlyFile(*path)) return false;
    if (unlink(path->c_str()) != 0) return false;
    deleted.insert(*path);
  }
  return true;
}

// A file exists at the path: a folder does not count.
bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The entries whose files are gone leave the list; returns how many.
Index removeInvalid(ListState& state) {
  PlaylistBatch batch(state.list);
  Index removed = 0;
  std::vector<bool> keep(static_cast<std::size_t>(state.list.count()));
  for (Index i = 0; i < state.list.count(); ++i) {
    const std::string& path = state.list.path(i);
    const bool valid =
        path.empty() || isStreamAddress(path) || fileExists(path);  // an address is no missing file
    keep[static_cast<std::size_t>(i)] = valid;
    if (!valid) ++removed;
  }
  removeEntries(state, keep, KeptNames::FromDisplayName);
  rebuildShuffleOrder(state);
  return removed;
}

}  // namespace

namespace {
// A removal; the shuffle order then follows the entries left.
void removeAndReshuffle(ListState& state, void (*remove)(ListState&)) {
  PlaylistBatch batch(state.list);
  remove(state);
  rebuildShuffleOrder(state);
}

void removeAll(ListState& state) { removeEntries(state, {}, KeptNames::FromDisplayName); }
}  // namespace

void cmdsel_Click(Core& core) {
  runListEdit(core, [](ListState& state) { removeAndReshuffle(state, delsel); });
}

void cmdall_Click(Core& core) {
  runListEdit(core, [](ListState& state) { removeAndReshuffle(state, removeAll); });
}

void mnucrop_Click(Core& core) {
  runListEdit(core, [](ListState& state) { removeAndReshuffle(state, crop); });
}

// Deleting files cannot be undone. Once a file is gone (even when a later one failed and the list
// stays as it was) the whole history is forgotten, the removal's own step with it: earlier steps
// were recorded against the list before, and one could bring back an entry of a deleted file.
void mnudelfromdisk_Click(Core& core) {
  if (!confirmDiskDeletion(core, true)) return;
  runListEdit(core, [](ListState& state) {
    std::vector<const std::string*> chosen;
    for (Index i = 0; i < state.list.count(); ++i) {
      if (state.list.isSelected(i)) chosen.push_back(&state.list.path(i));
    }
    std::unordered_set<std::string> deleted;
    if (deleteFiles(chosen, /*force=*/true, deleted)) removeAndReshuffle(state, delsel);
    if (!deleted.empty()) forgetHistory(state);
  });
}

void mnudelfromharddisk_Click(Core& core) {
  if (!confirmDiskDeletion(core, false)) return;
  runListEdit(core, [](ListState& state) {
    std::vector<const std::string*> all;
    for (const auto& path : state.list.paths()) all.push_back(&path);
    std::unordered_set<std::string> deleted;
    if (deleteFiles(all, /*force=*/false, deleted)) removeAndReshuffle(state, removeAll);
    if (!deleted.empty()) forgetHistory(state);
  });
}

void mnuinvalid_Click(Core& core) {
  // Counted on the edit thread, told here once the edit is applied.
  auto removed = std::make_shared<Index>(0);
  runListEdit(
      core, [removed](ListState& state) { *removed = removeInvalid(state); },
      [removed](Core& now) {
        if (!now.platform.messages) return;
        const std::string text = *removed < 1 ? "No invalid files"
                                              : std::to_string(*removed) +
                                                    " invalid track(s) are removed from your playlist";
        now.platform.messages->show(text, "Sonavex", MsgButtons::Ok, MsgIcon::None);
      });
}

}  // namespace sonavex
