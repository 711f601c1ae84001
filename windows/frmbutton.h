#pragma once
// The playlist toggle button: a small oval on the player window, shown while the playlist window
// is put away. Pointing at it lights it up; clicking it asks for the playlist window back.
#include <QPoint>
#include <QWidget>

class QTimer;

namespace sonavex {

class SkinImage;

class frmbutton : public QWidget {
  Q_OBJECT
 public:
  frmbutton();

  // One tick of the pointer watch: the normal look comes back once the pointer has left the
  // button's rectangle.
  void Timer1_Timer();
  bool highlighted() const;

 signals:
  // The button was clicked and has gone: the playlist window slides back in.
  void playlistRequested();
  // Tab or Shift+Tab: the player's turn (the button is its window's only control).
  void tabbedOut(bool next);

 protected:
  bool focusNextPrevChild(bool next) override;

 private:
  void Image1_MouseMove();
  void Image2_Click();

  SkinImage* Image1_;
  SkinImage* Image2_;
  QTimer* Timer1_;
  QPoint pointer_;  // where the pointer was last seen, in screen pixels
};

}  // namespace sonavex
