#pragma once
// The playlist window: a borderless skinned panel with the list, the loop and shuffle boxes, the
// command buttons, a hide button and the About icon; it runs the position clock and owns the two
// context menus. Every event runs a core command; render() shows the core after every command.
// What concerns other windows (the flyout, the toggle button, the dialogs) it asks for by signals.
#include <QWidget>
#include <string>
#include <vector>

#include "core/model/Flyout.h"
#include "core/model/PanelShape.h"
#include "ui/KeyPresses.h"

class QLabel;
class QMenu;
class QTimer;

namespace sonavex {

class PlaylistListModel;
class PlaylistView;
class PopupMenus;
class SkinButton;
class SkinCheckBox;
class SkinImage;
class WindowDrag;
struct Core;

class frmplaylist : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 302;
  static constexpr int kClientHeight = 178;

  // Loading restores the last playlist and sets balance 0 and rate 1.0.
  explicit frmplaylist(Core& core);

  PlaylistView* list() const { return cpvcoollist2_; }
  PopupMenus& menus() const { return *menus_; }
  // Opens the song menu at `at` (screen pixels) when `y` (pixels in the list) is over a real row,
  // after making that row the chosen entry.
  void openSongMenu(double y, const QPoint& at);
  void openMainMenu(const QPoint& at);

  // The hide image: the pointer moves off it, the panel is wiped away from the left and the toggle
  // button is shown on the player. The panel stays open and goes on playing.
  void Image3_Click();
  // One tick of the hide animation.
  void Timer1_Timer();
  // Before it slides in: hidden, its hide animation stopped, and given its docked shape.
  void prepareSlideIn();
  bool hiding() const { return hide_.running(); }
  // Shows the play mode boxes, the menus' check marks, the clock and the empty list's hint as the
  // core holds them.
  void render();
  // Back from the flyout: the button whose commands flew out has the focus again.
  void focusFlyoutButton(Flyout which);
  // The pointer is over the button whose commands fly out as `which`.
  bool pointerOnFlyoutButton(Flyout which) const;

 signals:
  // The pointer came onto the add, remove or sort button: its pair of commands flies out.
  void flyoutRequested(Flyout which);
  // The pointer went off that button again.
  void flyoutButtonLeft(Flyout which);
  // That button was pressed from the keyboard: the focus goes into its commands.
  void flyoutEntered(Flyout which);
  // The pointer is over the list side of the panel, away from the command buttons.
  void flyoutDismissed();
  // The panel moved or was pressed: the flyout keeps its place beside it.
  void moved();
  // The panel is being put away: the toggle button that fetches it back is shown.
  void putAway();
  void searchRequested();
  void addressRequested();  // the add address dialog
  void aboutRequested();
  void equalizerRequested();
  // Tab went past the last control (or Shift+Tab before the first): the next window's turn.
  void tabbedOut(bool next);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  SkinButton* makeButton(const char* name, const char* caption, int top);
  // A press or a move over the background: it drags the panel and tidies the flyout.
  void backgroundPressed(Qt::MouseButton button, const QPoint& globalPos);
  void backgroundMoved(int x);
  void handleKeyRelease(QKeyEvent* event, bool fromList);
  // Ctrl+I: the file info dialog for the focused entry.
  static bool isFileInfoKey(const QKeyEvent* event);
  // Ctrl+Z undoes the last playlist change, Ctrl+Shift+Z and Ctrl+Y redo it. True when the key was
  // one of them: it acts on its press and goes no further (not to the seek or Delete keys).
  bool undoKey(const QKeyEvent* event);

  Core& core_;
  PlaylistListModel* model_;
  PlaylistView* cpvcoollist2_;
  SkinCheckBox* chkloop_;
  SkinCheckBox* chkshuffle_;
  QLabel* lblloop_;
  QLabel* lblshuffle_;
  QLabel* emptyHint_;
  SkinButton* cmdadd_;
  SkinButton* cmdrem_;
  SkinButton* cmdsort_;
  SkinButton* cmdload_;
  SkinButton* cmdsave_;
  SkinImage* Image1_;
  SkinImage* Image2_;
  SkinImage* Image3_;
  QTimer* Timer1_;
  QTimer* Timer2_;
  WindowDrag* drag_;
  PopupMenus* menus_;
  HideAnimation hide_;
  KeyPresses keys_;
};

}  // namespace sonavex
