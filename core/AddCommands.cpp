#include "core/AddCommands.h"

#include "core/FindFiles.h"
#include "core/ListJob.h"
#include "core/model/SelectionText.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"

namespace sonavex {

namespace {
constexpr const char* kAddFilesFilter =
    "all supported files *.mp3;*.wma;*.mid;*.wav;*.cda;*.asf;*.flac;*.ogg;*.opus;*.m4a|"
    "*.mp3;*.wma;*.mid;*.wav;*.cda;*.asf;*.flac;*.ogg;*.opus;*.m4a|"
    "*.mp3|*.mp3|*.wma|*.wma|*.cda|*.cda|*.mid|*.mid|*.wav|*.wav|*.asf|*.asf|*.dat|*.dat|*.*|*.*";
constexpr long kAddFilesFlags = kExplorerStyle | kAllowMultiSelect;
constexpr int kAddFilesMaxFileSize = 32767;
}  // namespace

void cmdfile_Click(Core& core) {
  std::string selection;
  if (FileDialog* cd1 = core.platform.cd1) {
    cd1->Filter = kAddFilesFilter;
    cd1->Flags = kAddFilesFlags;
    cd1->MaxFileSize = kAddFilesMaxFileSize;
    cd1->ShowOpen();
    selection = cd1->FileName;
  }
  runListJob(core, [selection](Core& job) {
    PlaylistBatch batch(job.list);
    // Our dialog hands back the whole selection however long it is, so nothing is cut off and
    // every chosen file is appended.
    if (!selection.empty()) {
      AppendRecorder added(job);
      for (auto& path : pathsOfSelection(selection)) job.list.appendEntry(std::move(path));
      added.record();
    }
    rebuildShuffleOrder(job);
  });
}

void cmddir_Click(Core& core) {
  std::string folder;
  {
    BusyScope busy(core.platform.busy);
    if (core.platform.folders) folder = core.platform.folders->BrowseForFolder("Select a directory");
  }
  runListJob(core, [folder](Core& job) {
    PlaylistBatch batch(job.list);
    if (!folder.empty()) {
      AppendRecorder added(job);
      ScanCounts counts;
      scanFolderTree(job, folder, addFolderPatterns(), counts);
      added.record();
    }
    rebuildShuffleOrder(job);
  });
}

}  // namespace sonavex
