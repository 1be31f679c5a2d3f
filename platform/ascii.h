#pragma once

#include <string>
#include <string_view>
#include <type_traits>

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

// Orders names without regard to case, as a directory listing shows them, then by bytes so
// that the order is total.
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

// The list views' text order: the letters a to z compare as A to Z, every other character by
// its code, so "_" sorts after the letters and Latin-1 letters keep their case. Works on bytes
// and on UTF-16 units alike; negative, zero or positive.
template <typename CharT>
int compareNoCaseAz(std::basic_string_view<CharT> a, std::basic_string_view<CharT> b) {
    using Unit = std::make_unsigned_t<CharT>;
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        Unit ca = static_cast<Unit>(a[i]);
        Unit cb = static_cast<Unit>(b[i]);
        if (ca >= 'a' && ca <= 'z')
            ca = static_cast<Unit>(ca - 'a' + 'A');
        if (cb >= 'a' && cb <= 'z')
            cb = static_cast<Unit>(cb - 'a' + 'A');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

inline int compareNoCaseAz(std::string_view a, std::string_view b) {
    return compareNoCaseAz<char>(a, b);
}

// A text whose plain byte order is that order: a to z become A to Z. Long sorts compare these
// keys, made once per text, instead of folding at every comparison.
inline std::string foldAz(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// That order for sorted lists and sorts of bytes; texts equal but for case are equal.
struct LessNoCaseAz {
    bool operator()(std::string_view a, std::string_view b) const {
        return compareNoCaseAz(a, b) < 0;
    }
};

}  // namespace platform::ascii
