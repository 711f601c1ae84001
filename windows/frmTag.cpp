#include "windows/frmTag.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/SkinButton.h"
#include "core/Core.h"

namespace sonavex {
namespace {

// The layout is given in twips; at the usual 96 dots per inch a pixel is 15 twips.
int px(int twips) { return twips / 15; }

QRect twipsRect(int left, int top, int width, int height) {
  return QRect(px(left), px(top), px(width), px(height));
}

QString latin1(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QLineEdit* textBox(QWidget* parent, const char* name, QRect geometry, int maxLength) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setGeometry(geometry);
  box->setMaxLength(maxLength);
  return box;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QPoint at) {
  auto* lab = new QLabel(QString::fromLatin1(caption), parent);
  lab->setObjectName(name);
  lab->move(at);
  lab->adjustSize();
  return lab;
}

}  // namespace

frmTag::frmTag(const FileInfoTexts& texts, QWidget* parent) : QDialog(parent) {
  setObjectName("frmTag");
  setWindowTitle("MPEG File Info Box + ID3 Tag Editor");
  setFixedSize(px(6480), px(2715));
  buildTagPanels();
  buildMpegPanels();
  showTexts(texts);
}

void frmTag::buildTagPanels() {
  // The no-tag panel lies beneath the tag panel at the same place: created first, it is drawn
  // below and shows only once the tag panel is hidden.
  frmNoTag = new QGroupBox("Tag info", this);
  frmNoTag->setObjectName("frmNoTag");
  frmNoTag->setGeometry(twipsRect(120, 120, 3975, 2055));
  labNoTag = label(frmNoTag, "labNoTag", kNoTagCaption, QPoint(px(240), px(840)));

  frmID3 = new QGroupBox("Tag info", this);
  frmID3->setObjectName("frmID3");
  frmID3->setGeometry(twipsRect(120, 120, 3975, 2055));
  frmID3->setAutoFillBackground(true);  // covers the no-tag panel
  Title = textBox(frmID3, "Title", twipsRect(840, 240, 3015, 285), 30);
  Artist = textBox(frmID3, "Artist", twipsRect(840, 600, 3015, 285), 30);
  Album = textBox(frmID3, "Album", twipsRect(840, 960, 3015, 285), 30);
  Year = textBox(frmID3, "Year", twipsRect(840, 1320, 495, 285), 4);
  Comment = textBox(frmID3, "Comment", twipsRect(840, 1680, 3015, 285), 30);
  Genre = new QComboBox(frmID3);
  Genre->setObjectName("Genre");
  Genre->setGeometry(twipsRect(1920, 1320, 1935, 285));
  label(frmID3, "labTitle", "Title", QPoint(px(60), px(270)));
  label(frmID3, "labArtist", "Artist", QPoint(px(60), px(630)));
  label(frmID3, "labAlbum", "Album", QPoint(px(60), px(990)));
  label(frmID3, "labYear", "Year", QPoint(px(60), px(1350)));
  label(frmID3, "labGenre", "Genre", QPoint(px(1440), px(1350)));
  label(frmID3, "labComent", "Comment", QPoint(px(60), px(1710)));

  frmButtons = new QWidget(this);
  frmButtons->setObjectName("frmButtons");
  frmButtons->setGeometry(twipsRect(120, 2280, 3255, 495));
  cmdCancel = new SkinButton("ok", frmButtons);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setGeometry(twipsRect(1020, 60, 1215, 375));
  connect(cmdCancel, &QPushButton::clicked, this, &frmTag::cmdCancel_Click);
}

void frmTag::buildMpegPanels() {
  // Nothing hides the MPEG panel, so the panel beneath it stays covered.
  frmNoMPEG = new QGroupBox("MPEG info", this);
  frmNoMPEG->setObjectName("frmNoMPEG");
  frmNoMPEG->setGeometry(twipsRect(4200, 120, 2175, 2415));
  label(frmNoMPEG, "labNoMPEG", "Probably not a MP3 file...", QPoint(px(120), px(960)));

  frmMPEG = new QGroupBox("MPEG info", this);
  frmMPEG->setObjectName("frmMPEG");
  frmMPEG->setGeometry(twipsRect(4200, 120, 2175, 2415));
  frmMPEG->setAutoFillBackground(true);
  const int step = 240;
  int top = 210;
  auto next = [&top, step] { QPoint at(px(120), px(top)); top += step; return at; };
  labSize = label(frmMPEG, "labSize", "Size:", next());
  labLength = label(frmMPEG, "labLength", "Length:", next());
  labLayer = label(frmMPEG, "labLayer", "", next());
  labBitRate = label(frmMPEG, "labBitRate", "", next());
  labFreqChan = label(frmMPEG, "labFreqChan", "", next());
  labCRC = label(frmMPEG, "labCRC", "CRCs:", next());
  labCopy = label(frmMPEG, "labCopy", "Copyrighted:", next());
  labOriginal = label(frmMPEG, "labOriginal", "Original:", next());
  labEmphasis = label(frmMPEG, "labEmphasis", "Emphasis:", next());
}

void frmTag::showTexts(const FileInfoTexts& texts) {
  if (texts.tag.present) {
    Title->setText(latin1(std::string(shownText(texts.tag.Title))));
    Artist->setText(latin1(std::string(shownText(texts.tag.Artist))));
    Album->setText(latin1(std::string(shownText(texts.tag.Album))));
    Year->setText(latin1(std::string(shownText(texts.tag.Year))));
    Comment->setText(latin1(std::string(shownText(texts.tag.Comment))));
  } else {
    frmID3->hide();
    frmButtons->hide();
  }
  const std::pair<QLabel*, const std::string*> captions[] = {
      {labSize, &texts.labSize},         {labLength, &texts.labLength},
      {labLayer, &texts.labLayer},       {labBitRate, &texts.labBitRate},
      {labFreqChan, &texts.labFreqChan}, {labCRC, &texts.labCRC},
      {labCopy, &texts.labCopy},         {labOriginal, &texts.labOriginal},
      {labEmphasis, &texts.labEmphasis}};
  for (const auto& [lab, text] : captions) {
    lab->setText(latin1(*text));
    lab->adjustSize();
  }
}

void frmTag::cmdCancel_Click() { reject(); }

void showFileInfoDialog(Core& core, QWidget* parent) {
  const std::optional<FileInfoTexts> texts = loadFileInfo(core);
  if (!texts) return;
  frmTag dialog(*texts, parent);
  dialog.exec();
}

}  // namespace sonavex
