#pragma once
// Applies a region computed by the core to a window or control as its mask.
#include <QRegion>

#include "core/model/Region.h"

class QWidget;

namespace sonavex {

// The region as a QRegion: rows with the same spans are joined into bands. An empty region
// becomes one pixel outside the widget, since an empty mask would show the whole widget.
QRegion maskOf(const PixelRegion& region);
void applyRegion(QWidget& widget, const PixelRegion& region);

}  // namespace sonavex
