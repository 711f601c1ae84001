#include "core/Transport.h"

#include "core/CurrentTrack.h"
#include "core/Sequencer.h"

namespace sonavex {

namespace {

void setTimers(PlayerFace& face, bool on) {
  face.marqueeTimerOn = on;
  face.clockTimerOn = on;
}

// Previous in shuffle mode mirrors nextsong: one position back in the order, and from its start
// (loop on) round to its last position.
Index previousInShuffleOrder(Core& core) {
  ShuffleOrder& order = core.List5;
  if (order.empty()) return kNone;
  const Index P = order.listIndex();
  Index position = kNone;
  if (P > 0) {
    position = P - 1;
  } else if (core.chkloop == 1) {
    position = order.count() - 1;
  } else {
    return kNone;
  }
  order.setListIndex(position);
  return order.at(position);
}

}  // namespace

void cmdplay_Click(Core& core) {
  core.shared.failedInARow = 0;
  core.currenttrack = core.list.listIndex2();
  if (core.currenttrack <= kNone) {
    core.currenttrack = 0;
    // Marked, so that the list goes on with the second entry rather than the first again.
    if (!core.list.empty()) core.list.markEntry(0);
  }
  openEntry(core, core.currenttrack);
  currenttracknumber(core);
}

void cmdpause_Click(Core& core) {
  switch (core.mp1.playState()) {
    case kPaused:
      core.mp1.play();
      setTimers(core.face, true);
      core.face.progEnabled = true;
      break;
    case kPlaying:
      core.mp1.pause();
      setTimers(core.face, false);
      core.face.progEnabled = false;  // seek clicks are ignored while paused
      break;
    default:
      break;
  }
}

void cmdstop_Click(Core& core) {
  // The engine raises no stopped notification for a stop the program asks for, so this never
  // advances to the next track.
  core.mp1.stop();
  stopFace(core.face);
}

void cmdnext_Click(Core& core) {
  if (core.platform.loop != nullptr) core.platform.loop->runPending();
  if (core.ending) return;
  nextsong(core);
}

void cmdprev_Click(Core& core) {
  const int shuffle = core.chkshuffle;
  const int loop = core.chkloop;
  Index track = core.list.listIndex2();
  core.list.setListIndex1(track);

  if (track >= 1) {
    if (shuffle == 0 && (loop == 0 || loop == 1)) track = track - 1;
    else if (shuffle == 1 && (loop == 0 || loop == 1)) track = previousInShuffleOrder(core);
  } else if (track == 0) {
    if (shuffle == 0 && loop == 0) track = kNone;
    else if (shuffle == 0 && loop == 1) track = core.list.count() - 1;
    else if (shuffle == 1 && (loop == 0 || loop == 1)) track = previousInShuffleOrder(core);
  }
  // With nothing focused (-1) no rule applies and nothing further back is opened.

  openAndMark(core, track);
}

}  // namespace sonavex
