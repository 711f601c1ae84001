#include "core/StreamTitle.h"

#include "core/CurrentTrack.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

std::string streamName(const Core& core) {
  const std::string& address = core.mp1.fileName();
  std::string title = core.mp1.tags().title;
  if (!title.empty()) return title;
  const Index current = core.currenttrack;
  if (core.list.path(current) == address) {
    const std::string_view shown = fileNamePartOf(core.list.displayName(current));
    if (!shown.empty()) return std::string(shown);
  }
  return address;
}

std::string streamTitle(const Core& core) {
  const int percent = core.mp1.buffering();
  if (percent >= 100) return streamName(core);
  const bool connecting = percent <= 0 && core.mp1.position() <= 0;
  return std::string(connecting ? "Connecting (" : "Buffering (") + std::to_string(percent) + "%): " +
         streamName(core);
}

void streamFailed(Core& core, const EngineError& error) {
  const std::string text = "Cannot play " + error.path + ": " + error.text;
  trackFailed(core, error.text, error.path);
  core.shared.marqueetext = text + "    ";
  core.shared.marqueepos = 0;
  core.face.lblsongname = text + "  ";
  if (core.platform.messages) core.platform.messages->notify(text, "Sonavex", MsgIcon::Critical);
}

void streamChanged(Core& core) {
  if (!isStreamAddress(core.mp1.fileName()) || core.mp1.playState() == kStopped) return;
  const std::string title = streamTitle(core);
  SharedValues& shared = core.shared;
  if (shared.marqueetext == title + "    ") return;
  shared.marqueetext = title + "    ";
  shared.marqueepos = 0;
  core.face.lblsongname = title + "  ";
  core.face.lbltmp1 = title + "  ";
  core.face.marqueeTimerOn = true;
}

}  // namespace sonavex
