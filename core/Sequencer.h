#pragma once
// Which entry plays next, and what the program does with the engine's notifications.
#include <string>
#include <vector>

#include "core/Core.h"

namespace sonavex {

// Chooses the next entry by the loop and shuffle rules, opens it (the empty path after the end of
// the list), marks it in the list and updates `tracknumber`.
void nextsong(Core& core);

// What nextsong would choose now, without choosing it: the entry (-1 at the end of the list) and
// the shuffle order's position it would move to (-1 when it stays).
struct NextChoice {
  Index entry;
  Index shufflePosition;
};
NextChoice nextChoice(const Core& core);
// The paths nextsong would open, one after another, if each track now ended in turn (at most
// `count`, fewer where the list ends): what the engine plays after the current one without a gap.
std::vector<std::string> upcomingPaths(const Core& core, int count);

// A track came to its end (the engine's stopped notification, or the clock's end-of-track stop):
// advance once, then clear the player window's title and time texts and hide the seek bar.
void trackEnded(Core& core);

// Engine notifications.
void mp1_EndOfStream(Core& core, long result);
void mp1_PlayStateChange(Core& core, long oldState, long newState);
void mp1_Error(Core& core);
void mp1_NewStream(Core& core);

}  // namespace sonavex
