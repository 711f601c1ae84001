#pragma once
// The one-second position clock, the time texts and seeking on the lens-shaped bar.
#include <string>
#include <string_view>

#include "core/Core.h"

namespace sonavex {

inline constexpr double kBarStart = 8;    // fill width at the start of a track, pixels
inline constexpr double kBarLength = 141; // usable length of the bar, pixels
inline constexpr double kTwipsPerPixelOfImage = 15;

// Seconds as decimal minutes rounded to two places (halves to even), shortest text: 90 -> "1.5",
// 185 -> "3.08", 60 -> "1".
std::string formatMinutes(double seconds, std::string_view decimalSeparator = ".");

// Seconds as a clock shows them, for screen readers: 65 -> "1:05", 3725 -> "62:05"; what is not a
// time of the track (negative, not a number) -> "0:00".
std::string minutesAndSeconds(double seconds);

// One tick: time labels, fill width, and the end-of-track stop.
void clockTick(Core& core);

// Release of a mouse button over the bar at x pixels / over the fill at x twips.
void picprog_MouseUp(Core& core, double xPixels);
void imgprog_MouseUp(Core& core, double xTwips);

}  // namespace sonavex
