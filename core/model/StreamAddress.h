#pragma once
// Internet radio and other streams are list entries by their address: "http://..." or
// "https://...", kept as written. Every other scheme names nothing we play.
#include <cstddef>
#include <string>
#include <string_view>

namespace sonavex {

// An http(s) address, the scheme in any letter case, with something after "//".
bool isStreamAddress(std::string_view path);

// The longest address an entry may be; a longer one is no address.
inline constexpr std::size_t kMaxAddressBytes = 8192;

}  // namespace sonavex
