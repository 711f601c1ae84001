#pragma once
// A Qt key as the program knows it (core/model/KeyCodes.h); keys without a code give 0.
#include "core/model/KeyCodes.h"

namespace sonavex {

int windowsKeyCode(int qtKey);

}  // namespace sonavex
