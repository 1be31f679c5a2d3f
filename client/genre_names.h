#pragma once

#include <cstdint>
#include <string>

namespace sonpad {

// The genres of the ID3v1 table: names for 0 to 125, "Blank" for every other number.
std::string GenreName(std::uint8_t genre);

// How many genres have a name of their own (0 to 125).
inline constexpr int kNamedGenres = 126;

}  // namespace sonpad
