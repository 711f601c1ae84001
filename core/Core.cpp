#include "core/Core.h"

#include "core/ListWork.h"

namespace sonavex {

Core::Core(MediaEngine& engine, RandomSource& random)
    : ListState(random), mp1(engine), work(std::make_unique<ListWork>(*this)) {}

Core::~Core() = default;

}  // namespace sonavex
