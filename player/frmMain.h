#pragma once
// The player window: five transport buttons, the scrolling title, the time labels and the seek bar.
// Every event goes to a core operation; render() then shows what the core's face says.
#include <QWidget>

#include "app/KeyPresses.h"

class QLabel;
class QPushButton;
class QTimer;

namespace sonavex {

class ClickArea;
class Forms;

class frmMain : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 244;
  static constexpr int kClientHeight = 249;

  explicit frmMain(Forms& forms);

  // Shows the core's face: texts, seek bar fill, visibility, enabled state and the two timers.
  void render();

  void cmdplay_Click();
  void cmdpause_Click();
  void cmdstop_Click();
  void currenttracknumber();
  bool changeshape() { return true; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QPushButton* makeButton(const char* name, const char* caption, int left);
  void cmdnext_Click();
  void cmdprev_Click();
  void marqueeTick();

  Forms& forms_;
  QPushButton* cmdplay_;
  QPushButton* cmdstop_;
  QPushButton* cmdpause_;
  QPushButton* cmdnext_;
  QPushButton* cmdprev_;
  QLabel* lblsongname_;
  QLabel* lblctime_;
  QLabel* lblttime_;
  QLabel* lbltmp_;
  QLabel* lbltmp1_;
  ClickArea* picprog_;
  ClickArea* imgprog_;
  QTimer* Timer2_;
  KeyPresses keys_;
};

}  // namespace sonavex
