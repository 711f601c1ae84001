#pragma once
// Message boxes shown with Qt, with the title, text, buttons and icon exactly as asked; a notice is
// a box that is not modal and deletes itself when closed.
#include "core/model/Platform.h"

class QWidget;

namespace sonavex {

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                 MsgIcon icon) override;
  void notify(const std::string& text, const std::string& title, MsgIcon icon) override;

 private:
  QWidget* owner_;
};

}  // namespace sonavex
