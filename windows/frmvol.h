#pragma once
// The volume popup: a crescent on the player window's top edge whose fill shows the volume. A click
// along the arc sets the volume; Tab reaches the arc, where the arrow keys (and + and -) set it a
// tenth at a time. A new level is told to screen readers.
#include <QWidget>

namespace sonavex {

class ReaderNotice;
class SkinImage;
class VolumeLegend;
struct Core;

class frmvol : public QWidget {
  Q_OBJECT
 public:
  // Loading builds the crescent region and sets the engine to full volume.
  explicit frmvol(Core& core);

  // Shows the fill width the core holds.
  void render();

 signals:
  // Tab went on from the arc (Shift+Tab back): the next window's turn.
  void tabbedOut(bool next);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  Core& core_;
  SkinImage* Image1_;
  SkinImage* arc_;  // the control the keyboard and screen readers have: the whole arc
  VolumeLegend* legend_;
  ReaderNotice* notice_;
  double told_ = -1;  // the level in percent last told, -1 before the first
};

}  // namespace sonavex
