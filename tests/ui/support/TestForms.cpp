#include "support/TestForms.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "player/frmMain.h"
#include "playlist/PlaylistView.h"
#include "playlist/core/PlaylistFile.h"
#include "playlist/frmplaylist.h"

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

PlaylistView& view(TestForms& t) { return *t.forms().playlist().list(); }

QStringList shownRows(TestForms& t) {
  QStringList rows;
  QAbstractItemModel* model = view(t).model();
  for (int r = 0; r < model->rowCount(); ++r) rows << model->index(r, 0).data().toString();
  return rows;
}

std::vector<int> viewSelection(TestForms& t) {
  std::vector<int> rows;
  for (const QModelIndex& i : view(t).selectionModel()->selectedIndexes()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<int> coreSelection(TestForms& t) {
  std::vector<int> rows;
  for (Index i = 0; i < t.core().list.count(); ++i)
    if (t.core().list.isSelected(i)) rows.push_back(i);
  return rows;
}

std::vector<std::string> numberedPaths(int n) {
  std::vector<std::string> paths;
  for (int i = 0; i < n; ++i) paths.push_back("/music/track" + std::to_string(i) + ".mp3");
  return paths;
}

std::vector<Index> sortedShuffle(const Core& core) {
  std::vector<Index> order = core.List5.entries();
  std::sort(order.begin(), order.end());
  return order;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void onFileDialog(std::function<void(QFileDialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY2(dialog, "no file dialog is up");
    answer(dialog);
  });
}

MsgAnswer ScriptedMessages::show(const std::string& text, const std::string& title,
                                 MsgButtons buttons, MsgIcon icon) {
  shown.push_back({text, title, icon, QApplication::activeModalWidget() != nullptr});
  return buttons == MsgButtons::Ok ? MsgAnswer::Ok : answer;
}

std::vector<std::string> ScriptedMessages::texts() const {
  std::vector<std::string> out;
  for (const Box& b : shown) out.push_back(b.text);
  return out;
}

std::vector<std::string> ScriptedMessages::titles() const {
  std::vector<std::string> out;
  for (const Box& b : shown) out.push_back(b.title);
  return out;
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
