#pragma once
// A notice for screen readers in a window: an object of the notification role that draws nothing.
// Each notice shows it anew under the notice's text, and readers announce a notification as it
// appears, wherever the keyboard is (a name that changes on a label is read only when asked for).
#include <QWidget>

namespace sonavex {

class ReaderNotice : public QWidget {
  Q_OBJECT
 public:
  explicit ReaderNotice(QWidget* window);

  void tell(const QString& text);
};

}  // namespace sonavex
