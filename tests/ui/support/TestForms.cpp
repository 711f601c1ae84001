#include "support/TestForms.h"

#include <QFileDialog>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "ui/Twips.h"
#include "windows/frmbutton.h"
#include "windows/frmmenu.h"
#include "windows/frmvol.h"

namespace sonavex::testing {

TestForms::TestForms(const Paths& savedPaths, bool writeSaved) {
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

QStringList shownRows(TestForms& t) {
  QStringList rows;
  QAbstractItemModel* model = view(t).model();
  for (int r = 0; r < model->rowCount(); ++r) rows << model->index(r, 0).data().toString();
  return rows;
}

Rows viewSelection(TestForms& t) {
  Rows rows;
  for (const QModelIndex& i : view(t).selectionModel()->selectedIndexes()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

Rows coreSelection(TestForms& t) {
  Rows rows;
  for (Index i = 0; i < t.core().list.count(); ++i)
    if (t.core().list.isSelected(i)) rows.push_back(i);
  return rows;
}

QStringList undocked(TestForms& t) {
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

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void onFileDialog(std::function<void(QFileDialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY2(dialog, "no file dialog is up");
    answer(dialog);
  });
}

}  // namespace sonavex::testing
