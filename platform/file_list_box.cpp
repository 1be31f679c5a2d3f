#include "platform/file_list_box.h"

#include "platform/files.h"

namespace platform {

void FileListBox::SetDirectory(const std::string& folder) {
    items_.clear();
    diskFolder_.clear();
    if (folder.empty())
        return;
    // Resolved once: the walk through upper-cased folder names is the slow part.
    std::string disk = files::resolve(files::Name(folder));
    if (!files::folderExists(disk))
        return;
    diskFolder_ = std::move(disk);
    if (diskFolder_.back() != '/')
        diskFolder_ += '/';
    items_ = files::listFiles(diskFolder_, mask_);
}

}  // namespace platform
