#include "windows/frmeq.h"

#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <cmath>

#include "core/Command.h"
#include "core/EqualizerCommands.h"
#include "ui/FocusChain.h"
#include "ui/Fonts.h"
#include "ui/SkinButton.h"
#include "ui/SkinCheckBox.h"
#include "ui/SkinImage.h"
#include "ui/Skin.h"

namespace sonavex {

namespace {

// The sliders' travel, as equalizer-body.svg draws it: +12 dB at the top, -12 at the bottom.
constexpr int kTop = 28, kBottom = 128, kKnobMargin = 8, kColumnWidth = 18;
constexpr std::array<int, kSliders> kColumns{36, 72, 94, 116, 138, 160, 182, 204, 226, 248, 270};
constexpr std::array<const char*, kSliders> kCaptions{"pre", "31", "62", "125", "250", "500",
                                                      "1k", "2k", "4k", "8k", "16k"};
const QColor kInk(0xC0, 0xFF, 0xFF), kDimInk(0x58, 0x70, 0x88);

// The window's sliders run preamp first; the core numbers the bands first.
int coreSlider(int index) { return index == 0 ? kPreampSlider : index - 1; }

double knobCentre(double db) { return kKnobMargin + (kMaxBandDb - db) / (2 * kMaxBandDb) * (kBottom - kTop); }
double dbAt(int y) { return kMaxBandDb - (y - kKnobMargin) * (2 * kMaxBandDb) / (kBottom - kTop); }

QString dbText(double db) {
  return QStringLiteral("%1%2 dB").arg(db > 0 ? QStringLiteral("+") : QString()).arg(db);
}

QString sliderName(int index) {
  if (index == 0) return QStringLiteral("Preamp");
  const double hz = kBandHz[static_cast<std::size_t>(index - 1)];
  return hz >= 1000 ? QStringLiteral("%1 kHz").arg(hz / 1000) : QStringLiteral("%1 Hz").arg(hz);
}

}  // namespace

frmeq::frmeq(Core& core) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName(QStringLiteral("frmeq"));
  setWindowTitle(QStringLiteral("Equalizer"));
  setAccessibleName(QStringLiteral("Equalizer"));
  setFixedSize(kClientWidth, kClientHeight);

  on_ = new SkinCheckBox(QStringLiteral("On"), this);
  on_->setObjectName(QStringLiteral("chkeqon"));
  on_->setAccessibleName(QStringLiteral("Equalizer on"));
  QFont caption = designFont(QStringLiteral("Book Antiqua"));
  caption.setPointSizeF(8.25);
  on_->setFont(caption);
  on_->setGeometry(6, 3, 40, 15);
  // On Linux a reader takes a choice box's name from its label, its own being the choice.
  auto* label = new QLabel(QStringLiteral("Preset"), this);
  label->setObjectName(QStringLiteral("lbleqpreset"));
  label->setFont(caption);
  QPalette ink = label->palette();
  ink.setColor(QPalette::WindowText, kInk);
  label->setPalette(ink);
  label->setGeometry(48, 3, 40, 15);
  connect(on_, &SkinCheckBox::clicked, this, [this] { perform(core_, eqOnOff_Click); });

  presets_ = new QComboBox(this);
  presets_->setObjectName(QStringLiteral("cboeqpreset"));
  presets_->setAccessibleName(QStringLiteral("Preset"));
  presets_->setPlaceholderText(QStringLiteral("Custom"));
  presets_->setFocusPolicy(Qt::TabFocus);
  presets_->setGeometry(88, 2, 104, 17);
  label->setBuddy(presets_);
  presets_->setStyleSheet(QStringLiteral(
      "QComboBox { background: #0c1430; color: #c0ffff; border: 1px solid #2aa8c8; border-radius: 3px;"
      " padding: 0 4px; font-size: 8pt; }"
      "QComboBox:focus { border: 1px dotted #ffffff; }"
      "QComboBox::drop-down { border: none; width: 12px; }"
      "QComboBox::down-arrow { image: url(:/skin/combo-arrow.svg); width: 8px; height: 5px; }"
      "QComboBox QAbstractItemView { background: #0c1430; color: #c0ffff; border: 1px solid #2aa8c8;"
      " selection-background-color: #8080ff; selection-color: #ffffff; }"));
  // Arrow keys on the closed box choose too: the curve follows as the choice moves.
  connect(presets_, &QComboBox::activated, this, [this](int index) { perform(core_, eqPreset_Choose, index); });

  save_ = new SkinButton(QStringLiteral("Save"), this);
  save_->setObjectName(QStringLiteral("cmdeqsave"));
  save_->setAccessibleName(QStringLiteral("Save preset"));
  save_->setGeometry(196, 2, 42, 17);
  connect(save_, &SkinButton::clicked, this, [this] { savePreset(); });
  delete_ = new SkinButton(QStringLiteral("Delete"), this);
  delete_->setObjectName(QStringLiteral("cmdeqdelete"));
  delete_->setAccessibleName(QStringLiteral("Delete preset"));
  delete_->setGeometry(242, 2, 44, 17);
  connect(delete_, &SkinButton::clicked, this,
          [this] { perform(core_, eqPreset_Delete, presets_->currentIndex()); });

  for (int i = 0; i < kSliders; ++i) makeSlider(i);
  render();
}

