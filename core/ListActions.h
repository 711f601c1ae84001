#pragma once
// What the playlist's list does with mouse and keys.
#include <string>

#include "core/Core.h"

namespace sonavex {

inline constexpr double kRowHeight = 13;  // pixels

// Double click: play the focused entry.
void cpvcoollist2_DblClick(Core& core);

// The seek keys, run after every key release with `lastkey` set: Right arrow jumps forward and
// Left arrow back by a twenty-fifth of the track; the list's focus and selection stay as they are.
void keyboardscroll(Core& core);

// The entry under the pointer at y pixels from the top of the list: 0-based, -1 when no row is there.
Index rowUnderPointer(double yPixels, Index topIndex, Index count);

// The tooltip after a click: "selected song: " and the display name at the list index.
std::string selectionTooltip(const PlaylistModel& list);

}  // namespace sonavex
