#pragma once
// The engine's notifications, each run as a command on the core.
#include "core/Core.h"
#include "core/model/MediaEngine.h"

namespace sonavex {

class EngineEvents : public MediaEngineListener {
 public:
  // Listens to the core's engine until destroyed.
  explicit EngineEvents(Core& core);
  ~EngineEvents() override;
  EngineEvents(const EngineEvents&) = delete;
  EngineEvents& operator=(const EngineEvents&) = delete;

  void mp1_EndOfStream(long result) override;
  void mp1_PlayStateChange(long oldState, long newState) override;
  void mp1_Error() override;
  void mp1_NewStream() override;
  void mp1_TagsChanged() override;
  void mp1_BufferingChanged() override;

 private:
  Core& core_;
};

}  // namespace sonavex
