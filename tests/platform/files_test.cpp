#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/errors.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::files::File;
using testing_support::readFile;
using testing_support::TempDir;

TEST(Files, UpperCasedStoredPathFindsTheMixedCaseFile) {
    TempDir dir;
    const std::string real = dir.write("Music Lib/Song.mp3", "abc");
    std::string stored = dir.path() + "MUSIC LIB/SONG.MP3";
    EXPECT_EQ(platform::files::resolve(platform::files::Name(stored)), real);
    EXPECT_TRUE(platform::files::fileExists(platform::files::Name(stored)));
    EXPECT_TRUE(platform::files::folderExists(dir.path() + "music lib"));
    EXPECT_FALSE(platform::files::folderExists(stored));
    EXPECT_FALSE(platform::files::fileExists(platform::files::Name(dir.path() + "MUSIC LIB")));
    EXPECT_EQ(platform::files::fileSize(platform::files::Name(stored)), 3);
}

TEST(Files, ExactNameWinsAndOtherwiseTheFirstMatchInNameOrder) {
    TempDir dir;
    dir.write("b/x.mp3", "upper-first");
    dir.write("B/x.mp3", "exact");
    EXPECT_EQ(platform::files::resolve(platform::files::Name(dir / "b/x.mp3")), dir / "b/x.mp3");
    // A component that exists as written is taken, then the next is matched inside it.
    dir.write("b/y.mp3", "2");
    EXPECT_EQ(platform::files::resolve(platform::files::Name(dir / "b/Y.MP3")), dir / "b/y.mp3");
    // Neither as written: the first match in name order ("Q" sorts before "q").
    dir.write("q.mp3", "1");
    dir.write("Q.MP3", "1");
    EXPECT_EQ(platform::files::resolve(platform::files::Name(dir / "q.Mp3")), dir / "Q.MP3");
}

TEST(Files, ANewFileKeepsTheCaseItWasGiven) {
    TempDir dir;
    dir.mkdir("Play Lists");
    const std::string wanted = dir.path() + "PLAY LISTS/New List.PLY";
    EXPECT_EQ(platform::files::resolve(platform::files::Name(wanted)),
              dir / "Play Lists/New List.PLY");
    File f(platform::files::Name(wanted), File::Mode::CreateReadWrite);
    f.write("x");
    f.close();
    EXPECT_EQ(readFile(dir / "Play Lists/New List.PLY"), "x");
}

TEST(Files, ListingByMaskPlainFilesOnlySortedWithoutCase) {
    TempDir dir;
    for (const char* n : {"b.mp3", "A.MP3", "c.Mp3", ".hidden.mp3", "notes.txt", "d.mp3.bak"})
        dir.write(std::string("lib/") + n, "x");
    dir.mkdir("lib/folder.mp3");
    const std::vector<std::string> want = {"A.MP3", "b.mp3", "c.Mp3"};
    EXPECT_EQ(platform::files::listFiles(dir.path() + "LIB", "*.MP3"), want);
    EXPECT_EQ(platform::files::listFiles(dir.path() + "LIB/", "*.mp3"), want);
    EXPECT_TRUE(platform::files::listFiles(dir / "missing", "*.MP3").empty());
}

TEST(Files, MaskMatching) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"song.mp3", "*.MP3", true}, {"song.mp3x", "*.MP3", false}, {"a.b.mp3", "*.mp3", true},
        {".mp3", "*.MP3", true},     {"x.PLY", "*.ply", true},      {"ab", "a?", true},
        {"a", "a?", false},          {"anything", "*", true},       {"a.mp3", "*.*", true},
        {"mp3", "*.mp3", false},
    };
    for (const auto& [name, mask, match] : cases)
        EXPECT_EQ(platform::files::matchesMask(name, mask), match) << name << " " << mask;
}

TEST(Files, ClearAttributesMakesTheFileWritable) {
    TempDir dir;
    const std::string f = dir.write("ro.mp3", "x");
    ::chmod(f.c_str(), 0444);
    EXPECT_TRUE(platform::files::clearAttributes(platform::files::Name(dir.path() + "RO.MP3")));
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_FALSE(platform::files::clearAttributes(platform::files::Name(dir / "missing")));
}

