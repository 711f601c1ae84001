#pragma once
// The small handlers of the playlist's popup menus. The song menu opens only after a right click
// on a real row made it the chosen entry (both list indexes), so they read the choice back there.
#include "core/Core.h"

namespace sonavex {

// "Play": opens the chosen entry; the track number and the selection stay as they are.
void mnuplay_Click(Core& core);
// "Playlistentry": the chosen entry's path in a notice titled "Sonavax".
void mnuplaylistentry_Click(Core& core);

}  // namespace sonavex
