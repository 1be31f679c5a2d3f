#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Fixed-width text: the song and queue records and the reply fields are built with these.
// Text is single-byte; counts are characters. Safe on any thread.
namespace kv {

// The first n characters; s itself for n = length; the empty text for n > length or n <= 0.
std::string LeftChars(std::string_view s, std::int32_t n);
// The last n characters, with the same rules as LeftChars.
std::string RightChars(std::string_view s, std::int32_t n);

// Fill to exactly width characters (after s / before s); longer text is cut on the right.
// The fill is "0" only for the selector "0", a blank for any other selector.
std::string PadRight(std::string_view s, std::int32_t width, std::string_view fill);
std::string PadLeft(std::string_view s, std::int32_t width, std::string_view fill);

// "mm:ss", minutes uncapped; "00:00" for 0 or less.
std::string MsToMinSec(std::int32_t ms);

// Single-byte text rules: upper-casing only a..z; trimming every byte of code 32 or below.
std::string UpperCase(std::string_view s);
std::string Trim(std::string_view s);
// Only the trailing side: a song's file name ends in ".MP3", so what it starts with is its own.
std::string TrimRight(std::string_view s);

}  // namespace kv
