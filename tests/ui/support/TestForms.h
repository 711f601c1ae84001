#pragma once
// The program's windows over a scriptable engine, with lastplaylist.txt in a temporary folder and a
// quit hook that counts instead of ending the test process.
#include <memory>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include "app/Forms.h"
#include "app/core/Platform.h"
#include "engine/core/FakeMediaEngine.h"

namespace sonavex::testing {

class TestForms {
 public:
  // savedPaths, when given, are written to lastplaylist.txt before anything loads.
  explicit TestForms(const std::vector<std::string>& savedPaths = {}, bool writeSaved = true);

  Forms& forms() { return *forms_; }
  Core& core() { return forms_->core(); }
  FakeMediaEngine& engine() { return *engine_; }
  int quitCalls() const { return quitCalls_; }
  std::string lastPlaylistFile() const;
  std::string path(const std::string& name) const;
  // Bytes of lastplaylist.txt ("<missing>" when there is none).
  std::string savedBytes() const;
  // Whether the player window was visible at the moment the engine was made.
  bool mainShownWhenEngineMade() const { return mainShownWhenEngineMade_; }

 private:
  QTemporaryDir dir_;
  FakeMediaEngine* engine_ = nullptr;
  int quitCalls_ = 0;
  bool mainShownWhenEngineMade_ = false;
  std::unique_ptr<Forms> forms_;
};

// Writes a file of the given bytes.
void writeBytes(const std::string& path, const std::string& bytes);

// A file dialog that answers from a script instead of asking a person.
class ScriptedFileDialog : public FileDialog {
 public:
  std::vector<std::string> answers;  // one selection text per show, in order
  std::vector<std::string> shownAs;  // "open" or "save", with the filter at that moment
  void ShowOpen() override { answer("open"); }
  void ShowSave() override { answer("save"); }

 private:
  void answer(const char* kind);
};

}  // namespace sonavex::testing
