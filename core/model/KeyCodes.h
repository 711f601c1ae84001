#pragma once
// Key codes as the program knows them (the Windows virtual-key numbers): Enter 13, Escape 27,
// arrows 37-40, Delete 46, digits 48-57, letters 65-90. Keys without a code are 0.
namespace sonavex {

inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDelete = 46;

}  // namespace sonavex
