#pragma once

#include <cstdint>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/files.h"

namespace kv {

// Size in bytes, 0 on failure; every failure is shown in an error box ("Error 1" clearing
// the attributes, "Error 2" reading the size, "Error 3" opening or closing), which the caller
// waits for unless told not to. As a side effect the file becomes writable by its owner.
// User-interface thread only.
std::int32_t GetCheckedFileSize(const platform::files::Name& path,
                                platform::BoxWait wait = platform::BoxWait::UntilClosed);

}  // namespace kv
