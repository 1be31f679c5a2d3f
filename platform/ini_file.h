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

struct Entry {
    std::string key;
    std::string value;
};

// What of the file a write keeps besides the keys it writes: every other line, or nothing (the
// file is then built from the written keys alone, as if it had been deleted first).
enum class Keep { OtherLines, Nothing };

// Writes the entries in their order into one section, all in one atomic replace of the whole
// file: at every moment it holds all the old values or all the new ones. Each entry replaces
// its key's value in place, or is appended at the end of its section, a missing section at the
// end of the file; new lines take the file's line ends, a new file CR LF. Raises
// platform::Error "Unable to write to <file>" when the write cannot be done; the file is then
// as it was.
void writeValues(std::string_view file, std::string_view section, const std::vector<Entry>& entries,
                 Keep keep);

// One value, every other line kept.
void writeValue(std::string_view file, std::string_view section, std::string_view key,
                std::string_view value);

}  // namespace platform::ini
