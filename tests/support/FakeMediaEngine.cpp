#include "support/FakeMediaEngine.h"

namespace sonavex {

void FakeMediaEngine::open(const std::string& path) {
  calls.push_back("open:" + path);
  opened.push_back(path);
  file = path;
  positionValue = 0;
  durationValue = 0;
  state = path.empty() ? kStopped : kPlaying;
}

void FakeMediaEngine::play() {
  calls.push_back("play");
  if (state == kPaused) state = kPlaying;
}

void FakeMediaEngine::pause() {
  calls.push_back("pause");
  if (state == kPlaying) state = kPaused;
}

void FakeMediaEngine::stop() {
  calls.push_back("stop");
  state = kStopped;
}

void FakeMediaEngine::setPosition(double seconds) {
  calls.push_back("position:" + std::to_string(seconds));
  positionValue = seconds;
}

void FakeMediaEngine::setRate(double r) {
  calls.push_back("rate:" + std::to_string(r));
  rate = r;
}

void FakeMediaEngine::setVolume(long v) {
  calls.push_back("volume:" + std::to_string(v));
  volume = v;
}

void FakeMediaEngine::setBalance(long b) {
  calls.push_back("balance:" + std::to_string(b));
  balance = b;
}

void FakeMediaEngine::raiseNewStream() {
  if (listener()) listener()->mp1_NewStream();
}

void FakeMediaEngine::raiseStreamEnded() {
  const long old = state;
  state = kStopped;
  positionValue = durationValue;
  if (!listener()) return;
  listener()->mp1_EndOfStream(0);
  listener()->mp1_PlayStateChange(old, kStopped);
}

void FakeMediaEngine::raiseError(EngineFault fault, const std::string& text) {
  error = {fault, text};
  if (listener()) listener()->mp1_Error();
}

}  // namespace sonavex
