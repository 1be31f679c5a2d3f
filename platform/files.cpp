#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

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

// The bytes into a new file, with the mode of the file it replaces when there is one; the
// errno of the failing step, or 0.
int writeNewFile(const std::string& path, std::string_view bytes, std::optional<mode_t> keepMode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    size_t done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w >= 0)
            done += static_cast<size_t>(w);
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && keepMode && ::fchmod(fd, *keepMode) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

constexpr std::string_view kTempMark = ".tmp-";

std::string temporaryFor(const std::string& name) {
    return name + std::string(kTempMark) + std::to_string(::getpid());
}

bool processRuns(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the entries of folder named owner + ".tmp-" + the number of a process that no
// longer runs, for each owner that isOwner accepts: what writes killed between their write
// and their rename left.
template <class IsOwner>
void removeLeftovers(const std::string& folder, IsOwner isOwner) {
    for (const std::string& entry : entriesOf(folder)) {
        const size_t mark = entry.rfind(kTempMark);
        if (mark == std::string::npos || !isOwner(std::string_view(entry).substr(0, mark)))
            continue;
        const std::string digits = entry.substr(mark + kTempMark.size());
        if (digits.empty() || digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const auto pid = static_cast<pid_t>(std::stol(digits));
        if (pid > 0 && pid != ::getpid() && !processRuns(pid))
            ::unlink((folder + entry).c_str());
    }
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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
    const std::string target = resolve(to);
    std::error_code ec;
    // Copying a file onto itself would truncate it: it already is where it should be.
    if (std::filesystem::equivalent(source, target, ec))
        return;
    if (!writable(target))
        failReadOnly("Cannot copy " + source + " to " + target);
    // A hidden name beside the target, renamed into place: a failed copy leaves no half file.
    const std::filesystem::path targetPath(target);
    const std::string temp =
        temporaryFor((targetPath.parent_path() / ("." + targetPath.filename().string())).string());
    ec.clear();
    std::filesystem::copy_file(source, temp, std::filesystem::copy_options::overwrite_existing, ec);
    if (!ec && ::rename(temp.c_str(), target.c_str()) != 0)
        ec = std::error_code(errno, std::generic_category());
    if (ec) {
        ::unlink(temp.c_str());
        throw IoError("Cannot copy " + source + " to " + target + ": " + ec.message());
    }
}

void removeCopyLeftovers(std::string_view folder) {
    std::string dir = resolve(folder);
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    // The hidden name of a copy's target: a leading "." (see copyFile).
    removeLeftovers(dir,
                    [](std::string_view owner) { return owner.size() > 1 && owner[0] == '.'; });
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
    std::string target = resolve(name);
    std::error_code ec;
    // Replace the file a link points to, not the link.
    if (std::filesystem::is_symlink(target, ec)) {
        auto real = std::filesystem::canonical(target, ec);
        if (!ec)
            target = real.string();
    }
    // A rename would replace a read-only file as well: it is refused like any failed write.
    if (!writable(target))
        failReadOnly("I/O error: cannot write " + target);
    const std::string temp = temporaryFor(target);
    struct stat old {};
    std::optional<mode_t> keepMode;
    if (::stat(target.c_str(), &old) == 0)
        keepMode = old.st_mode & 07777;
    const std::string folder = folderOf(target);
    const std::string ownName = target.substr(folder.size());
    removeLeftovers(folder, [&ownName](std::string_view owner) { return owner == ownName; });
    ::unlink(temp.c_str());  // left over by a run of this number that ended inside a write
    int error = writeNewFile(temp, bytes, keepMode);
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw IoError("I/O error: cannot write " + target + ": " + std::strerror(error));
    }
}

}  // namespace platform::files
