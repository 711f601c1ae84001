#pragma once
// The volume popup: a crescent on the player window's top edge whose fill shows the volume. A click
// along the arc sets the volume.
#include <QWidget>

namespace sonavex {

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

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Core& core_;
  SkinImage* Image1_;
  VolumeLegend* legend_;
};

}  // namespace sonavex
