#include "support/TestForms.h"

#include <fstream>
#include <iterator>

#include "player/frmMain.h"
#include "playlist/core/PlaylistFile.h"

namespace sonavex::testing {

TestForms::TestForms(const std::vector<std::string>& savedPaths, bool writeSaved) {
  if (writeSaved) writeBytes(lastPlaylistFile(), serializePlaylist(savedPaths));
  FormsOptions options;
  options.lastPlaylistFile = lastPlaylistFile();
  options.quit = [this] { ++quitCalls_; };
  options.makeEngine = [this] {
    mainShownWhenEngineMade_ = forms_ && forms_->mainLoaded() && forms_->main().isVisible();
    auto engine = std::make_unique<FakeMediaEngine>();
    engine_ = engine.get();
    return engine;
  };
  forms_ = std::make_unique<Forms>(std::move(options));
}

std::string TestForms::lastPlaylistFile() const { return path("lastplaylist.txt"); }

std::string TestForms::path(const std::string& name) const {
  return dir_.path().toStdString() + "/" + name;
}

std::string TestForms::savedBytes() const {
  std::ifstream in(lastPlaylistFile(), std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void ScriptedFileDialog::answer(const char* kind) {
  shownAs.push_back(std::string(kind) + " " + Filter);
  FileTitle.clear();
  if (answers.empty()) {
    FileName.clear();
    return;
  }
  FileName = answers.front();
  answers.erase(answers.begin());
}

}  // namespace sonavex::testing