TEST(Files, CopyReplacesAndDeleteRemoves) {
    TempDir dir;
    const std::string a = dir.write("A.mp3", "new");
    const std::string b = dir.write("b.mp3", "old old old");
    platform::files::copyFile(platform::files::Name(dir.path() + "a.MP3"), dir.path() + "B.MP3");
    EXPECT_EQ(readFile(b), "new");
    platform::files::removeFile(dir.path() + "a.mp3");
    EXPECT_FALSE(platform::files::fileExists(platform::files::Name(a)));
    EXPECT_THROW(platform::files::removeFile(a), platform::IoError);
    EXPECT_THROW(platform::files::copyFile(platform::files::Name(a), b), platform::IoError);
}

TEST(Files, CopyOntoItselfKeepsTheFileAndAFailedCopyLeavesNoTemporary) {
    TempDir dir;
    const std::string a = dir.write("music/A.mp3", "song");
    platform::files::copyFile(platform::files::Name(a),
                              dir.path() + "MUSIC/a.MP3");  // the same file, another case
    EXPECT_EQ(readFile(a), "song");
    dir.write("stick/A.MP3", "old");
    const std::string target = dir / "stick/";
    EXPECT_THROW(platform::files::copyFile(platform::files::Name(dir / "music/missing.mp3"),
                                           target + "A.MP3"),
                 platform::IoError);
    EXPECT_THROW(platform::files::copyFile(platform::files::Name(a), target + "none/A.MP3"),
                 platform::IoError);
    EXPECT_EQ(readFile(target + "A.MP3"), "old");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(target))
        ++entries;
    EXPECT_EQ(entries, 1u);  // hidden temporaries too
}

TEST(Files, FileReadsSeeksAndReportsErrors) {
    TempDir dir;
    const std::string f = dir.write("data", "0123456789");
    File in(platform::files::Name(f), File::Mode::Read);
    EXPECT_EQ(in.size(), 10);
    in.seek(7);
    EXPECT_EQ(in.readSome(10), "789");
    in.seek(2);
    EXPECT_EQ(in.read(3), "234");
    in.seek(8);
    EXPECT_THROW(in.read(3), platform::IoError);
    EXPECT_THROW(in.seek(-1), platform::IoError);
    EXPECT_THROW(File(platform::files::Name(dir / "missing"), File::Mode::Read), platform::IoError);
    EXPECT_THROW(File(platform::files::Name(dir.path()), File::Mode::Read), platform::IoError);
    EXPECT_THROW(in.write("x"), platform::IoError);  // opened read-only
}

TEST(Files, AtomicWriteLeavesNoTemporaryAndKeepsPermissions) {
    TempDir dir;
    const std::string f = dir.write("Settings.kvc", "old");
    ::chmod(f.c_str(), 0600);
    platform::files::writeWholeFileAtomically(dir.path() + "SETTINGS.KVC", "new");
    EXPECT_EQ(readFile(f), "new");
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(platform::files::listFiles(dir.path(), "*").size(), 1u);
    EXPECT_THROW(platform::files::writeWholeFileAtomically(dir / "no/such/dir/f", "x"),
                 platform::IoError);
}

// A file its owner made read-only is kept by every way of replacing it, whoever runs the
// program; the message names the file, not a temporary beside it.
TEST(Files, ReadOnlyFileIsNotReplaced) {
    TempDir dir;
    const std::string f = dir.write("Songque.kvc", "kept");
    const std::string source = dir.write("new.mp3", "new");
    ::chmod(f.c_str(), 0444);
    EXPECT_FALSE(platform::files::mayReplace(dir.path() + "SONGQUE.KVC"));
    EXPECT_TRUE(platform::files::mayReplace(source));
    EXPECT_TRUE(platform::files::mayReplace(dir / "not-there-yet"));
    const struct {
        const char* what;
        std::function<void()> replace;
    } cases[] = {
        {"atomic write",
         [&] { platform::files::writeWholeFileAtomically(dir.path() + "SONGQUE.KVC", "lost"); }},
        {"copy",
         [&] {
             platform::files::copyFile(platform::files::Name(source), dir.path() + "SONGQUE.KVC");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.replace();
            ADD_FAILURE() << "replaced";
        } catch (const platform::IoError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(f + ": "), std::string::npos) << text;
            EXPECT_EQ(text.find(".tmp"), std::string::npos) << text;
        }
        EXPECT_EQ(readFile(f), "kept");
        EXPECT_EQ(platform::files::listFiles(dir.path(), "*").size(), 2u);
        struct stat st {};
        ::stat(f.c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0444u);
    }
    // Made writable again, it is replaced as before.
    ::chmod(f.c_str(), 0644);
    platform::files::writeWholeFileAtomically(f, "new");
    EXPECT_EQ(readFile(f), "new");
}

