#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The one place where file names meet the disk. Names compare without regard to case: a name
// that exists as written is used as it is; otherwise it is resolved component by component
// against the folder listings (first case-insensitive match in name order). A component that
// matches nothing keeps the case it was given, so a new file is created as named.
namespace platform::files {

// A name handed to the functions below. A name from outside (settings, playlist and queue
// lines, the other program's lines, the stored upper-case paths) is looked up as described
// above. An exact name is one a folder listing gave (a scan): it is the file's own and is used
// as it is, so a file that vanished is missing, never replaced by another whose name differs
// only in case. Both are made on purpose: a text never becomes a name by itself, so every
// place where a known file's name is handed on as an outside one shows in the code.
class Name {
  public:
    Name() = default;
    explicit Name(std::string_view name) : text_(name) {}
    static Name exact(std::string_view name) {
        Name n(name);
        n.exact_ = true;
        return n;
    }
    const std::string& text() const { return text_; }
    bool isExact() const { return exact_; }

  private:
    std::string text_;
    bool exact_ = false;
};

// The on-disk form of a name (see above); an exact name as it is. Never fails; a name that
// matches nothing comes back with its unmatched tail as given.
std::string resolve(const Name& name);

bool fileExists(const Name& name);         // a regular file (or a link to one)
bool folderExists(std::string_view name);  // a directory

// Size in bytes; raises IoError when the file cannot be examined.
std::int64_t fileSize(const Name& name);

// "Set the attributes to none": makes the file writable by its owner. False when it failed.
bool clearAttributes(const Name& name);

// False for an existing file that may not be written: read-only for its owner, or not
// writable by this process. Such a file is kept: its owner's read-only mark says it must not
// be replaced. A name that does not exist yet may be created.
bool mayReplace(std::string_view name);

void removeFile(std::string_view name);  // raises IoError
// Replaces the target as writeWholeFileAtomically does, with the source's bytes; a new target
// gets the source's mode. A target that is the source itself is left whole. A target that may
// not be replaced (mayReplace) fails. Raises IoError.
void copyFile(const Name& from, std::string_view to);

// The plain files of one folder whose names match mask ("*.MP3", "*.PLY", ? and * wildcards,
// without regard to case): no folders, no hidden files (a leading "."), sorted by name without
// regard to case. Names only, as listed on disk. A missing folder lists nothing.
std::vector<std::string> listFiles(std::string_view folder, std::string_view mask);

bool matchesMask(std::string_view name, std::string_view mask);

// The running program's file and its folder (with a trailing "/").
std::string programFile();
std::string programFolder();

// An open file with byte positions. Closes itself; every failure raises IoError naming the file.
class File {
  public:
    enum class Mode { Read, ReadWrite, CreateReadWrite, CreateTruncate };

    File(const Name& name, Mode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    std::int64_t size() const;
    void seek(std::int64_t position);
    // Reads exactly n bytes at the current position; fewer raises IoError.
    std::string read(size_t n);
    // Reads up to n bytes; returns what was there.
    std::string readSome(size_t n);
    // Reads exactly n bytes at position, leaving the current position; fewer raises IoError.
    std::string readAt(std::int64_t position, size_t n);
    void write(std::string_view bytes);
    void close();  // raises IoError when closing fails; the destructor closes silently
    const std::string& name() const { return name_; }

  private:
    [[noreturn]] void fail(const char* what) const;
    std::string name_;
    int fd_ = -1;
};

// What tells one file from another, whatever folder or link it is reached through.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
    auto operator<=>(const FileIdentity&) const = default;
};
// The identity of the file a name names (a link is followed); none when nothing is there.
std::optional<FileIdentity> identityOf(const Name& name);

// Whole-file helpers for the plain-text files of the programs.
std::string readWholeFile(const Name& name);  // IoError when missing or unreadable
// Every replace of a file (this and copyFile) writes a hidden temporary file beside it,
// "." + its name + ".tmp-" + the process number (a name past 255 bytes is cut and marked with
// a hash of the whole name), and renames it into place: at every moment the file holds its old
// bytes or its new ones. The new file keeps the owner, group and mode of the old one where the
// writer may set them (the superuser may; another user keeps the mode). The temporaries of this
// file that writers no longer running left are removed, nothing else. A file that may not be
// replaced (mayReplace) is left as it is. Raises IoError naming the file, never the temporary.
void writeWholeFileAtomically(std::string_view name, std::string_view bytes);

}  // namespace platform::files
