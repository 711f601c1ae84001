#include "core/Clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/Sequencer.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {

// Beyond this many hundredths a double no longer holds every whole number exactly.
constexpr double kLargestHundredths = 9.0e15;

}  // namespace

std::string formatMinutes(double seconds, std::string_view decimalSeparator) {
  // nearbyint rounds halves to even in the default rounding mode.
  const double hundredths = std::nearbyint(seconds / 60.0 * 100.0);
  if (!std::isfinite(hundredths) || std::fabs(hundredths) > kLargestHundredths) return "0";

  const auto total = static_cast<std::int64_t>(hundredths);
  const std::int64_t magnitude = std::llabs(total);
  std::string text = total < 0 ? "-" : "";
  text += std::to_string(magnitude / 100);
  const auto fraction = static_cast<int>(magnitude % 100);
  if (fraction != 0) {
    text += decimalSeparator;
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

std::string minutesAndSeconds(double seconds) {
  const double whole =
      std::isfinite(seconds) ? std::floor(std::min(seconds, kLargestHundredths)) : 0.0;
  const auto total = static_cast<std::int64_t>(std::max(whole, 0.0));
  const std::int64_t rest = total % 60;
  return std::to_string(total / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

void clockTick(Core& core) {
  MediaEngine& engine = core.mp1;
  core.face.lblctime = formatMinutes(engine.position(), core.decimalSeparator);
  // A live stream has no length: its total shows nothing.
  const bool live = engine.duration() <= 0 && isStreamAddress(engine.fileName());
  core.face.lblttime = live ? std::string() : formatMinutes(engine.duration(), core.decimalSeparator);

  // One reading serves both the test and the division, so a duration that drops to 0 between two
  // queries can never divide by zero.
  const double duration = engine.duration();
  if (duration > 0) core.face.imgprogWidth = engine.position() * kBarLength / duration + kBarStart;

  // A new stream's duration may still be unknown (0) while its position is 0 too: that is no end.
  const double end = engine.duration();
  if (end > 0 && engine.position() == end) {
    engine.stop();  // raises no notification of its own, so this is the one advance
    trackEnded(core);
  }
}

void picprog_MouseUp(Core& core, double xPixels) {
  if (!core.face.progEnabled || !std::isfinite(xPixels)) return;
  core.mp1.setPosition(core.mp1.duration() * (xPixels - kBarStart) / kBarLength);
  core.face.imgprogWidth = xPixels;
  ++core.face.seeks;
}

void imgprog_MouseUp(Core& core, double xTwips) {
  picprog_MouseUp(core, xTwips / kTwipsPerPixelOfImage);
}

}  // namespace sonavex
