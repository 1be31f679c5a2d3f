#pragma once

#include <cstdint>
#include <string_view>

namespace kv {

// List columns grow to fit their texts, 9 pixels a character and 5 over, and never shrink.
inline std::int32_t FitColumnWidth(std::string_view text, std::int32_t width) {
    const auto wanted = static_cast<std::int32_t>(9 * text.size() + 5);
    return width < wanted ? wanted : width;
}

}  // namespace kv
