#pragma once
// The About box: the product's name, version and a short notice, an animation, and a button that
// starts the desktop's system-information tool. Modeless; closing it deletes it.
#include <QWidget>

class QTimer;

namespace sonavex {

struct Core;

// The 70 x 103 animation slot: the 14 frames of the skin's about-animation sheet, looping.
class AboutAnimation : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kFrames = 14;
  explicit AboutAnimation(QWidget* parent);
  int frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer* timer_;
  int frame_ = 0;
};

class frmAbout : public QWidget {
  Q_OBJECT
 public:
  explicit frmAbout(Core& core);
  void CMDOK_Click();
  void cmdSysInfo_Click();

 protected:
  // Escape closes the box, as OK does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Core& core_;
};

}  // namespace sonavex
