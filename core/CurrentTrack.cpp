#include "core/CurrentTrack.h"

#include <iostream>

namespace sonavex {

void currenttracknumber(Core& core) { core.shared.tracknumber = core.currenttrack + 1; }

void openAndMark(Core& core, Index g) {
  core.currenttrack = g;
  openEntry(core, g);
  core.list.markEntry(g);
  currenttracknumber(core);
  // Nothing plays any more: the player must not look as if it still did.
  if (g == kNone) stopFace(core.face);
}

void openEntry(Core& core, Index g) {
  const std::string& path = core.list.path(g);  // out of range (-1) reads as the empty path
  core.mp1.open(path);
  if (path.empty() && g >= 0 && g < core.list.count()) trackFailed(core, "the entry has no path", path);
}

void trackFailed(Core& core, const std::string& reason, const std::string& path) {
  core.face.lbltmp = "error";
  // The marquee tick turns the flag into a skip; before any stream started (or after stop) its
  // timer is off, and the failed track would otherwise wait forever.
  core.face.marqueeTimerOn = true;
  core.shared.lastErrorText = reason;
  std::cerr << "sonavex: cannot play \"" << path << "\": " << reason << '\n';
}

void stopFace(PlayerFace& face) {
  face.marqueeTimerOn = false;
  face.clockTimerOn = false;
  face.lblsongname.clear();
  face.lblttime.clear();
  face.lblctime.clear();
}

}  // namespace sonavex
