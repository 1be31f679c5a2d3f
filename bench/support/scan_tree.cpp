#include "bench/support/scan_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace bench {
namespace {

std::string TagBlock(int n) {
    std::string block = "TAG";
    const auto field = [&](std::string s, size_t w) {
        s.resize(w, '\0');
        block += s;
    };
    field("Song number " + std::to_string(n), 30);
    field("Bench Artist " + std::to_string(n % 97), 30);
    field("Bench Album " + std::to_string(n % 31), 30);
    field("2001", 4);
    field("generated", 30);
    block += static_cast<char>(n % 126);
    return block;
}

}  // namespace

void MakeSongTree(const std::string& root, int files, int folders) {
    const std::string frame = std::string("\xFF\xFB\x90\x64", 4) + std::string(413, '\x55');
    for (int i = 0; i < files; ++i) {
        const std::string folder = root + "folder" + std::to_string(i % folders) + "/";
        if (i < folders)
            std::filesystem::create_directories(folder);
        std::ofstream out(folder + "song" + std::to_string(i) + ".mp3", std::ios::binary);
        out << frame << TagBlock(i);
    }
}

std::string MakeSongTreeInTemp(const std::string& what, int files, int folders) {
    std::string templ = "/tmp/sonh-" + what + "-XXXXXX";
    if (!::mkdtemp(templ.data()))
        return {};
    std::printf("Generating %d tagged files in %d folders under %s ...\n", files, folders,
                templ.c_str());
    const std::string root = templ + "/";
    MakeSongTree(root, files, folders);
    return root;
}

std::vector<std::string> FolderLines(const std::string& root, int folders) {
    std::vector<std::string> lines;
    for (int f = 0; f < folders; ++f) {
        std::string line = root + "folder" + std::to_string(f) + "/";
        for (char& c : line)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        lines.push_back(std::move(line));
    }
    return lines;
}

size_t PlainTagLoop(const std::string& root, int folders) {
    size_t tags = 0;
    char block[128];
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "folder" + std::to_string(f) + "/";
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            continue;
        while (const dirent* e = ::readdir(dir)) {
            const size_t len = std::strlen(e->d_name);
            if (len < 4 || ::strcasecmp(e->d_name + len - 4, ".mp3") != 0)
                continue;
            const int fd = ::open((folder + e->d_name).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            struct stat st {};
            if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
                ::pread(fd, block, sizeof block, st.st_size - 128) == 128 &&
                std::memcmp(block, "TAG", 3) == 0)
                ++tags;
            ::close(fd);
        }
        ::closedir(dir);
    }
    return tags;
}

double BestMs(int runs, const std::function<void()>& f) {
    using Clock = std::chrono::steady_clock;
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace bench
