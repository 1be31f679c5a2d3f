#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Small socket helpers shared by the server and the client.
namespace platform::tcp::detail {

// Owns one file descriptor and closes it once.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

  private:
    int fd_ = -1;
};

// The system's text for an errno value ("Connection refused").
std::string errorText(int err);

// Keep-alive with short times, so a peer that vanished without a word ends the connection
// within about a minute, and no delay for small writes (every line goes out in one send).
void setStreamOptions(int fd);

// Sends all of data within the time-out; the socket may be blocking or not. Returns 0, or the
// errno of the failure (ETIMEDOUT when the peer took nothing for the whole time-out).
int sendAll(int fd, std::string_view data, std::chrono::milliseconds timeout);
// Sends what the socket takes without waiting; sent tells how much. Returns 0 (also when the
// socket took nothing more), or the errno of the failure.
int sendNow(int fd, std::string_view data, size_t& sent);

}  // namespace platform::tcp::detail
