#pragma once

#include <string>
#include <string_view>
#include <vector>

// Settings files read and written by section and key, one access at a time: every call opens
// the file, does its one read or write and closes it again, so others may change the file
// between calls. Section and key names match without regard to case; every line a write does
// not touch stays as it was.
namespace platform::ini {

inline constexpr size_t kMaxValueLength = 2047;

// The stored value (surrounding blanks and one pair of quotes dropped, cut to 2,047
// characters); the empty text when the file, the section or the key is missing.
std::string readValue(std::string_view file, std::string_view section, std::string_view key);

// The keys of the section in their order, as the file spells them; none when the file or the
// section is missing.
std::vector<std::string> keyNames(std::string_view file, std::string_view section);

// Replaces the key's value in place, appends a missing key at the end of its section and a
// missing section at the end of the file. The file is replaced atomically. Raises
// platform::Error "Unable to write to <file>" when the write cannot be done.
void writeValue(std::string_view file, std::string_view section, std::string_view key,
                std::string_view value);

}  // namespace platform::ini
