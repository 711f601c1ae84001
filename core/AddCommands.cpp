#include "core/AddCommands.h"

#include <memory>
#include <vector>

#include "core/FileDrop.h"
#include "core/FindFiles.h"
#include "core/ListWork.h"
#include "core/Shuffle.h"
#include "core/model/SelectionText.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {
constexpr const char* kAddFilesFilter =
    "all supported files *.mp3;*.wma;*.mid;*.wav;*.cda;*.asf;*.flac;*.ogg;*.opus;*.m4a|"
    "*.mp3;*.wma;*.mid;*.wav;*.cda;*.asf;*.flac;*.ogg;*.opus;*.m4a|"
    "*.mp3|*.mp3|*.wma|*.wma|*.cda|*.cda|*.mid|*.mid|*.wav|*.wav|*.asf|*.asf|*.dat|*.dat|*.*|*.*";
constexpr long kAddFilesFlags = kExplorerStyle | kAllowMultiSelect;
constexpr int kAddFilesMaxFileSize = 32767;

// Passes entries on and keeps the text of every error.
class EveryError : public IntakeSink {
 public:
  EveryError(IntakeSink& to, std::vector<std::string>& texts) : to_(to), texts_(texts) {}
  bool add(std::string path, std::string stationName = {}) override {
    return to_.add(std::move(path), std::move(stationName));
  }
  void error(const std::string& text) override { texts_.push_back(text); }
  bool cancelled() const override { return to_.cancelled(); }

 private:
  IntakeSink& to_;
  std::vector<std::string>& texts_;
};
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
  if (selection.empty()) {
    runListEdit(core, rebuildShuffleOrder);  // on cancel too, as it always did
    return;
  }
  // Our dialog hands back the whole selection however long it is, so nothing is cut off and every
  // chosen file is appended. Its end rebuilds the shuffle order.
  runIntake(core, [selection](IntakeSink& sink) {
    for (auto& path : pathsOfSelection(selection)) sink.add(std::move(path));
  });
}

void cmddir_Click(Core& core) {
  std::string folder;
  {
    BusyScope busy(core.platform.busy);
    if (core.platform.folders) folder = core.platform.folders->BrowseForFolder("Select a directory");
  }
  if (folder.empty()) {
    runListEdit(core, rebuildShuffleOrder);
    return;
  }
  // What could not be searched is told, each in a box of its own, once the scan is over.
  auto errors = std::make_shared<std::vector<std::string>>();
  runIntake(
      core,
      [folder, errors](IntakeSink& sink) {
        EveryError every(sink, *errors);
        ScanCounts counts;
        scanFolderTree(every, folder, addFolderPatterns(), counts);
      },
      [errors](Core& now, const IntakeResult&) {
        if (now.platform.messages == nullptr) return;
        for (const std::string& text : *errors)
          now.platform.messages->show(text, "Sonavex", MsgButtons::Ok, MsgIcon::Information);
      });
}

std::string addressRefusal(std::string_view text) {
  if (isStreamAddress(text)) return {};
  if (text.size() > kMaxAddressBytes)
    return "The address is longer than " + std::to_string(kMaxAddressBytes) + " characters.";
  return "Only addresses that begin with http:// or https:// can be added.";
}

void cmdurl_Click(Core& core, const std::string& address) {
  if (isStreamAddress(address)) filedragging(core, {address});
}

}  // namespace sonavex
