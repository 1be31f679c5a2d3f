#include "server/file_list_box.h"

#include "platform/files.h"

namespace sonhall {

void FileListBox::SetDirectory(const std::string& folder) {
    items_.clear();
    diskFolder_.clear();
    if (folder.empty() || !platform::files::folderExists(folder))
        return;
    diskFolder_ = platform::files::resolve(folder);
    if (diskFolder_.back() != '/')
        diskFolder_ += '/';
    items_ = platform::files::listFiles(diskFolder_, mask_);
}

}  // namespace sonhall
