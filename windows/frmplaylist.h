#pragma once
// The playlist window: a borderless skinned panel with the list, the loop and shuffle boxes, the
// command buttons, a hide button and the About icon; it hosts the position clock and the media
// engine, whose notifications it hands to the core.
#include <QWidget>
#include <string>
#include <vector>

#include "ui/KeyPresses.h"
#include "core/model/MediaEngine.h"
#include "core/LastPlaylist.h"
#include "core/model/PanelShape.h"

class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace sonavex {

class Forms;
class PlaylistListModel;
class PlaylistView;
class SkinButton;
class SkinCheckBox;
class SkinImage;
class WindowDrag;
struct Core;

class frmplaylist : public QWidget, public MediaEngineListener {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 302;
  static constexpr int kClientHeight = 178;

  // Loading restores the last playlist and sets balance 0 and rate 1.0.
  frmplaylist(Forms& forms, Core& core);
  ~frmplaylist() override;

  void mnuexit_Click();
  void nextsong();
  void listrefreshing();
  // Dropped files join the playlist, dropped folders are scanned for audio files; nothing plays.
  void filedragging(const std::vector<std::string>& paths);
  // Command-line paths: as a drop, but a playlist file (.plt) is loaded as the load button does.
  void openCommandLinePaths(const std::vector<std::string>& paths);

  // The song menu (right click on a row) and the main menu (right click on the player window).
  QMenu* mnupopup() const { return mnupopup_; }
  QMenu* mnupopupmain() const { return mnupopupmain_; }
  // Opens the song menu at `at` (screen pixels) when `y` (pixels in the list) is over a real row,
  // after making that row the chosen entry.
  void openSongMenu(double y, const QPoint& at);
  void openMainMenu(const QPoint& at);

  // Song menu.
  void mnuplay_Click();
  void mnupause_Click();
  void mnustop_Click();
  void mnufileinfo_Click();
  void mnuplaylistentry_Click();
  void mnusearch_Click();
  void mnudelfromlist_Click();
  void mnudelfromdisk_Click();
  void mnudelfromplaylist_Click();
  void mnudelfromharddisk_Click();
  void mnuinvalid_Click();
  void mnucrop_Click();
  // Main menu.
  void mnufiles_Click();
  void mnudir_Click();
  void mnuload_Click();
  void mnusave_Click();
  void mnupeakvol_Click();
  void mnumute_Click();
  void balanceItem_Click(int item);
  void rateItem_Click(int item);
  void mnuabout_Click();
  // The hide image: the pointer moves off it, the panel is wiped away from the left and the toggle
  // button is shown on the player. The panel stays open and goes on playing.
  void Image3_Click();
  // One tick of the hide animation.
  void Timer1_Timer();
  void stopHideAnimation();
  bool hiding() const { return hide_.running(); }
  // Starts or stops the one-second position clock when its state differs.
  void setClockRunning(bool on);
  // Shows the play mode boxes as the core holds them.
  void render();

  // What the restore of the last playlist found when this window loaded.
  const RestoreResult& restored() const { return restored_; }

  PlaylistView* list() const { return cpvcoollist2_; }
  PlaylistListModel* listModel() const { return model_; }

  void mp1_EndOfStream(long result) override;
  void mp1_PlayStateChange(long oldState, long newState) override;
  void mp1_Error() override;
  void mp1_NewStream() override;

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

 private:
  SkinButton* makeButton(const char* name, const char* caption, int top);
  // A press or a move over the background: it drags the panel and tidies the flyout.
  void backgroundPressed(Qt::MouseButton button, const QPoint& globalPos);
  void backgroundMoved(int x);
  void handleKeyRelease(QKeyEvent* event, bool fromList);
  void afterCoreChange();
  // The pointer came onto the add, remove or sort button: its pair of commands flies out.
  void showFlyoutFor(const QObject* button);
  void clockTick();
  // Ctrl+I: the file info dialog for the focused entry.
  static bool isFileInfoKey(const QKeyEvent* event);
  // Ctrl+Z undoes the last playlist change, Ctrl+Shift+Z and Ctrl+Y redo it. True when the key was
  // one of them: it acts on its press and goes no further (not to the seek or Delete keys).
  bool undoKey(const QKeyEvent* event);
  void showFileInfo();
  void buildMenus();
  // Shows the check marks of the Balance and Pitch items as the core holds them.
  void renderChecks();

  Forms& forms_;
  Core& core_;
  PlaylistListModel* model_;
  PlaylistView* cpvcoollist2_;
  SkinCheckBox* chkloop_;
  SkinCheckBox* chkshuffle_;
  QLabel* lblloop_;
  QLabel* lblshuffle_;
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
  HideAnimation hide_;
  RestoreResult restored_;
  KeyPresses keys_;
  QMenu* mnupopup_ = nullptr;
  QMenu* mnupopupmain_ = nullptr;
  std::vector<QAction*> balanceItems_;
  std::vector<QAction*> rateItems_;
};

}  // namespace sonavex
