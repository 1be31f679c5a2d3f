#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::tcp {

// The longest line either side accepts (without its line end), far beyond any line of the
// protocol; without a limit an endless line would exhaust memory.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;

namespace detail {

// Received bytes cut into lines: LF ends a line, one CR right before the LF is dropped.
class LineBuffer {
  public:
    void append(std::string_view bytes) { data_.append(bytes); }

    // The next whole line, or nothing while the line is still incomplete. Raises
    // platform::Error when a line grows past kMaxLineLength.
    std::optional<std::string> takeLine();

  private:
    std::string data_;
    std::size_t start_ = 0;    // first byte not yet handed out
    std::size_t scanned_ = 0;  // bytes from start_ already known to hold no LF
};

}  // namespace detail
}  // namespace platform::tcp
