#pragma once
// The player window: an ellipse that opens like an iris, with five transport buttons, the
// scrolling title, the time labels, the lens-shaped seek bar and its own close and minimise images.
// It is dragged by its body and its companion windows dock to it. Every event runs a core command;
// render() shows what the core's face says after every command, whoever ran it. What concerns other
// windows (the menu, the companions) it only asks for, by its signals.
#include <QWidget>
#include <string>

#include "core/model/PlayerShape.h"
#include "ui/KeyPresses.h"

class QLabel;
class QPushButton;
class QTimer;

namespace sonavex {

struct Core;
class ReaderNotice;
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

  explicit frmMain(Core& core);

  // Shows the core's face: texts, seek bar fill, visibility, enabled state and the marquee timer.
  void render();

  void cmdplay_Click();
  void cmdpause_Click();
  void cmdstop_Click();
  void cmdnext_Click();
  void cmdprev_Click();
  // Cuts the window to the ellipse of the iris values.
  void changeshape();
  // One tick of the opening iris.
  void Timer1_Timer();
  const Iris& iris() const { return iris_; }
  int widthpixels() const { return widthpixels_; }
  int heightpixels() const { return heightpixels_; }
  // The place of a designed client-area rectangle in this window.
  static QRect clientRect(int left, int top, int width, int height);

  // Shown in the normal state (at start and on every restore).
  void Form_Resize();
  // The minimise image: the window is minimised and its companions go away with it.
  void imgmin2_Click();

 signals:
  // Shown in the normal state: the volume popup is placed and shown, and the playlist window slides
  // in.
  void shownNormal();
  // Minimised, however that came about: the companions go away with it.
  void minimised();
  // The window has a new place (a drag ended), or any other button was pressed on its body: the
  // companions dock to it.
  void moved();
  // The main menu, at a place on the screen.
  void mainMenuRequested(const QPoint& at);
  // Tab went past the last control (or Shift+Tab before the first): the next window's turn.
  void tabbedOut(bool next);

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
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  SkinButton* makeButton(const char* name, const char* caption, int left);
  SkinImage* makeImage(const char* name, const char* asset, QRect place, const QString& accessibleName);
  // Follows the state the window system settled in: minimised, or restored from it.
  void followWindowState();
  void goneMinimised();
  // What a screen reader hears: the title, the times and the seek bar's position.
  void renderForReaders();
  // Where the seek bar's focus mark goes: around its lens, in the window.
  QRectF seekBarFocusArea() const;

  Core& core_;
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
  ReaderNotice* notice_;
  KeyPresses keys_;
  bool minimised_ = false;
  // The times screen readers were last told.
  std::string readElapsed_;
  std::string readTotal_;
};

}  // namespace sonavex
