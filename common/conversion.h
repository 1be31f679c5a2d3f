#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace kv {

// A text that is not a decimal integer: "'%s' is not a valid integer value".
class ConversionError : public platform::Error {
  public:
    explicit ConversionError(std::string_view text);
};

// Decimal signed 32-bit integer: optional sign, digits, nothing else (no blanks), in range.
std::int32_t StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, std::int32_t& value);

}  // namespace kv
