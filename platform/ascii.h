#pragma once

#include <string>
#include <string_view>

// Single-byte text rules shared by every layer: upper-casing touches only a..z, and
// trimming drops every leading and trailing byte of code 32 or below.
namespace platform::ascii {

constexpr char toUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

inline std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = toUpper(c);
    return out;
}

inline bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

inline std::string trim(std::string_view s) {
    size_t begin = 0, end = s.size();
    while (begin < end && isTrimmed(s[begin]))
        ++begin;
    while (end > begin && isTrimmed(s[end - 1]))
        --end;
    return std::string(s.substr(begin, end - begin));
}

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (toUpper(a[i]) != toUpper(b[i]))
            return false;
    return true;
}

// Orders names as the original directory listing did: without regard to case, then by bytes
// so that the order is total.
inline bool lessNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(toUpper(a[i]));
        const auto cb = static_cast<unsigned char>(toUpper(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

}  // namespace platform::ascii
