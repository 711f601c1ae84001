#pragma once
// The push button of every window: a bevelled periwinkle button with its caption in the button
// font, drawn the same everywhere. It stays a QPushButton for clicks, shortcuts and screen readers.
// Tab reaches it (a click does not take the focus from the list or the window); Space and Enter
// press it, and every other key goes on to its window, where the arrows seek.
#include <QPushButton>

namespace sonavex {

class SkinButton : public QPushButton {
  Q_OBJECT
 public:
  static constexpr qreal kCaptionPointSize = 8.25;
  static constexpr qreal kSmallestPointSize = 5.0;

  explicit SkinButton(const QString& text, QWidget* parent = nullptr);
  explicit SkinButton(QWidget* parent = nullptr) : SkinButton(QString(), parent) {}

  // The point size the caption is drawn at: the designed size, or less where the caption would
  // not fit otherwise.
  qreal captionPointSize() const;

 signals:
  // The pointer came onto the button, or went off it.
  void hovered();
  void unhovered();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // Fits the caption again when its text or the button's width changed since the last fit.
  const QFont& captionFont() const;

  bool hover_ = false;
  mutable QFont captionFont_;
  mutable QString fittedText_;
  mutable int fittedWidth_ = -1;
};

}  // namespace sonavex
