#include "core/Sequencer.h"

#include "core/StreamTitle.h"
#include "core/model/StreamAddress.h"

#include <iostream>

#include "core/CurrentTrack.h"

namespace sonavex {

namespace {

// From the focused entry G and the shuffle order's position P.
NextChoice nextChoiceFrom(const Core& core, Index G, Index P) {
  const int S = core.chkshuffle;
  const int L = core.chkloop;
  const Index N = core.list.count();
  const Index M = core.List5.count();
  const auto inOrder = [&core](Index position) { return NextChoice{core.List5.at(position), position}; };

  if (G < N - 1 && S == 0 && L == 0) return {G + 1, kNone};
  if (P < M - 1 && S == 1 && L == 0) return inOrder(P + 1);
  if (G < N - 1 && S == 0 && L == 1) return {G + 1, kNone};
  if (P < M - 1 && S == 1 && L == 1) return inOrder(P + 1);
  if (G == N - 1 && S == 0 && L == 0) return {kNone, kNone};
  if (P == M - 1 && S == 1 && L == 0) return {kNone, kNone};
  // An empty list has nothing to wrap to: end it rather than mark a missing entry.
  if (G == N - 1 && S == 0 && L == 1) return {N > 0 ? 0 : kNone, kNone};
  // The same order is replayed from its start, not reshuffled.
  if (P == M - 1 && S == 1 && L == 1) return M > 0 ? inOrder(0) : NextChoice{kNone, kNone};
  // Any other combination leaves the focused entry: it is opened again.
  return {G, kNone};
}

}  // namespace

NextChoice nextChoice(const Core& core) {
  return nextChoiceFrom(core, core.list.listIndex2(), core.List5.listIndex());
}

std::vector<std::string> upcomingPaths(const Core& core, int count) {
  std::vector<std::string> paths;
  Index G = core.list.listIndex2(), P = core.List5.listIndex();
  for (int i = 0; i < count; ++i) {
    const NextChoice next = nextChoiceFrom(core, G, P);
    if (next.entry == kNone) break;
    paths.push_back(core.list.path(next.entry));
    G = next.entry;  // as nextsong marks it
    if (next.shufflePosition != kNone) P = next.shufflePosition;
  }
  return paths;
}

void nextsong(Core& core) {
  const NextChoice next = nextChoice(core);
  if (next.shufflePosition != kNone) core.List5.setListIndex(next.shufflePosition);
  openAndMark(core, next.entry);
}

void trackEnded(Core& core) {
  nextsong(core);
  PlayerFace& face = core.face;
  face.lblsongnameTooltip.clear();
  face.lblctime.clear();
  face.lblttime.clear();
  face.progVisible = false;
  face.lblsongname.clear();
}

void mp1_EndOfStream(Core& /*core*/, long /*result*/) {}

void mp1_PlayStateChange(Core& core, long /*oldState*/, long newState) {
  if (newState == kStopped) trackEnded(core);
}

void mp1_Error(Core& core) {
  const EngineError error = core.mp1.lastError();
  if (error.fault == EngineFault::Track && isStreamAddress(error.path)) {
    streamFailed(core, error);
    return;
  }
  if (error.fault == EngineFault::Track) {
    // The path the error was about: another track may have been opened since it happened.
    trackFailed(core, error.text.empty() ? std::string("the engine reported an error") : error.text,
                error.path.empty() ? core.mp1.fileName() : error.path);
    return;
  }
  // Without sound output (or an engine) every track would fail alike: stop instead of skipping
  // through the list, and say why once. The next play tries again.
  core.mp1.stop();
  stopFace(core.face);
  core.face.lbltmp.clear();
  core.shared.lastErrorText = error.text;
  core.face.lblsongnameTooltip = error.text;
  const std::string text = error.fault == EngineFault::Output
                               ? "No sound output: " + error.text
                               : "The media engine could not be started: " + error.text;
  std::cerr << "sonavex: " << text << '\n';
  if (core.platform.messages) {
    core.platform.messages->show(text, "Sonavex", MsgButtons::Ok, MsgIcon::Critical);
  }
}

void mp1_NewStream(Core& core) {
  PlayerFace& face = core.face;
  face.lblsongname.clear();
  face.clockTimerOn = true;
  face.progVisible = true;
  // A pause before the new track disabled the bar; the new track plays, so seeking works again.
  face.progEnabled = true;
  core.shared.failedInARow = 0;
  core.shared.lastErrorText.clear();
  core.shared.marqueepos = 0;
  const std::string name =
      isStreamAddress(core.mp1.fileName()) ? streamTitle(core) : std::string(fileNameOf(core.mp1.fileName()));
  core.shared.marqueetext = name + "    ";
  face.lblsongname = name + "  ";
  face.lbltmp1 = name + "  ";
  face.marqueeTimerOn = true;
}

}  // namespace sonavex
