#pragma once
// The skin's check box: the drawn box, with its caption (if any) in cyan beside it. It stays a
// QCheckBox for clicks, the keyboard and screen readers. Tab reaches it, Space and Enter turn it,
// and every other key goes on to its window.
#include <QCheckBox>

namespace sonavex {

class SkinCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  static constexpr QSize kBoxSize{12, 13};
  explicit SkinCheckBox(const QString& text, QWidget* parent = nullptr);
  explicit SkinCheckBox(QWidget* parent = nullptr) : SkinCheckBox(QString(), parent) {}
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // The whole control takes the click, not only the style's indicator.
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace sonavex
