#include "common/checked_file_size.h"

#include <limits>
#include <optional>

#include "common/message_dialogs.h"
#include "platform/files.h"

namespace kv {

std::int32_t GetCheckedFileSize(const platform::files::Name& path, platform::BoxWait wait) {
    std::int32_t result = 0;
    try {
        platform::files::clearAttributes(path);  // status ignored, as asked
    } catch (const std::exception&) {
        ShowErrorDlg("Error 1", wait);
        return 0;
    }
    std::optional<platform::files::File> file;
    try {
        file.emplace(path, platform::files::File::Mode::Read);
    } catch (const std::exception&) {
        ShowErrorDlg("Error 3", wait);
        return 0;
    }
    try {
        const std::int64_t size = file->size();
        // Sizes past 2 GiB do not fit the signed 32-bit result; report them as the largest.
        result = size > std::numeric_limits<std::int32_t>::max()
                     ? std::numeric_limits<std::int32_t>::max()
                     : static_cast<std::int32_t>(size);
    } catch (const std::exception&) {
        ShowErrorDlg("Error 2", wait);
    }
    try {
        file->close();
    } catch (const std::exception&) {
        ShowErrorDlg("Error 3", wait);
    }
    return result;
}

}  // namespace kv
