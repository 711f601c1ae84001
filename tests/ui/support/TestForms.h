#pragma once
// The program's windows over a scriptable engine, with lastplaylist.txt in a temporary folder and a
// quit hook that counts instead of ending the test process; plus what several window tests share.
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "app/Forms.h"
#include "core/model/Platform.h"
#include "windows/frmMain.h"
#include "windows/PlaylistView.h"
#include "core/PlaylistFile.h"
#include "windows/PopupMenus.h"
#include "windows/frmplaylist.h"
#include "support/FakeMediaEngine.h"

class QFileDialog;

namespace sonavex::testing {

using Paths = std::vector<std::string>;
using Rows = std::vector<int>;

class TestForms {
 public:
  // savedPaths are written to lastplaylist.txt before anything loads, unless writeSaved is false.
  explicit TestForms(const Paths& savedPaths = {}, bool writeSaved = true);
  Forms& forms() { return *forms_; }
  Core& core() { return forms_->core(); }
  FakeMediaEngine& engine() { return *engine_; }
  int quitCalls() const { return quitCalls_; }
  std::string lastPlaylistFile() const { return dir_.filePath("lastplaylist.txt").toStdString(); }
  std::string savedBytes() const {
    std::string bytes;
    return readWholeFile(lastPlaylistFile(), bytes) ? bytes : "<missing>";
  }

 private:
  QTemporaryDir dir_;
  FakeMediaEngine* engine_ = nullptr;
  int quitCalls_ = 0;
  std::unique_ptr<Forms> forms_;
};

// The windows after the start-up sequence has run.
struct Started : TestForms {
  explicit Started(const Paths& savedPaths = {}) : TestForms(savedPaths) { forms().start(); }
};

// A named control of a window; ends the run when it is missing, so a renamed control is plain.
template <typename T = QWidget>
T* child(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no control named %s", name);
  return found;
}
inline void click(QWidget& window, const char* button) {
  QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

inline PlaylistView& view(TestForms& t) { return *t.forms().playlist().list(); }
// The rows as the list shows them, and the selected rows as the view and as the core have them.
QStringList shownRows(TestForms& t);
Rows viewSelection(TestForms& t);
Rows coreSelection(TestForms& t);
// The companions (playlist, flyout, toggle button, volume) that are not where the player's place
// says they belong, by their object names.
QStringList undocked(TestForms& t);

void writeBytes(const std::string& path, const std::string& bytes);
// Runs `answer` on the modal file dialog once it is up (the caller then opens it).
void onFileDialog(std::function<void(QFileDialog*)> answer);

// Message boxes that record the text of each box and notice, and answer Yes to every question.
struct ScriptedMessages : MessageBoxes {
  std::vector<std::string> shown;
  MsgAnswer show(const std::string& text, const std::string&, MsgButtons buttons, MsgIcon) override {
    shown.push_back(text);
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
  void notify(const std::string& text, const std::string&, MsgIcon) override { shown.push_back(text); }
};

}  // namespace sonavex::testing
