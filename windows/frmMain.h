#pragma once
// The player window: an ellipse that opens like an iris, with five transport buttons, the
// scrolling title, the time labels, the lens-shaped seek bar and its own close and minimise images.
// It is dragged by its body and its companion windows dock to it. Every event goes to a core
// operation; render() then shows what the core's face says.
#include <QWidget>

#include "ui/KeyPresses.h"
#include "core/model/PlayerShape.h"

class QLabel;
class QPushButton;
class QTimer;

namespace sonavex {

class Forms;
class SkinButton;
class SkinImage;
class WindowDrag;

class frmMain : public QWidget {
  Q_OBJECT
 public:
  // The designed client area; the window is laid out with a classic frame around it, which the
  // elliptical region always cuts away.
  static constexpr int kClientWidth = 244;
  static constexpr int kClientHeight = 249;

  explicit frmMain(Forms& forms);

  // Shows the core's face: texts, seek bar fill, visibility, enabled state and the two timers.
  void render();

  void cmdplay_Click();
  void cmdpause_Click();
  void cmdstop_Click();
  void cmdprev_Click();
  void currenttracknumber();
  // Cuts the window to the ellipse of the iris values.
  bool changeshape();
  // One tick of the opening iris.
  void Timer1_Timer();
  const Iris& iris() const { return iris_; }
  int widthpixels() const { return widthpixels_; }
  int heightpixels() const { return heightpixels_; }
  // The place of a designed client-area rectangle in this window.
  static QRect clientRect(int left, int top, int width, int height);

  // Shown in the normal state (at start and on every restore): the volume popup is placed and
  // shown, and the playlist window slides in.
  void Form_Resize();
  // The minimise image: the window is minimised and its companions go away with it.
  void imgmin2_Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  SkinButton* makeButton(const char* name, const char* caption, int left);
  SkinImage* makeImage(const char* name, const char* asset, QRect place, const QString& accessibleName);
  void cmdnext_Click();
  void marqueeTick();
  // Hides what follows the player when it is minimised, however that came about, and brings it
  // back when the player is restored.
  void hideCompanions();
  void followWindowState();

  Forms& forms_;
  Iris iris_;
  int widthpixels_;
  int heightpixels_;
  SkinButton* cmdplay_;
  SkinButton* cmdstop_;
  SkinButton* cmdpause_;
  SkinButton* cmdnext_;
  SkinButton* cmdprev_;
  QLabel* lblsongname_;
  QLabel* lblctime_;
  QLabel* lblttime_;
  QLabel* lbltmp_;
  QLabel* lbltmp1_;
  SkinImage* imgclose1_;
  SkinImage* imgclose2_;
  SkinImage* imgmin1_;
  SkinImage* imgmin2_;
  SkinImage* picprog_;
  SkinImage* imgprog_;
  QTimer* Timer1_;
  QTimer* Timer2_;
  WindowDrag* drag_;
  KeyPresses keys_;
  bool minimised_ = false;
};

}  // namespace sonavex
