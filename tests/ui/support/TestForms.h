#pragma once
// The program's windows over a scriptable engine, with lastplaylist.txt in a temporary folder and a
// quit hook that counts instead of ending the test process; plus the small kit the window tests
// share.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/core/Platform.h"
#include "support/FakeMediaEngine.h"
#include "player/frmMain.h"
#include "playlist/PlaylistView.h"
#include "playlist/core/PlaylistFile.h"
#include "playlist/frmplaylist.h"

class QFileDialog;

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

// The windows after the start-up sequence has run.
struct Started : TestForms {
  explicit Started(const std::vector<std::string>& savedPaths = {}) : TestForms(savedPaths) {
    forms().start();
  }
};

// A named control of a window; ends the run when it is missing, so a renamed control is plain.
template <typename T = QWidget>
T* child(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no control named %s", name);
  return found;
}

PlaylistView& view(TestForms& t);
// The rows as the list shows them.
QStringList shownRows(TestForms& t);
// "/music/track<i>.mp3" for i below n.
std::vector<std::string> numberedPaths(int n);
// Selected rows, ascending, as the view and as the core have them.
std::vector<int> viewSelection(TestForms& t);
std::vector<int> coreSelection(TestForms& t);
// The shuffle order sorted, so a full permutation reads 0..n-1.
std::vector<Index> sortedShuffle(const Core& core);

// Writes a file of the given bytes.
void writeBytes(const std::string& path, const std::string& bytes);

// Runs `answer` on the modal file dialog once it is up (the caller then opens it).
void onFileDialog(std::function<void(QFileDialog*)> answer);

// Message boxes that record what they were asked and give a scripted answer.
class ScriptedMessages : public MessageBoxes {
 public:
  struct Box {
    std::string text, title;
    MsgIcon icon;
    bool overAModalDialog;
  };
  MsgAnswer answer = MsgAnswer::Yes;  // to Yes/No questions
  std::vector<Box> shown;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons,
                 MsgIcon icon) override;
  std::vector<std::string> texts() const;
  std::vector<std::string> titles() const;
};

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
