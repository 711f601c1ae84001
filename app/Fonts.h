#pragma once
// The windows were designed in Windows font families; this maps each to a free family with the
// same metrics, so captions keep their designed widths. Call once before any window is made.
namespace sonavex {

void mapDesignFonts();

}  // namespace sonavex
