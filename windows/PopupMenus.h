#pragma once
// The playlist window's two context menus: the song menu (a right click on a row, or the menu key
// over the list) and the main menu (the right button's release over the player window). Every item
// runs its command on the core; the search window and the About box it asks for.
#include <QObject>
#include <QPoint>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace sonavex {

struct Core;

class PopupMenus : public QObject {
  Q_OBJECT
 public:
  // The menus belong to `owner`, the playlist window.
  PopupMenus(Core& core, QWidget* owner);

  QMenu* mnupopup() const { return mnupopup_; }
  QMenu* mnupopupmain() const { return mnupopupmain_; }
  void openSongMenu(const QPoint& at);
  void openMainMenu(const QPoint& at);
  // The check marks of the Balance and Pitch items, as the core holds them.
  void render();

 signals:
  void searchRequested();
  void addressRequested();
  void aboutRequested();
  void equalizerRequested();

 private:
  void buildSongMenu(QWidget* owner);
  void buildMainMenu(QWidget* owner);

  Core& core_;
  QMenu* mnupopup_ = nullptr;
  QMenu* mnupopupmain_ = nullptr;
  std::vector<QAction*> balanceItems_;
  std::vector<QAction*> rateItems_;
  std::vector<QAction*> replayGainItems_;
  std::vector<QAction*> replayGainPreampItems_;
  std::vector<QAction*> replayGainFallbackItems_;
};

}  // namespace sonavex
