#include "core/Marquee.h"

#include <vector>

#include "core/CurrentTrack.h"
#include "core/Sequencer.h"
#include "core/Transport.h"

namespace sonavex {

namespace {

// Byte offsets where each character starts. A character is a UTF-8 lead byte with its continuation
// bytes; stray continuation bytes stay with the character before them, so no sequence is split.
std::vector<std::size_t> characterStarts(const std::string& text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80 || starts.empty()) starts.push_back(i);
  }
  return starts;
}

int characterCount(const std::string& text) {
  return static_cast<int>(characterStarts(text).size());
}

}  // namespace

std::string marqueeCaption(const std::string& text, int p) {
  const std::vector<std::size_t> starts = characterStarts(text);
  const int length = static_cast<int>(starts.size());
  // Past the end (p = length + 1, length + 2) the three pieces join to the unrotated text; a
  // position before the first character shows it unrotated too.
  if (p < 1 || p > length) return text;
  const std::size_t split = starts[static_cast<std::size_t>(p - 1)];
  return text.substr(split) + text.substr(0, split);
}

void marqueeTick(Core& core) {
  SharedValues& shared = core.shared;
  const int length = characterCount(shared.marqueetext);
  if (shared.marqueepos > length + 1 || shared.marqueepos < 0) shared.marqueepos = 0;
  const int p = ++shared.marqueepos;

  if (!shared.marqueetext.empty()) core.face.lblsongname = marqueeCaption(shared.marqueetext, p);

  if (core.mp1.position() <= 0) {
    // While failing tracks are skipped, the tooltip says why.
    core.face.lblsongnameTooltip = shared.lastErrorText;
  } else {
    core.face.lblsongnameTooltip = "Currently playing track is: ";
    if (shared.tracknumber) core.face.lblsongnameTooltip += std::to_string(*shared.tracknumber);
  }

  if (core.face.lbltmp == "error") {
    core.face.lbltmp.clear();
    // Every entry failed in a row and no stream started: the list cannot play (a drive gone, a
    // codec missing); with loop on, going round it again would only skip for ever. Without loop
    // the end of the list stops it anyway.
    if (++shared.failedInARow >= core.list.count() && core.chkloop == 1) {
      cmdstop_Click(core);
      core.face.lblsongname = kNoPlayableTrack;
      core.face.lblsongnameTooltip = shared.lastErrorText;
      return;
    }
    nextsong(core);
  }
}

}  // namespace sonavex
