#include "engine/gst/GstMediaEngine.h"

#include "engine/core/FakeMediaEngine.h"

namespace sonavex {

// Placeholder until the playbin engine lands.
std::unique_ptr<MediaEngine> makeGstMediaEngine() { return std::make_unique<FakeMediaEngine>(); }

}  // namespace sonavex
