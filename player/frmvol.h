#pragma once
// The volume popup: a crescent on the player window's top edge whose fill shows the volume. A click
// along the arc sets the volume; the fill is a plain band until the skin draws the arc.
#include <QWidget>

namespace sonavex {

class ClickArea;
struct Core;

class frmvol : public QWidget {
  Q_OBJECT
 public:
  // Loading builds the crescent region and sets the engine to full volume.
  explicit frmvol(Core& core);

  // Places the popup on the player window (210 twips right of its left edge, level with its top).
  void placeOn(const QWidget& player);
  // Shows the fill width the core holds.
  void render();
  // The region the window is cut to, as the core's figures give it.
  static QRegion crescent(int scaleWidth, int scaleHeight);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Core& core_;
  ClickArea* Image1_;
};

}  // namespace sonavex
