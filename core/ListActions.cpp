#include "core/ListActions.h"

#include <cmath>

#include "core/CurrentTrack.h"
#include "core/LastPlaylist.h"
#include "core/RemoveCommands.h"
#include "core/Transport.h"
#include "core/model/KeyCodes.h"

namespace sonavex {

void frmplaylist_Load(Core& core) {
  restoreLastPlaylist(core);
  core.mp1.setBalance(0);
  core.mp1.setRate(1.0);
}

void frmMain_KeyUp(Core& core, int keyCode) {
  if (keyCode == kKeyEscape) {
    mnuexit_Click(core);
    return;
  }
  core.shared.lastkey = keyCode;
  keyboardscroll(core);
}

void frmplaylist_KeyUp(Core& core, int keyCode, bool inList) {
  // The window sees the key before the list.
  if (keyCode == kKeyDelete) cmdsel_Click(core);
  core.shared.lastkey = keyCode;
  keyboardscroll(core);
  if (inList && keyCode == kKeyEnter) cmdplay_Click(core);
}

void cpvcoollist2_DblClick(Core& core) {
  const Index focused = core.list.listIndex2();
  core.list.setListIndex1(focused);
  core.currenttrack = focused;
  core.shared.failedInARow = 0;
  openEntry(core, focused);
  core.face.progVisible = true;
  core.face.imgprogWidth = 0;
  currenttracknumber(core);
}

void keyboardscroll(Core& core) {
  const int k = core.shared.lastkey;
  MediaEngine& engine = core.mp1;
  // Each test and each jump asks the engine afresh: the track moves on while keys are pressed.
  // The list's focus is where the next track is chosen from, so the arrows leave it (and the
  // selection) alone and only seek.
  if (k == kKeyRight && engine.position() < engine.duration() - engine.duration() / 25) {
    engine.setPosition(engine.position() + engine.duration() / 25);
    ++core.face.seeks;
  }
  if (k == kKeyLeft && engine.position() > engine.duration() / 25) {
    engine.setPosition(engine.position() - engine.duration() / 25);
    ++core.face.seeks;
  }
}

Index rowUnderPointer(double yPixels, Index topIndex, Index count) {
  if (!std::isfinite(yPixels) || yPixels < 0) return kNone;
  // Computed in double so a far-off pointer cannot overflow the index.
  const double row = std::floor(yPixels / kRowHeight) + static_cast<double>(topIndex);
  if (row < 0 || row >= static_cast<double>(count)) return kNone;
  return static_cast<Index>(row);
}

std::string selectionTooltip(const PlaylistModel& list) {
  return "selected song: " + list.displayName(list.listIndex2());
}

}  // namespace sonavex
