#include "common/conversion.h"

#include <charconv>

namespace kv {

ConversionError::ConversionError(std::string_view text)
    : platform::Error("'" + std::string(text) + "' is not a valid integer value") {}

bool TryStrToInt(std::string_view text, std::int32_t& value) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return false;
    std::int64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
        if (n > 2147483648LL)
            return false;
    }
    if (negative)
        n = -n;
    if (n > 2147483647LL || n < -2147483648LL)
        return false;
    value = static_cast<std::int32_t>(n);
    return true;
}

std::int32_t StrToInt(std::string_view text) {
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw ConversionError(text);
    return value;
}

}  // namespace kv
