#pragma once
// The command window: six buttons in three pairs (add, remove, sort) that fly out beside the
// playlist window, one pair at a time, while the pointer is over the matching playlist button.
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

  explicit frmmenu(Core& core, QWidget* parent = nullptr);

  // Places the window beside `panel`: its right edge + 22 twips, level with its client top.
  void placeBeside(const QWidget& panel);
  // Shows only the pair level with the pointed button of the playlist window.
  void showFlyout(Flyout which);
  Flyout shownFlyout() const { return shown_; }

  void cmdfile_Click();
  void cmddir_Click();
  void cmdsel_Click();
  void cmdall_Click();
  void cmdname_Click();
  void cmdrnd_Click();

  SkinButton* cmdfile;
  SkinButton* cmddir;
  SkinButton* cmdsel;
  SkinButton* cmdall;
  SkinButton* cmdname;
  SkinButton* cmdrnd;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SkinButton* makeButton(const char* name, const QString& caption, int row, int column);

  Core& core_;
  Flyout shown_ = Flyout::Add;
};

}  // namespace sonavex
