#pragma once

#include <string>
#include <vector>

namespace platform {

// The hidden file list of the configuration window: the plain files of one folder whose
// names match the mask, without regard to case, sorted by name without regard to case. Each
// SetDirectory reads the folder afresh; an empty or missing folder lists nothing.
class FileListBox {
  public:
    void SetMask(std::string mask) { mask_ = std::move(mask); }
    const std::string& Mask() const { return mask_; }

    void SetDirectory(const std::string& folder);
    // The folder as the disk spells it (trailing "/"), for opening the listed files; empty when
    // the folder named is none.
    const std::string& DiskDirectory() const { return diskFolder_; }
    const std::vector<std::string>& Items() const { return items_; }

  private:
    std::string mask_ = "*.*";
    std::string diskFolder_;
    std::vector<std::string> items_;
};

}  // namespace platform
