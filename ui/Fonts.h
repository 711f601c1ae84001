#pragma once
// The windows were designed in Windows font families; this maps each to a free family with the
// same metrics, so captions keep their designed widths. Call once before any window is made.
#include <QFont>

namespace sonavex {

void mapDesignFonts();

// A font of a designed family. Where a stand-in is installed in several formats, the one read in
// place is named first: Type 1 faces are decrypted into memory, half a megabyte each.
QFont designFont(const QString& family);

}  // namespace sonavex
