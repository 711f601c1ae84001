#pragma once
// The scrolling title and the media-error skip.
#include <string>

#include "core/Core.h"

namespace sonavex {

// The caption for scroll position p (1-based): the text rotated left by p - 1 characters for p in
// 1..length, the text unrotated beyond that. Characters are UTF-8 code points, not bytes.
std::string marqueeCaption(const std::string& text, int p);

// One tick of the marquee timer (222 ms).
void marqueeTick(Core& core);

}  // namespace sonavex
