#pragma once
// The File Info dialog: the ID3v1 tag fields and the first MPEG frame header of one file. Built
// afresh for every showing from texts read before it is constructed, so captions never carry over.
#include <QDialog>

#include "core/FileInfoTexts.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace sonavex {

class SkinButton;
struct Core;

class frmTag : public QDialog {
  Q_OBJECT

 public:
  explicit frmTag(const FileInfoTexts& texts, QWidget* parent = nullptr);

 private slots:
  void cmdCancel_Click();

 private:
  void buildTagPanels();
  void buildMpegPanels();
  void showTexts(const FileInfoTexts& texts);

  QGroupBox* frmID3 = nullptr;
  QGroupBox* frmNoTag = nullptr;
  QGroupBox* frmMPEG = nullptr;
  QGroupBox* frmNoMPEG = nullptr;
  QWidget* frmButtons = nullptr;
  QLineEdit* Title = nullptr;
  QLineEdit* Artist = nullptr;
  QLineEdit* Album = nullptr;
  QLineEdit* Year = nullptr;
  QLineEdit* Comment = nullptr;
  QComboBox* Genre = nullptr;
  QLabel* labNoTag = nullptr;
  QLabel* labSize = nullptr;
  QLabel* labLength = nullptr;
  QLabel* labLayer = nullptr;
  QLabel* labBitRate = nullptr;
  QLabel* labFreqChan = nullptr;
  QLabel* labCRC = nullptr;
  QLabel* labCopy = nullptr;
  QLabel* labOriginal = nullptr;
  QLabel* labEmphasis = nullptr;
  SkinButton* cmdCancel = nullptr;
};

// The playlist's "File Info" command for the shown list's focused entry: the not-MPEG message
// (through core.platform.messages) before the modal dialog, or a message naming the file instead
// of the dialog when it cannot be read. Returns after the dialog has closed.
void showFileInfoDialog(Core& core, QWidget* parent);

}  // namespace sonavex
