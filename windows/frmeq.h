#pragma once
// The equalizer window: the on switch, the preset choice with Save and Delete, and eleven
// sliders (the preamp, then the ten bands). It docks below the playlist's place, as wide as the
// playlist and its command strip.
// Each slider takes the keyboard (Up and Down a dB, Page Up and Down four, Home back to 0 dB) and
// tells a screen reader its band and its value in dB; Escape puts the window away.
#include <QWidget>
#include <array>

class QComboBox;

namespace sonavex {

class SkinButton;
class SkinCheckBox;
class SkinImage;
struct Core;

class frmeq : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 290;
  static constexpr int kClientHeight = 150;

  explicit frmeq(Core& core);

  // Shows the sound settings the core holds.
  void render();
  // The slider of `index` (0: the preamp, then the bands from the lowest).
  SkinImage* slider(int index) const { return sliders_[static_cast<std::size_t>(index)]; }

 signals:
  // Escape: the window is to be put away and the keyboard to go back to the player.
  void putAway();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void makeSlider(int index);
  void savePreset();
  int focusedSlider() const;

  Core& core_;
  SkinCheckBox* on_;
  QComboBox* presets_;
  SkinButton* save_;
  SkinButton* delete_;
  std::array<SkinImage*, 11> sliders_{};
  std::array<SkinImage*, 11> knobs_{};
  int dragged_ = -1;  // the slider the left button went down on
};

}  // namespace sonavex