void frmeq::makeSlider(int index) {
  auto* slider = sliders_[static_cast<std::size_t>(index)] = new SkinImage(QString(), this);
  slider->setObjectName(QStringLiteral("sldeq%1").arg(index));
  slider->setAccessibleName(sliderName(index));
  slider->setAccessibleRole(QAccessible::Slider);
  slider->setGeometry(kColumns[static_cast<std::size_t>(index)] - kColumnWidth / 2, kTop - kKnobMargin,
                      kColumnWidth, kBottom - kTop + 2 * kKnobMargin);
  auto* knob = knobs_[static_cast<std::size_t>(index)] = new SkinImage(QStringLiteral("equalizer-knob"), slider);
  knob->setAttribute(Qt::WA_TransparentForMouseEvents);
  const auto setFrom = [this, index](QPoint at) { perform(core_, eqSlider_Set, coreSlider(index), dbAt(at.y())); };
  connect(slider, &SkinImage::pressed, this, [this, index, setFrom](Qt::MouseButton button, QPoint at, QPoint) {
    if (button != Qt::LeftButton) return;
    dragged_ = index;
    setFrom(at);
  });
  connect(slider, &SkinImage::moved, this, [this, index, setFrom](QPoint at) {
    if (dragged_ == index) setFrom(at);
  });
  connect(slider, &SkinImage::released, this, [this](Qt::MouseButton button, QPoint) {
    if (button == Qt::LeftButton) dragged_ = -1;
  });
}

void frmeq::render() {
  const QSignalBlocker quiet(on_);
  on_->setChecked(core_.sound.eq.on);
  QStringList names;
  for (int i = 0; i < presetCount(core_); ++i) names << QString::fromStdString(presetAt(core_, i).name);
  QStringList shown;
  for (int i = 0; i < presets_->count(); ++i) shown << presets_->itemText(i);
  if (names != shown) {
    const QSignalBlocker still(presets_);
    presets_->clear();
    presets_->addItems(names);
  }
  presets_->setCurrentIndex(matchingPreset(core_));
  delete_->setEnabled(isUserPreset(core_, presets_->currentIndex()));
  for (int i = 0; i < kSliders; ++i) {
    const double db = sliderDb(core_, coreSlider(i));
    SkinImage* knob = knobs_[static_cast<std::size_t>(i)];
    knob->setGeometry(2, static_cast<int>(std::lround(knobCentre(db))) - 4, 14, 8);
    sliders_[static_cast<std::size_t>(i)]->setAccessibleValue(db, kMaxBandDb, dbText(db), -kMaxBandDb);
  }
  update();  // the captions dim while the equalizer is off
}

int frmeq::focusedSlider() const {
  for (int i = 0; i < kSliders; ++i) {
    if (sliders_[static_cast<std::size_t>(i)]->hasFocus()) return i;
  }
  return -1;
}

void frmeq::keyPressEvent(QKeyEvent* event) {
  const int slider = focusedSlider();
  const int key = event->key();
  if (key == Qt::Key_Escape) {
    emit putAway();
    return;
  }
  double step = 0;
  switch (key) {
    case Qt::Key_Up: case Qt::Key_Right: step = kSliderStepDb; break;
    case Qt::Key_Down: case Qt::Key_Left: step = -kSliderStepDb; break;
    case Qt::Key_PageUp: step = kSliderPageDb; break;
    case Qt::Key_PageDown: step = -kSliderPageDb; break;
    case Qt::Key_Home:
      if (slider >= 0) perform(core_, eqSlider_Set, coreSlider(slider), 0.0);
      return;
    default: break;
  }
  if (slider < 0 || step == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  perform(core_, eqSlider_Step, coreSlider(slider), step);
}

void frmeq::savePreset() {
  const KeyboardReturn keyboard;
  bool ok = false;
  const QString name = QInputDialog::getText(this, QStringLiteral("Save preset"),
                                             QStringLiteral("Name of the preset:"), QLineEdit::Normal, QString(), &ok);
  if (!ok || name.trimmed().isEmpty()) return;
  if (!perform(core_, eqPreset_Save, name.toStdString()) && core_.platform.messages != nullptr) {
    core_.platform.messages->notify("\"" + name.toStdString() + "\" is a built-in preset: choose another name.",
                                    "Sonavex", MsgIcon::Information);
  }
}

void frmeq::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawSkin(painter, rect(), QStringLiteral("equalizer-body"));
  QFont small = font();
  small.setPointSizeF(6.5);
  painter.setFont(small);
  painter.setPen(core_.sound.eq.on ? kInk : kDimInk);
  for (int i = 0; i < kSliders; ++i) {
    const QRect below(kColumns[static_cast<std::size_t>(i)] - 11, kBottom + 8, 22, 12);
    painter.drawText(below, Qt::AlignCenter, QLatin1String(kCaptions[static_cast<std::size_t>(i)]));
  }
  painter.setPen(kDimInk);
  const auto scale = [&](int y, const char* text) {
    painter.drawText(QRect(2, y - 6, 18, 12), Qt::AlignRight | Qt::AlignVCenter, QLatin1String(text));
  };
  scale(kTop, "+12");
  scale((kTop + kBottom) / 2, "0");
  scale(kBottom, "-12");
}

}  // namespace sonavex
