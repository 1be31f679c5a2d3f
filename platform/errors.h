#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Every failure the programs show to the user travels as one of these (or a subclass);
// what() is the text the error box shows.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Opening, positioning, reading or writing a file failed.
class IoError : public Error {
  public:
    using Error::Error;
};

}  // namespace platform
