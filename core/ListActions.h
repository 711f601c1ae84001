#pragma once
// What the playlist window does when it loads, and what its list and the keys do.
#include <string>

#include "core/Core.h"

namespace sonavex {

inline constexpr double kRowHeight = 13;  // pixels

// Loading the playlist window restores the last playlist and sets balance 0 and rate 1.0.
void frmplaylist_Load(Core& core);

// A key released over the player window: Escape ends the program; any other key becomes `lastkey`
// and runs the seek keys.
void frmMain_KeyUp(Core& core, int keyCode);
// A key released over the playlist window: Delete removes the selected entries, then the key runs
// the seek keys; Enter released in the list plays.
void frmplaylist_KeyUp(Core& core, int keyCode, bool inList);

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
