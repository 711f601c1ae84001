#pragma once
// The add address window: type the address of a station, a stream or a playlist on the internet
// and add it to the list. Enter adds it, Escape closes the window; an address that is not http(s)
// is refused in the window itself. Modeless; closing it deletes it, and the next opens a fresh one.
#include <QWidget>

class QLabel;
class QLineEdit;

namespace sonavex {

class ReaderNotice;
class SkinButton;
struct Core;

class frmaddress : public QWidget {
  Q_OBJECT
 public:
  explicit frmaddress(Core& core);

  // Adds what is typed and closes, or tells why it cannot be added.
  void cmdaddaddress_Click();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Core& core_;
  QLineEdit* txtaddress_;
  SkinButton* cmdaddaddress_;
  QLabel* lblrefusal_;
  ReaderNotice* notice_;
};

}  // namespace sonavex
