#include "ui/Skin.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

// The artwork lives in a static library, whose resource object the linker would drop unless
// something refers to it.
static void loadSkinResources() { Q_INIT_RESOURCE(skin); }

namespace sonavex {
namespace {

QPixmap render(const QString& name, QSize logicalSize, qreal ratio) {
  QImage image(logicalSize * ratio, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const QString path = QStringLiteral(":/skin/%1.svg").arg(name);
  if (!image.isNull() && QFile::exists(path)) {
    QSvgRenderer renderer(path);
    if (renderer.isValid()) {
      QPainter painter(&image);
      renderer.render(&painter, QRectF(QPointF(0, 0), image.size()));
    }
  }
  QPixmap pixmap = QPixmap::fromImage(std::move(image));
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

}  // namespace

QPixmap skinPixmap(const QString& name, QSize logicalSize, qreal devicePixelRatio) {
  static const bool loaded = (loadSkinResources(), true);
  Q_UNUSED(loaded);
  // The last renderings of each asset, newest first. A window being resized asks for a new size
  // at every step: kept for ever, they would add up to megabytes.
  constexpr qsizetype kKeptPerAsset = 2;
  struct Rendering {
    QSize size;
    qreal ratio;
    QPixmap pixmap;
  };
  // Windows are made and painted on the GUI thread only, so the cache needs no lock.
  static QHash<QString, QList<Rendering>> cache;
  QList<Rendering>& kept = cache[name];
  for (qsizetype i = 0; i < kept.size(); ++i) {
    if (kept[i].size == logicalSize && kept[i].ratio == devicePixelRatio) {
      kept.move(i, 0);
      return kept.front().pixmap;
    }
  }
  kept.prepend({logicalSize, devicePixelRatio, render(name, logicalSize, devicePixelRatio)});
  if (kept.size() > kKeptPerAsset) kept.removeLast();
  return kept.front().pixmap;
}

void drawSkin(QPainter& painter, const QRect& target, const QString& name) {
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  painter.drawPixmap(target.topLeft(), skinPixmap(name, target.size(), ratio));
}

QPixmap skinFrame(const QString& name, QSize frameSize, int frame, int frames,
                  qreal devicePixelRatio) {
  if (frames < 1) frames = 1;
  const QPixmap sheet = skinPixmap(name, QSize(frameSize.width() * frames, frameSize.height()),
                                   devicePixelRatio);
  const int index = ((frame % frames) + frames) % frames;
  const QSize pixels = frameSize * devicePixelRatio;
  QPixmap one = sheet.copy(QRect(QPoint(qRound(index * frameSize.width() * devicePixelRatio), 0),
                                 pixels));
  one.setDevicePixelRatio(devicePixelRatio);
  return one;
}

void drawFocusMark(QPainter& painter, const QRectF& area) {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(0x08, 0x0C, 0x1C), 1));
  painter.drawRect(area);
  painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
  painter.drawRect(area);
  painter.restore();
}

void drawFocusMark(QPainter& painter, const QPainterPath& outline) {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x08, 0x0C, 0x1C), 1.5));
  painter.drawPath(outline);
  painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
  painter.drawPath(outline);
  painter.restore();
}

QString skinMenuStyle() {
  return QStringLiteral(
      "QMenu { background: #0c1430; color: #c0ffff; border: 1px solid #2aa8c8; padding: 2px; }"
      "QMenu::item { padding: 3px 22px 3px 22px; }"
      "QMenu::item:selected { background: #8080ff; color: #ffffff; }"
      "QMenu::item:disabled { color: #587088; }"
      "QMenu::separator { height: 1px; background: #2aa8c8; margin: 3px 6px; }");
}

QString skinScrollBarStyle() {
  return QStringLiteral(
      "QScrollBar:vertical { background: #0c1430; width: 9px; margin: 0; border: none; }"
      "QScrollBar::handle:vertical { background: #8080ff; border: 1px solid #2aa8c8;"
      " border-radius: 3px; min-height: 14px; }"
      "QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed {"
      " background: #a0a0ff; }"
      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; }"
      "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }");
}

}  // namespace sonavex
