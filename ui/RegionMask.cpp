#include "ui/RegionMask.h"

#include <QGuiApplication>
#include <QVector>
#include <QWidget>
#include <xcb/xcb.h>

namespace sonavex {

QRegion maskOf(const PixelRegion& region) {
  if (region.empty()) return QRegion(-1, -1, 1, 1);
  const std::vector<Span>& spans = region.spans();
  QVector<QRect> rects;
  rects.reserve(static_cast<qsizetype>(spans.size()));
  std::size_t rowStart = 0;
  int bandTop = spans.empty() ? 0 : spans.front().y;
  std::size_t bandStart = 0;
  // Rows arrive top to bottom; a row equal to the band above (same spans) extends that band.
  auto sameRow = [&](std::size_t a, std::size_t b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      if (spans[a + i].left != spans[b + i].left || spans[a + i].right != spans[b + i].right) return false;
    }
    return true;
  };
  std::size_t bandWidth = 0;
  int bandBottom = bandTop;
  auto flush = [&] {
    for (std::size_t i = 0; i < bandWidth; ++i) {
      const Span& s = spans[bandStart + i];
      rects.append(QRect(s.left, bandTop, s.right - s.left, bandBottom - bandTop));
    }
  };
  while (rowStart < spans.size()) {
    std::size_t rowEnd = rowStart;
    while (rowEnd < spans.size() && spans[rowEnd].y == spans[rowStart].y) ++rowEnd;
    const std::size_t width = rowEnd - rowStart;
    const int y = spans[rowStart].y;
    if (bandWidth == width && y == bandBottom && sameRow(bandStart, rowStart, width)) {
      ++bandBottom;
    } else {
      flush();
      bandStart = rowStart;
      bandWidth = width;
      bandTop = y;
      bandBottom = y + 1;
    }
    rowStart = rowEnd;
  }
  flush();
  QRegion result;
  result.setRects(rects.constData(), static_cast<int>(rects.size()));
  return result;
}

void applyRegion(QWidget& widget, const PixelRegion& region) {
  const QRegion mask = maskOf(region);
  const QRegion grown = mask.subtracted(widget.mask());
  widget.setMask(mask);
  if (!widget.isWindow()) return;
  // A window paints only inside its mask, so what a larger mask uncovers was never painted.
  if (!grown.isEmpty()) widget.update(grown);
  // Qt queues a new shape for the X server without sending it; a shape that no repaint follows
  // (a window shrinking away) would wait in the queue until some other request went out.
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 && x11->connection()) xcb_flush(x11->connection());
}

}  // namespace sonavex
