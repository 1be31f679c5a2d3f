#include "platform/tcp/line_buffer.h"

#include "platform/errors.h"

namespace platform::tcp::detail {

std::optional<std::string> LineBuffer::takeLine() {
    const std::size_t lf = data_.find('\n', start_ + scanned_);
    if (lf == std::string::npos) {
        scanned_ = data_.size() - start_;
        // One more byte than the limit may still be the CR of an allowed line.
        if (scanned_ > kMaxLineLength + 1)
            throw Error("Line longer than " + std::to_string(kMaxLineLength) + " characters");
        return std::nullopt;
    }
    std::size_t end = lf;
    if (end > start_ && data_[end - 1] == '\r')
        --end;
    if (end - start_ > kMaxLineLength)
        throw Error("Line longer than " + std::to_string(kMaxLineLength) + " characters");
    std::string line = data_.substr(start_, end - start_);
    start_ = lf + 1;
    scanned_ = 0;
    // Drop what was handed out once it is the bigger part, so many short lines stay cheap.
    if (start_ > data_.size() / 2) {
        data_.erase(0, start_);
        start_ = 0;
    }
    return line;
}

}  // namespace platform::tcp::detail
