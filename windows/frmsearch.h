#pragma once
// The track search window: type part of a name, get the numbers of the matching entries, pick one
// and play it. Modeless; closing it deletes it, and the next search opens a fresh one.
#include <QWidget>

#include "ui/KeyPresses.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace sonavex {

class ReaderNotice;
class SearchResultsModel;
class SkinButton;
struct Core;

class frmsearch : public QWidget {
  Q_OBJECT
 public:
  explicit frmsearch(Core& core);

  void cmdsearch_Click();
  void cmdgoto_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Escape closes the window.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Core& core_;
  QLineEdit* Text1_;
  SkinButton* cmdsearch_;
  QGroupBox* Frame1_;
  QLabel* lblcount_;
  QComboBox* Combo1_;
  SkinButton* cmdgoto_;
  SearchResultsModel* results_;
  ReaderNotice* notice_;
  KeyPresses keys_;
};

}  // namespace sonavex
