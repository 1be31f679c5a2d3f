#include "common/text_helpers.h"

#include <cstdio>

#include "platform/ascii.h"

namespace kv {

std::string LeftChars(std::string_view s, std::int32_t n) {
    const auto len = static_cast<std::int64_t>(s.size());
    if (n <= 0 || n > len)
        return {};
    return std::string(s.substr(0, static_cast<size_t>(n)));
}

std::string RightChars(std::string_view s, std::int32_t n) {
    const auto len = static_cast<std::int64_t>(s.size());
    if (n <= 0 || n > len)
        return {};
    return std::string(s.substr(static_cast<size_t>(len - n)));
}

namespace {

std::string pad(std::string_view s, std::int32_t width, std::string_view fill, bool left) {
    if (width <= 0)
        return {};
    const auto w = static_cast<size_t>(width);
    if (s.size() >= w)
        return std::string(s.substr(0, w));
    const std::string filler(w - s.size(), fill == "0" ? '0' : ' ');
    return left ? filler + std::string(s) : std::string(s) + filler;
}

}  // namespace

std::string PadRight(std::string_view s, std::int32_t width, std::string_view fill) {
    return pad(s, width, fill, false);
}

std::string PadLeft(std::string_view s, std::int32_t width, std::string_view fill) {
    return pad(s, width, fill, true);
}

std::string MsToMinSec(std::int32_t ms) {
    if (ms <= 0)
        return "00:00";
    const std::int32_t seconds = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%.2d:%.2d", seconds / 60, seconds % 60);
    return text;
}

std::string UpperCase(std::string_view s) {
    return platform::ascii::upper(s);
}
std::string Trim(std::string_view s) {
    return platform::ascii::trim(s);
}
std::string TrimRight(std::string_view s) {
    size_t end = s.size();
    while (end > 0 && platform::ascii::isTrimmed(s[end - 1]))
        --end;
    return std::string(s.substr(0, end));
}

}  // namespace kv
