#pragma once
// The playlist toggle button: a small oval on the player window, shown while the playlist window
// is put away. Pointing at it lights it up; clicking it slides the playlist window back in.
#include <QPoint>
#include <QWidget>

class QTimer;

namespace sonavex {

class Forms;
class SkinImage;

class frmbutton : public QWidget {
  Q_OBJECT
 public:
  explicit frmbutton(Forms& forms);

  // Hides the playlist window, gives it its docked shape, shows it just off the screen's right edge
  // and slides it left beside the player, letting pending events run between the steps.
  void playlistmotion();
  // One tick of the pointer watch: the normal look comes back once the pointer has left the
  // button's rectangle.
  void Timer1_Timer();
  bool highlighted() const;
  bool sliding() const { return sliding_; }

 private:
  void Image1_MouseMove();
  void Image2_Click();

  Forms& forms_;
  SkinImage* Image1_;
  SkinImage* Image2_;
  QTimer* Timer1_;
  QPoint pointer_;  // where the pointer was last seen, in screen pixels
  bool sliding_ = false;
};

}  // namespace sonavex
