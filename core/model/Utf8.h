#pragma once
// UTF-8 encoding of one code point.
#include <string>

namespace sonavex {

// Appends `c` (at most 0x10FFFF) as UTF-8.
void appendUtf8(std::string& out, char32_t c);

}  // namespace sonavex
