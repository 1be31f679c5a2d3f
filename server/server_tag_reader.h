#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace sonhall {

// The scan's tag reader. A tagged file gives its fields up to their first zero byte, trimmed
// and upper-cased, an empty title, artist or album as "BLANK" and the genre byte in decimal.
// A file without a tag gives only the comment "<no tag>". A file that cannot be read (also
// one shorter than a tag block) gives "<error>" in every field but the title, and false.
bool ReadId3v1TagServer(const platform::files::Name& path, std::string& Title, std::string& Artist,
                        std::string& Genre, std::string& Album, std::string& Year,
                        std::string& Comment);

// The library record of song number n: path is the record's path (upper-case folder and the
// file name as listed), diskPath the same file as the disk spells it, whose tag it reads.
std::string BuildScanRecord(std::int64_t n, const std::string& path, const std::string& diskPath);

}  // namespace sonhall
