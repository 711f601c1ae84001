#pragma once
// The skin's artwork: vector images in the resources (:/skin/NAME.svg) rendered to pixmaps that are
// sharp at the screen's device pixel ratio. The last two renderings of each asset are kept.
#include <QPixmap>
#include <QSize>
#include <QString>

class QPainter;
class QPainterPath;
class QRect;
class QRectF;

namespace sonavex {

// The asset `name` at logicalSize, rendered at logicalSize x devicePixelRatio pixels and marked
// with that ratio. The same (name, size, ratio) asked again returns the same pixmap, unless two
// other sizes or ratios of that asset were asked for since. A missing or unreadable
// asset gives a transparent pixmap of that size.
QPixmap skinPixmap(const QString& name, QSize logicalSize, qreal devicePixelRatio);

// Draws the asset `name` filling `target`, at the pixel ratio of the painter's device.
void drawSkin(QPainter& painter, const QRect& target, const QString& name);

// Frame `frame` (0-based, wrapping) of a sprite sheet of `frames` frames of frameSize laid side
// by side. The whole sheet is rendered once per ratio; each call copies one frame out of it.
QPixmap skinFrame(const QString& name, QSize frameSize, int frame, int frames,
                  qreal devicePixelRatio);

// Where the keyboard focus is: a dotted light line over a dark one around `area`, seen on the
// skin's light buttons and on its dark panels alike.
void drawFocusMark(QPainter& painter, const QRectF& area);
// The same along a shape's outline (an oval button, the volume arc).
void drawFocusMark(QPainter& painter, const QPainterPath& outline);

// The context menus in the skin's colours: cyan text on dark, the buttons' periwinkle under the
// pointer. A style sheet, so that submenus made later inherit it.
QString skinMenuStyle();

// The list's scroll bar in the same colours: a dark groove, a periwinkle handle, no arrows.
QString skinScrollBarStyle();

}  // namespace sonavex
