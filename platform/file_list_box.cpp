#include "platform/file_list_box.h"

#include "platform/files.h"

namespace platform {

void FileListBox::SetDirectory(const std::string& folder) {
    items_.clear();
    diskFolder_.clear();
    if (folder.empty() || !files::folderExists(folder))
        return;
    diskFolder_ = files::resolve(folder);
    if (diskFolder_.back() != '/')
        diskFolder_ += '/';
    items_ = files::listFiles(diskFolder_, mask_);
}

}  // namespace platform