TEST(Files, FailedAtomicWriteNamesTheFileNotItsTemporary) {
    TempDir dir;
    // A folder nobody may write into (the superuser too): the temporary cannot be made.
    for (const std::string& name : {std::string("/proc/songque.kvc"), dir / "missing/f.kvc"}) {
        try {
            platform::files::writeWholeFileAtomically(name, "x");
            ADD_FAILURE() << name;
        } catch (const platform::IoError& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind("I/O error: cannot write " + name + ": ", 0), 0u) << text;
        }
    }
}

TEST(Files, ProgramFolderIsTheTestBinarysFolder) {
    const std::string folder = platform::files::programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(platform::files::programFile().rfind(folder, 0), 0u);
}

}  // namespace

namespace {

using platform::files::Name;

// A name a folder listing gave is the file's own: once the file vanished it is missing, while
// the same name from outside still finds the file whose name differs only in case.
TEST(Files, AnExactNameThatVanishedIsMissingNotItsCaseTwin) {
    TempDir dir;
    const std::string lower = dir.write("m/twin.mp3", "lower");
    const std::string upper = dir.write("m/TWIN.mp3", "upper");
    EXPECT_EQ(platform::files::readWholeFile(Name::exact(lower)), "lower");
    std::filesystem::remove(lower);

    const Name exact = Name::exact(lower);
    EXPECT_FALSE(platform::files::fileExists(exact));
    EXPECT_TRUE(platform::files::fileExists(platform::files::Name(lower)));
    EXPECT_EQ(platform::files::resolve(exact), lower);
    EXPECT_EQ(platform::files::resolve(platform::files::Name(lower)), upper);
    EXPECT_FALSE(platform::files::clearAttributes(exact));
    EXPECT_THROW(platform::files::fileSize(exact), platform::IoError);
    for (const File::Mode mode : {File::Mode::Read, File::Mode::ReadWrite})
        EXPECT_THROW(File(exact, mode), platform::IoError);
    EXPECT_THROW(platform::files::copyFile(exact, dir / "copy.mp3"), platform::IoError);
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.mp3"));
    EXPECT_EQ(readFile(upper), "upper");
    EXPECT_FALSE(std::filesystem::exists(lower));
}

// The number of a process that has ended: a save killed between its write and its rename.
pid_t KilledWriter(const std::string& temporaryOf) {
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string temp = temporaryOf + std::to_string(::getpid());
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, "half", 4);
            ::close(fd);
        }
        ::raise(SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// The next save of a file removes what killed saves of it left; temporaries of running
// processes and of other files stay.
TEST(Files, TheNextSaveRemovesTheTemporaryAKilledSaveLeft) {
    TempDir dir;
    const std::string file = dir / "sonpad2.kvc";
    const pid_t killed = KilledWriter(file + ".tmp-");
    const std::string left = file + ".tmp-" + std::to_string(killed);
    ASSERT_TRUE(std::filesystem::exists(left));
    const std::string running = dir.write("sonpad2.kvc.tmp-1", "in use");  // process 1 runs
    const std::string other = dir.write("songque.kvc.tmp-" + std::to_string(killed), "x");
    const std::string notOne = dir.write("sonpad2.kvc.tmp-12ab", "x");

    platform::files::writeWholeFileAtomically(file, "new");
    EXPECT_EQ(readFile(file), "new");
    EXPECT_FALSE(std::filesystem::exists(left));
    for (const std::string& kept : {running, other, notOne})
        EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
}

TEST(Files, CopyLeftoversOfEndedProcessesAreRemoved) {
    TempDir dir;
    const std::string folder = dir.mkdir("stick");
    const pid_t killed = KilledWriter(folder + "/.SONG.MP3.tmp-");
    const std::string left = folder + "/.SONG.MP3.tmp-" + std::to_string(killed);
    ASSERT_TRUE(std::filesystem::exists(left));
    const std::string running = dir.write("stick/.OTHER.MP3.tmp-1", "in use");
    const std::string song = dir.write("stick/SONG.MP3", "song");
    platform::files::removeCopyLeftovers(dir.path() + "STICK");
    EXPECT_FALSE(std::filesystem::exists(left));
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_EQ(readFile(song), "song");
}

}  // namespace
