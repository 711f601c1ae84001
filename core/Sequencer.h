#pragma once
// Which entry plays next, and what the program does with the engine's notifications.
#include "core/Core.h"

namespace sonavex {

// Chooses the next entry by the loop and shuffle rules, opens it (the empty path after the end of
// the list), marks it in the list and updates `tracknumber`.
void nextsong(Core& core);

// Opens entry g (the empty path for -1), marks it and updates `tracknumber`: the tail that
// nextsong and previous share. Opening nothing (-1) stops the title and the clock.
void openAndMark(Core& core, Index g);
// Opens entry g in the engine; an entry without a path fails like a track that cannot play.
void openEntry(Core& core, Index g);
// A track could not be played: flag it for the marquee's skip and keep the reason.
void trackFailed(Core& core, const std::string& reason);
// Stops the title marquee and the clock and clears the title and time texts, as stop does.
void stopFace(PlayerFace& face);

inline constexpr const char* kNoPlayableTrack = "No playable track in the playlist";

// A track came to its end (the engine's stopped notification, or the clock's end-of-track stop):
// advance once, then clear the player window's title and time texts and hide the seek bar.
void trackEnded(Core& core);

// Engine notifications.
void mp1_EndOfStream(Core& core, long result);
void mp1_PlayStateChange(Core& core, long oldState, long newState);
void mp1_Error(Core& core);
void mp1_NewStream(Core& core);

}  // namespace sonavex
