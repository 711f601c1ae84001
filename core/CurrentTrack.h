#pragma once
// The current track: opening an entry in the engine, marking it in the list and showing its
// number, and what the player shows when a track fails or nothing plays. Play, previous, next and
// the list's double click share these.
#include <string>

#include "core/Core.h"

namespace sonavex {

void currenttracknumber(Core& core);  // tracknumber := currenttrack + 1
// Opens entry g in the engine; an entry without a path fails like a track that cannot play.
void openEntry(Core& core, Index g);
// Opens entry g (the empty path for -1), marks it and updates `tracknumber`: the tail that
// nextsong and previous share. Opening nothing (-1) stops the title and the clock.
void openAndMark(Core& core, Index g);
// The track at `path` could not be played: flag it for the marquee's skip and keep the reason.
void trackFailed(Core& core, const std::string& reason, const std::string& path);
// Stops the title marquee and the clock and clears the title and time texts, as stop does.
void stopFace(PlayerFace& face);

inline constexpr const char* kNoPlayableTrack = "No playable track in the playlist";

}  // namespace sonavex
