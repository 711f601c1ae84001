#pragma once
// The transport commands of the player window.
#include "core/Core.h"

namespace sonavex {

void cmdplay_Click(Core& core);       // the focused entry, or the first
void cmdpause_Click(Core& core);      // pause while playing, resume while paused
void cmdstop_Click(Core& core);       // stops; does not advance to the next track
void cmdprev_Click(Core& core);       // previous entry (plain, looped or shuffled)
// The next button: lets pending events run (a click that came during a long list operation goes
// first), then nextsong, unless one of those events ended the program.
void cmdnext_Click(Core& core);

}  // namespace sonavex
