#pragma once
// The program's windows over a scriptable engine, with lastplaylist.txt in a temporary folder and a
// quit hook that counts instead of ending the test process; plus what several window tests share.
#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "app/Forms.h"
#include "core/PlaylistFile.h"
#include "core/model/Platform.h"
#include "support/FakeMediaEngine.h"
#include "ui/Twips.h"
#include "windows/PlaylistView.h"
#include "windows/PopupMenus.h"
#include "windows/frmMain.h"
#include "windows/frmbutton.h"
#include "windows/frmmenu.h"
#include "windows/frmplaylist.h"
#include "windows/frmvol.h"

namespace sonavex::testing {

using Paths = std::vector<std::string>;
using Rows = std::vector<int>;

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class TestForms {
 public:
  // savedPaths are written to lastplaylist.txt before anything loads, unless writeSaved is false.
  explicit TestForms(const Paths& savedPaths = {}, bool writeSaved = true) {
    if (writeSaved) writeBytes(lastPlaylistFile(), serializePlaylist(savedPaths));
    FormsOptions options;
    options.lastPlaylistFile = lastPlaylistFile();
    options.quit = [this] { ++quitCalls_; };
    options.listJobsInBackground = false;
    options.makeEngine = [this] {
      auto engine = std::make_unique<FakeMediaEngine>();
      engine_ = engine.get();
      return engine;
    };
    forms_ = std::make_unique<Forms>(std::move(options));
  }
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
inline QStringList shownRows(TestForms& t) {
  QStringList rows;
  QAbstractItemModel* model = view(t).model();
  for (int r = 0; r < model->rowCount(); ++r) rows << model->index(r, 0).data().toString();
  return rows;
}
inline Rows viewSelection(TestForms& t) {
  Rows rows;
  for (const QModelIndex& i : view(t).selectionModel()->selectedIndexes()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}
inline Rows coreSelection(TestForms& t) {
  Rows rows;
  for (Index i = 0; i < t.core().list.count(); ++i)
    if (t.core().list.isSelected(i)) rows.push_back(i);
  return rows;
}

// The companions (playlist, flyout, toggle button, volume) that are not where the player's place
// says they belong, by their object names.
inline QStringList undocked(TestForms& t) {
  Forms& f = t.forms();
  const double tpp = twipsPerPixel(f.main());
  const WindowRect player = outerRect(f.main());
  const std::pair<QWidget*, Point> places[] = {{&f.playlist(), playlistDock(player, tpp)},
                                               {&f.menu(), menuDock(outerRect(f.playlist()), tpp)},
                                               {&f.button(), toggleButtonDock(player, tpp)},
                                               {&f.vol(), volumeDock(player, tpp)}};
  QStringList wrong;
  for (const auto& [window, place] : places)
    if (window->pos() != QPoint(place.x, place.y)) wrong << window->objectName();
  return wrong;
}

// Runs `answer` on the modal file dialog once it is up (the caller then opens it).
inline void onFileDialog(std::function<void(QFileDialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY2(dialog, "no file dialog is up");
    answer(dialog);
  });
}

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
