#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>

#include "platform/ascii.h"
#include "platform/errors.h"

namespace platform::files {
namespace {

std::string errnoText() {
    return std::strerror(errno);
}

bool pathExists(const std::string& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// Directory entries in name order, as the first-match rule needs.
std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (const dirent* e = ::readdir(dir)) {
        std::string n = e->d_name;
        if (n != "." && n != "..")
            names.push_back(std::move(n));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string resolve(const Name& name) {
    std::string given = name.text();
    if (name.isExact() || given.empty() || pathExists(given))
        return given;

    // Walk the components; once one matches nothing, the rest stays as given.
    std::string done = given.front() == '/' ? "/" : "";
    size_t pos = done.size();
    bool matching = true;
    while (pos <= given.size()) {
        size_t next = given.find('/', pos);
        if (next == std::string::npos)
            next = given.size();
        const std::string part = given.substr(pos, next - pos);
        if (!part.empty()) {
            std::string candidate = done + part;
            if (matching && !pathExists(candidate)) {
                matching = false;
                for (const std::string& entry : entriesOf(done)) {
                    if (ascii::equalsNoCase(entry, part)) {
                        candidate = done + entry;
                        matching = true;
                        break;
                    }
                }
            }
            done = candidate;
            if (next < given.size())
                done += '/';
        } else if (next < given.size() && !done.empty() && done.back() != '/') {
            done += '/';
        }
        pos = next + 1;
    }
    return done;
}

namespace {

// The functions below that take a name as text say so in their signature: it comes from
// outside.
std::string resolve(std::string_view outside) {
    return resolve(Name(outside));
}

}  // namespace

// stat of a name that exists as written, else of its resolved form (resolve keeps a name that
// exists as it is, so the first try saves the walk and gives the same answer). An exact name
// is never looked up.
bool statResolved(const Name& name, struct stat& st) {
    const std::string& given = name.text();
    if (::stat(given.c_str(), &st) == 0)
        return true;
    if (name.isExact())
        return false;
    const std::string path = resolve(name);
    return path != given && ::stat(path.c_str(), &st) == 0;
}

bool fileExists(const Name& name) {
    struct stat st {};
    return statResolved(name, st) && S_ISREG(st.st_mode);
}

bool folderExists(std::string_view name) {
    struct stat st {};
    return !name.empty() && ::stat(resolve(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t fileSize(const Name& name) {
    const std::string path = resolve(name);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw IoError("Cannot read the size of " + path + ": " + errnoText());
    return st.st_size;
}

bool clearAttributes(const Name& name) {
    const std::string path = resolve(name);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    if (st.st_mode & S_IWUSR)
        return true;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

namespace {

bool writable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return true;  // nothing there yet
    // The owner's bit counts for everyone, the superuser too: it is what a user sets to keep a
    // file.
    return (st.st_mode & S_IWUSR) != 0 && ::access(path.c_str(), W_OK) == 0;
}

[[noreturn]] void failReadOnly(const std::string& what) {
    throw IoError(what + ": " + std::strerror(EACCES));
}

// Temporary files: "." + the target's name + ".tmp-" + the writer's process number, beside the
// target. A name that would not fit the file system's limit is cut and marked with a hash of
// the whole name, so it stays the temporary of that one target.
constexpr size_t kNameLimit = 255;  // bytes of one name, the common limit of Linux file systems
constexpr size_t kProcessDigits = 10;
constexpr std::string_view kTempMark = ".tmp-";

std::string hashText(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a: the same for every run and build
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (size_t i = 16; i-- > 0; h >>= 4)
        out[i] = kDigits[h & 0xF];
    return out;
}

// The temporary's name for a target's own name, up to its process number.
std::string temporaryStem(std::string_view ownName) {
    std::string stem = "." + std::string(ownName) + std::string(kTempMark);
    if (stem.size() + kProcessDigits <= kNameLimit)
        return stem;
    const std::string tag = "~" + hashText(ownName);
    size_t keep = kNameLimit - kProcessDigits - kTempMark.size() - tag.size() - 1;
    while (keep > 0 && (static_cast<unsigned char>(ownName[keep]) & 0xC0) == 0x80)
        --keep;  // never half a UTF-8 character
    return "." + std::string(ownName.substr(0, keep)) + tag + std::string(kTempMark);
}

bool processRuns(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the temporaries of the target ownName in folder whose writers no longer run: what
// writes of this file killed before their rename left. Nothing else of the folder is touched.
void removeLeftoversOf(const std::string& folder, std::string_view ownName) {
    const std::string stem = temporaryStem(ownName);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> ended;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view entry = e->d_name;
        if (!entry.starts_with(stem))
            continue;
        const std::string_view digits = entry.substr(stem.size());
        if (digits.empty() || digits.size() > kProcessDigits || digits.front() == '0' ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const long long pid = std::stoll(std::string(digits));
        // A number past what a process may have is no writer's; the own number is a process
        // of that number that ended inside a write.
        if (pid <= std::numeric_limits<pid_t>::max() &&
            (pid == ::getpid() || !processRuns(static_cast<pid_t>(pid))))
            ended.emplace_back(entry);
    }
    ::closedir(dir);
    for (const std::string& entry : ended)
        ::unlink((folder + entry).c_str());
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a replace writes: a link is followed, so the file it points to is replaced.
std::string replacedFile(const Name& name) {
    std::string target = resolve(name);
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        auto real = std::filesystem::canonical(target, ec);
        if (!ec)
            target = real.string();
    }
    return target;
}

// Writes bytes to fd; the errno of a failed write, or 0.
int writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w >= 0)
            done += static_cast<size_t>(w);
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Gives the new file the owner and group of the old one where this process may; another user
// may still keep the group when it is one of its own. Otherwise the file stays its writer's.
void keepOwner(int fd, const struct stat& old) {
    struct stat made {};
    if (::fstat(fd, &made) != 0 || (made.st_uid == old.st_uid && made.st_gid == old.st_gid))
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) == 0 || made.st_gid == old.st_gid)
        return;
    if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        return;  // neither: the new file is its writer's, with the writer's group
}

// The one way a file is replaced: its new content goes into a temporary file beside it (fill
// writes it and returns the errno of a failure, or 0), which a rename puts in its place, so the
// target holds its old content or its new one at every moment. The new file keeps the owner,
// group and mode of the one it replaces where this process may set them (the superuser may;
// another user keeps the mode, as a plain write would); a new target gets newMode. Leftovers of
// killed writes of the target are removed first. Raises IoError "<failure>: <reason>".
void replaceFile(const std::string& target, const std::function<int(int)>& fill,
                 std::optional<mode_t> newMode, const std::string& failure) {
    // A rename would replace a read-only file as well: it is refused like any failed write.
    if (!writable(target))
        failReadOnly(failure);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    const std::string folder = folderOf(target);
    const std::string ownName = target.substr(folder.size());
    removeLeftoversOf(folder, ownName);
    const std::string temp = folder + temporaryStem(ownName) + std::to_string(::getpid());
    int error = 0;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno;
    } else {
        error = fill(fd);
        if (error == 0 && replacing)
            keepOwner(fd, old);
        // After the owner: a change of owner clears the set-user and set-group bits.
        const std::optional<mode_t> mode =
            replacing ? std::optional<mode_t>(old.st_mode & 07777) : newMode;
        if (error == 0 && mode && ::fchmod(fd, *mode) != 0)
            error = errno;
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
            error = errno;
        if (error != 0)
            ::unlink(temp.c_str());
    }
    if (error != 0)
        throw IoError(failure + ": " + std::strerror(error));
}

}  // namespace

bool mayReplace(std::string_view name) {
    return writable(resolve(name));
}

void removeFile(std::string_view name) {
    const std::string path = resolve(name);
    if (::unlink(path.c_str()) != 0)
        throw IoError("Cannot delete " + path + ": " + errnoText());
}

void copyFile(const Name& from, std::string_view to) {
    const std::string source = resolve(from);
    const std::string target = replacedFile(Name(to));
    const std::string failure = "Cannot copy " + source + " to " + target;
    std::error_code ec;
    // Copying a file onto itself would truncate it: it already is where it should be.
    if (std::filesystem::equivalent(source, target, ec))
        return;
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw IoError(failure + ": " + errnoText());
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(in);
        throw IoError(failure + ": " + std::strerror(error));
    }
    try {
        // A new target gets the source's mode, as a copy of the file.
        replaceFile(
            target,
            [in](int out) {
                std::vector<char> buffer(1 << 18);
                for (;;) {
                    const ssize_t r = ::read(in, buffer.data(), buffer.size());
                    if (r < 0 && errno == EINTR)
                        continue;
                    if (r < 0)
                        return errno;
                    if (r == 0)
                        return 0;
                    if (const int error = writeAll(out, {buffer.data(), static_cast<size_t>(r)}))
                        return error;
                }
            },
            st.st_mode & 07777, failure);
    } catch (...) {
        ::close(in);
        throw;
    }
    ::close(in);
}

bool matchesMask(std::string_view name, std::string_view mask) {
    // Iterative wildcard match with one back-tracking point for the last '*'.
    size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() &&
            (mask[m] == '?' || ascii::toUpper(mask[m]) == ascii::toUpper(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::vector<std::string> listFiles(std::string_view folder, std::string_view mask) {
    std::string dir = resolve(folder);
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        const char* entry = e->d_name;
        if (entry[0] == '.' || !matchesMask(entry, mask))
            continue;
        // The entry's type saves a stat; links and unknown types are looked at.
        if (e->d_type != DT_REG) {
            struct stat st {};
            if ((e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) ||
                ::stat((dir + entry).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        names.emplace_back(entry);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), ascii::lessNoCase);
    return names;
}

std::string programFile() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string programFolder() {
    std::string file = programFile();
    return file.substr(0, file.rfind('/') + 1);
}

File::File(const Name& name, Mode mode) : name_(name.text()) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY | O_NONBLOCK;  // a pipe in a file's place must not wait for a writer
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::CreateReadWrite:
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::CreateTruncate:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
    }
    // A name that opens as written is its own resolved form; only a failure walks the folders.
    // An exact name is opened as it is, or not at all.
    fd_ = ::open(name_.c_str(), name.isExact() ? flags : flags & ~O_CREAT, 0644);
    if (fd_ < 0 && !name.isExact()) {
        name_ = resolve(name);
        fd_ = ::open(name_.c_str(), flags, 0644);
    }
    if (fd_ < 0)
        fail("open");
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        errno = EISDIR;
        fail("open");
    }
}

File::~File() {
    if (fd_ >= 0)
        ::close(fd_);
}

File::File(File&& other) noexcept : name_(std::move(other.name_)), fd_(other.fd_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        name_ = std::move(other.name_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void File::fail(const char* what) const {
    throw IoError(std::string("I/O error: cannot ") + what + " " + name_ + ": " + errnoText());
}

std::int64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        fail("read the size of");
    return st.st_size;
}

void File::seek(std::int64_t position) {
    if (position < 0) {
        errno = EINVAL;
        fail("seek in");
    }
    if (::lseek(fd_, position, SEEK_SET) < 0)
        fail("seek in");
}

std::string File::readSome(size_t n) {
    std::string out(n, '\0');
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd_, out.data() + got, n - got);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            fail("read");
        }
        if (r == 0)
            break;
        got += static_cast<size_t>(r);
    }
    out.resize(got);
    return out;
}

std::string File::readAt(std::int64_t position, size_t n) {
    if (position < 0) {
        errno = EINVAL;
        fail("seek in");
    }
    std::string out(n, '\0');
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd_, out.data() + got, n - got,
                                  static_cast<off_t>(position + static_cast<std::int64_t>(got)));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            fail("read");
        }
        if (r == 0) {
            errno = EIO;
            throw IoError("I/O error: unexpected end of file " + name_);
        }
        got += static_cast<size_t>(r);
    }
    return out;
}

std::string File::read(size_t n) {
    std::string out = readSome(n);
    if (out.size() != n) {
        errno = EIO;
        throw IoError("I/O error: unexpected end of file " + name_);
    }
    return out;
}

void File::write(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            fail("write");
        }
        done += static_cast<size_t>(w);
    }
}

void File::close() {
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail("close");
}

std::optional<FileIdentity> identityOf(const Name& name) {
    struct stat st {};
    if (!statResolved(name, st))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                        static_cast<std::uint64_t>(st.st_ino)};
}

std::string readWholeFile(const Name& name) {
    File f(name, File::Mode::Read);
    std::string all;
    for (;;) {
        std::string chunk = f.readSome(1 << 16);
        if (chunk.empty())
            break;
        all += chunk;
    }
    return all;
}

void writeWholeFileAtomically(std::string_view name, std::string_view bytes) {
    const std::string target = replacedFile(Name(name));
    replaceFile(
        target, [bytes](int fd) { return writeAll(fd, bytes); }, std::nullopt,
        "I/O error: cannot write " + target);
}

}  // namespace platform::files
