#include "windows/frmTag.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/FocusChain.h"
#include "ui/SkinButton.h"
#include "core/Core.h"

namespace sonavex {
namespace {

// The designed sizes, in twips; at the usual 96 dots per inch a pixel is 15 twips. They are the
// least a control gets: the layouts give more where the fonts need it.
int px(int twips) { return twips / 15; }

QString latin1(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QLineEdit* textBox(QWidget* parent, const char* name, int widthTwips, int maxLength) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setMinimumWidth(px(widthTwips));
  box->setMaxLength(maxLength);
  return box;
}

QLabel* label(QWidget* parent, const char* name, const char* caption) {
  auto* lab = new QLabel(QString::fromLatin1(caption), parent);
  lab->setObjectName(name);
  return lab;
}

// Wide enough for `sample` whole and the cursor after it. A line edit asks for 17 x's plus its own
// margins and frame, which this keeps.
int widthFor(const QLineEdit& box, const QString& sample) {
  const QFontMetrics metrics = box.fontMetrics();
  const int chrome = box.sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
  return metrics.horizontalAdvance(sample) + chrome + 2;
}

// Beside its box, named by it for screen readers.
void caption(QGridLayout* grid, QWidget* parent, const char* name, const char* text, QWidget* box,
             int row, int column) {
  QLabel* lab = label(parent, name, text);
  lab->setBuddy(box);
  box->setAccessibleName(lab->text());
  grid->addWidget(lab, row, column);
}

}  // namespace

frmTag::frmTag(const FileInfoTexts& texts, QWidget* parent) : QDialog(parent) {
  setObjectName("frmTag");
  setWindowTitle("MPEG File Info Box + ID3 Tag Editor");
  buildTagPanels();
  buildMpegPanels();
  auto* left = new QVBoxLayout;
  left->addWidget(frmNoTag);
  left->addWidget(frmID3);
  left->addWidget(frmButtons);
  left->addStretch();
  auto* whole = new QHBoxLayout(this);
  whole->addLayout(left);
  whole->addWidget(frmNoMPEG, 0, Qt::AlignTop);
  whole->addWidget(frmMPEG, 0, Qt::AlignTop);
  // As large as the fonts need, never smaller than designed; not resizable.
  whole->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumSize(px(6480), px(2715));
  showTexts(texts);
}

void frmTag::buildTagPanels() {
  // The no-tag panel takes the tag panel's place when the file has no tag.
  frmNoTag = new QGroupBox("Tag info", this);
  frmNoTag->setObjectName("frmNoTag");
  frmNoTag->setMinimumSize(px(3975), px(2055));
  labNoTag = label(frmNoTag, "labNoTag", kNoTagCaption);
  (new QVBoxLayout(frmNoTag))->addWidget(labNoTag, 0, Qt::AlignCenter);

  frmID3 = new QGroupBox("Tag info", this);
  frmID3->setObjectName("frmID3");
  frmID3->setMinimumWidth(px(3975));
  Title = textBox(frmID3, "Title", 3015, 30);
  Artist = textBox(frmID3, "Artist", 3015, 30);
  Album = textBox(frmID3, "Album", 3015, 30);
  Year = textBox(frmID3, "Year", 495, 4);
  Year->setFixedWidth(widthFor(*Year, QStringLiteral("0000")));
  Comment = textBox(frmID3, "Comment", 3015, 30);
  Genre = new QComboBox(frmID3);
  Genre->setObjectName("Genre");
  Genre->setMinimumWidth(px(1935) / 2);
  auto* grid = new QGridLayout(frmID3);
  grid->setColumnStretch(3, 1);
  caption(grid, frmID3, "labTitle", "Title", Title, 0, 0);
  grid->addWidget(Title, 0, 1, 1, 3);
  caption(grid, frmID3, "labArtist", "Artist", Artist, 1, 0);
  grid->addWidget(Artist, 1, 1, 1, 3);
  caption(grid, frmID3, "labAlbum", "Album", Album, 2, 0);
  grid->addWidget(Album, 2, 1, 1, 3);
  caption(grid, frmID3, "labYear", "Year", Year, 3, 0);
  grid->addWidget(Year, 3, 1);
  caption(grid, frmID3, "labGenre", "Genre", Genre, 3, 2);
  grid->addWidget(Genre, 3, 3);
  caption(grid, frmID3, "labComent", "Comment", Comment, 4, 0);
  grid->addWidget(Comment, 4, 1, 1, 3);

  frmButtons = new QWidget(this);
  frmButtons->setObjectName("frmButtons");
  cmdCancel = new SkinButton("ok", frmButtons);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setFixedSize(px(1215), px(375));
  auto* row = new QHBoxLayout(frmButtons);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(cmdCancel, 0, Qt::AlignCenter);
  connect(cmdCancel, &QPushButton::clicked, this, &frmTag::cmdCancel_Click);
}

void frmTag::buildMpegPanels() {
  // Shown only for a file without an MPEG frame, which never gets this far.
  frmNoMPEG = new QGroupBox("MPEG info", this);
  frmNoMPEG->setObjectName("frmNoMPEG");
  (new QVBoxLayout(frmNoMPEG))
      ->addWidget(label(frmNoMPEG, "labNoMPEG", "Probably not a MP3 file..."), 0, Qt::AlignCenter);
  frmNoMPEG->hide();

  frmMPEG = new QGroupBox("MPEG info", this);
  frmMPEG->setObjectName("frmMPEG");
  frmMPEG->setMinimumWidth(px(2175));
  auto* lines = new QVBoxLayout(frmMPEG);
  const std::pair<QLabel**, const char*> labels[] = {
      {&labSize, "labSize"},         {&labLength, "labLength"}, {&labLayer, "labLayer"},
      {&labBitRate, "labBitRate"},   {&labFreqChan, "labFreqChan"}, {&labCRC, "labCRC"},
      {&labCopy, "labCopy"},         {&labOriginal, "labOriginal"}, {&labEmphasis, "labEmphasis"}};
  for (const auto& [lab, name] : labels) {
    *lab = label(frmMPEG, name, "");
    lines->addWidget(*lab);
  }
}

void frmTag::showTexts(const FileInfoTexts& texts) {
  if (texts.tag.present) {
    Title->setText(latin1(std::string(shownText(texts.tag.Title))));
    Artist->setText(latin1(std::string(shownText(texts.tag.Artist))));
    Album->setText(latin1(std::string(shownText(texts.tag.Album))));
    Year->setText(latin1(std::string(shownText(texts.tag.Year))));
    Comment->setText(latin1(std::string(shownText(texts.tag.Comment))));
    frmNoTag->hide();
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
  for (const auto& [lab, text] : captions) lab->setText(latin1(*text));
  // Read out as the dialog opens: a reader says a dialog's description after its title, but skips
  // labels inside a titled panel (the panel names them) and reads a box only when it is reached.
  QStringList heard;
  for (const auto& [control, text] : fileInfoLines(texts)) {
    const QString shown = latin1(text).trimmed();
    const bool box = control.rfind("lab", 0) != 0;
    if (!shown.isEmpty()) heard << (box ? QString::fromStdString(control) + ": " + shown : shown);
  }
  setAccessibleDescription(heard.join(QLatin1Char('\n')));
}

void frmTag::cmdCancel_Click() { reject(); }

void showFileInfoDialog(Core& core, QWidget* parent) {
  const std::optional<FileInfoTexts> texts = loadFileInfo(core);
  if (!texts) return;
  frmTag dialog(*texts, parent);
  const KeyboardReturn keyboard;
  dialog.exec();
}

}  // namespace sonavex
