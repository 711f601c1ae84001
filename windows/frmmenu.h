#pragma once
// The command window: seven buttons in three rows (add: file, dir, url; remove; sort) that fly out
// beside the playlist window, one row at a time, while the pointer is over the matching playlist
// button or after that button was pressed from the keyboard, which brings the focus here until
// Escape. Where the screen has no room beside the panel it flies out over the list instead, never
// over its button.
#include <QWidget>

#include "core/model/Flyout.h"

namespace sonavex {

class SkinButton;
struct Core;

class frmmenu : public QWidget {
  Q_OBJECT

 public:
  // Which playlist button the pointer is over; the pair level with it is shown.
  using Flyout = sonavex::Flyout;
  // The window's width: the visible strip is 199 pixels narrower.
  static constexpr int kScaleWidth = 277;
  static constexpr int kStripWidth = kScaleWidth - 199;

  explicit frmmenu(Core& core, QWidget* parent = nullptr);

  // Places the window beside `panel`: its right edge + 22 twips, level with its client top; moved
  // onto the screen as it shows.
  void placeBeside(const QWidget& panel);
  // Shows only the pair level with the pointed button of the playlist window, whole on the screen.
  void showFlyout(Flyout which);
  Flyout shownFlyout() const { return shown_; }
  // The pointer is over the strip that shows.
  bool underPointer() const;
  // One of its buttons has the keyboard (it was entered from the keyboard).
  bool hasKeyboard() const;

  void cmdfile_Click();
  void cmddir_Click();
  void cmdsel_Click();
  void cmdall_Click();
  void cmdname_Click();
  void cmdrnd_Click();

  SkinButton* cmdfile;
  SkinButton* cmddir;
  SkinButton* cmdurl;
  SkinButton* cmdsel;
  SkinButton* cmdall;
  SkinButton* cmdname;
  SkinButton* cmdrnd;

 signals:
  // Escape: the keyboard goes back to the playlist button whose commands these are.
  void left(Flyout which);
  // The pointer went off the strip.
  void pointerLeft();
  // The add address button: its dialog is Forms' to show.
  void addressRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  SkinButton* makeButton(const char* name, const QString& caption, int row, int column);
  // The designed place, moved where the strip shows whole on the screen and off its button.
  QPoint placeOnScreen() const;

  Core& core_;
  Flyout shown_ = Flyout::Add;
  QPoint designedPlace_;  // beside the panel, before it was moved onto the screen
  int buttonsLeft_ = 0;   // the panel's command buttons' left edge on the screen
};

}  // namespace sonavex
