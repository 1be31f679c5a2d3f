#pragma once

#include <string>
#include <string_view>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with a trailing "/".
    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

    // Writes a file (making its folders) and returns its full name.
    std::string write(std::string_view relative, std::string_view bytes) const;
    std::string mkdir(std::string_view relative) const;

  private:
    std::string path_;
};

std::string readFile(const std::string& name);

}  // namespace testing_support
