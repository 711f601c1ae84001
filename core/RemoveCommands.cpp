#include "core/RemoveCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <unordered_set>

#include "core/PlaylistRebuild.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"
#include "core/ListJob.h"

namespace sonavex {

namespace {

bool confirmDiskDeletion(Core& core) {
  if (!core.platform.messages) return false;  // no one to ask: delete nothing
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
    if (path->empty() || path->front() != kPathSeparator || hasNulByte(*path)) return false;
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

// The entries whose files are gone leave the list; the count is told.
void removeInvalid(Core& core) {
  Index removed = 0;
  {
    PlaylistBatch batch(core.list);
    std::vector<bool> keep(static_cast<std::size_t>(core.list.count()));
    for (Index i = 0; i < core.list.count(); ++i) {
      const std::string& path = core.list.path(i);
      const bool valid = path.empty() || fileExists(path);
      keep[static_cast<std::size_t>(i)] = valid;
      if (!valid) ++removed;
    }
    removeEntries(core, keep, KeptNames::FromDisplayName);
    rebuildShuffleOrder(core);
  }
  if (!core.platform.messages) return;
  const std::string text =
      removed < 1 ? "No invalid files" : std::to_string(removed) + " invalid track(s) are removed from your playlist";
  core.platform.messages->show(text, "Sonavex", MsgButtons::Ok, MsgIcon::None);
}

}  // namespace

// A removal as a list job; the shuffle order then follows the entries left.
static void removeInJob(Core& core, void (*remove)(Core&)) {
  runListJob(core, [remove](Core& job) {
    PlaylistBatch batch(job.list);
    remove(job);
    rebuildShuffleOrder(job);
  });
}

void cmdsel_Click(Core& core) { removeInJob(core, delsel); }

void cmdall_Click(Core& core) {
  removeInJob(core, [](Core& job) { removeEntries(job, {}, KeptNames::FromDisplayName); });
}

void mnucrop_Click(Core& core) { removeInJob(core, crop); }

// Deleting files cannot be undone. Once a file is gone (even when a later one failed and the list
// stays as it was) the whole history is forgotten, the removal's own step with it: earlier steps
// were recorded against the list before, and one could bring back an entry of a deleted file.
void mnudelfromdisk_Click(Core& core) {
  if (!confirmDiskDeletion(core)) return;
  runListJob(core, [](Core& job) {
    std::vector<const std::string*> chosen;
    for (Index i = 0; i < job.list.count(); ++i) {
      if (job.list.isSelected(i)) chosen.push_back(&job.list.path(i));
    }
    std::unordered_set<std::string> deleted;
    if (deleteFiles(chosen, /*force=*/true, deleted)) cmdsel_Click(job);
    if (!deleted.empty()) forgetHistory(job);
  });
}

void mnudelfromharddisk_Click(Core& core) {
  if (!confirmDiskDeletion(core)) return;
  runListJob(core, [](Core& job) {
    std::vector<const std::string*> all;
    for (const auto& path : job.list.paths()) all.push_back(&path);
    std::unordered_set<std::string> deleted;
    if (deleteFiles(all, /*force=*/false, deleted)) cmdall_Click(job);
    if (!deleted.empty()) forgetHistory(job);
  });
}

void mnuinvalid_Click(Core& core) { runListJob(core, removeInvalid); }

}  // namespace sonavex
