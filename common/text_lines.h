#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The lines of a text file as a string list reads them: CR LF, LF or CR alone ends a line;
// a last line without an end counts, an end at the very end adds no empty line.
std::vector<std::string> TextLines(std::string_view text);

}  // namespace kv
