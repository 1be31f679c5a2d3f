#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "platform/errors.h"
#include "tests/support/killed_save.h"
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
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
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
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

using testing_support::KillAt;
using testing_support::RunKilledSave;
constexpr auto Killed = testing_support::SaveRun::End::Killed;

// The entries of a folder that are not in before.
std::vector<std::string> NewEntries(const std::string& folder,
                                    const std::set<std::string>& before) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (!before.contains(e.path().filename().string()))
            names.push_back(e.path().filename().string());
    return names;
}

std::set<std::string> EntriesOf(const std::string& folder) {
    const std::vector<std::string> all = NewEntries(folder, {});
    return {all.begin(), all.end()};
}

// Both ways of replacing a file, killed at its rename, leave one temporary within the name
// limit, whatever the length of the target's name; the next replace of that target removes it,
// and nothing else: not a user's hidden file of the same pattern, not the temporary of a
// running process, not the leftover of another target.
TEST(Files, TheNextReplaceRemovesOnlyWhatKilledReplacesOfItsTargetLeft) {
    TempDir dir;
    const std::string source = dir.write("src/song.mp3", "new bytes");
    const std::string longName = std::string(246, 'n') + ".mp3";  // 250 bytes
    const std::string twinName = std::string(246, 'n') + ".MP4";  // the same start
    const struct {
        const char* what;
        std::function<void(const std::string&)> replace;
    } writers[] = {
        {"atomic write",
         [](const std::string& f) { platform::files::writeWholeFileAtomically(f, "new bytes"); }},
        {"copy", [&](const std::string& f) { platform::files::copyFile(Name(source), f); }},
    };
    ASSERT_NE(::kill(424242, 0), 0);  // no process of that number runs
    for (const auto& writer : writers) {
        for (const std::string& name : {std::string("sonpad2.kvc"), longName}) {
            SCOPED_TRACE(std::string(writer.what) + " of " + name.substr(0, 20));
            const std::string folder = dir.mkdir(std::string("out-") + writer.what);
            const std::string target =
                dir.write(std::string("out-") + writer.what + "/" + name, "old");
            const std::string twin = folder + "/" + twinName;
            const std::string user =
                dir.write(std::string("out-") + writer.what + "/.notes.txt.tmp-424242", "mine");
            std::set<std::string> before = EntriesOf(folder);
            ASSERT_EQ(RunKilledSave(KillAt::Replace, [&] { writer.replace(twin); }).end, Killed);
            const std::vector<std::string> twinLeft = NewEntries(folder, before);
            ASSERT_EQ(twinLeft.size(), 1u);
            before = EntriesOf(folder);
            ASSERT_EQ(RunKilledSave(KillAt::Replace, [&] { writer.replace(target); }).end, Killed);
            EXPECT_EQ(testing_support::readFile(target), "old");
            const std::vector<std::string> left = NewEntries(folder, before);
            ASSERT_EQ(left.size(), 1u);
            EXPECT_LE(left[0].size(), 255u);
            EXPECT_EQ(left[0].front(), '.');
            EXPECT_EQ(testing_support::readFile(folder + "/" + left[0]), "new bytes");
            // The same temporary of a process that runs (this one's parent) is in use.
            const std::string running =
                left[0].substr(0, left[0].rfind('-') + 1) + std::to_string(::getppid());
            dir.write(std::string("out-") + writer.what + "/" + running, "in use");

            writer.replace(target);
            EXPECT_EQ(testing_support::readFile(target), "new bytes");
            EXPECT_FALSE(std::filesystem::exists(folder + "/" + left[0]));
            for (const std::string& kept :
                 {user, folder + "/" + twinLeft[0], folder + "/" + running})
                EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
            std::filesystem::remove_all(folder);
        }
    }
}

// A name near the limit is written, copied and read back; two long names that differ only at
// their end have temporaries of their own.
TEST(Files, ATargetNameOf250BytesIsWrittenAndCopied) {
    TempDir dir;
    const std::string name = dir / (std::string(240, 'x') + "\xc3\xa9" + "long.mp3");
    ASSERT_EQ(name.size() - dir.path().size(), 250u);
    platform::files::writeWholeFileAtomically(name, "first");
    platform::files::writeWholeFileAtomically(name, "second");
    EXPECT_EQ(testing_support::readFile(name), "second");
    const std::string copy = dir.mkdir("copy") + "/" + name.substr(dir.path().size());
    platform::files::copyFile(Name(name), copy);
    platform::files::copyFile(Name(name), copy);
    EXPECT_EQ(testing_support::readFile(copy), "second");
    EXPECT_EQ(NewEntries(dir.path(), {"copy"}).size(), 1u);  // no temporary stays
}

struct Attributes {
    uid_t uid;
    gid_t gid;
    mode_t mode;
    bool operator==(const Attributes&) const = default;
};

Attributes AttributesOf(const std::string& f) {
    struct stat st {};
    ::stat(f.c_str(), &st);
    return {st.st_uid, st.st_gid, st.st_mode & 07777};
}

// Whoever replaces a file, it stays its owner's, with its group and mode: the superuser
// replacing another user's file, the copy of a song onto it as well.
TEST(Files, AReplacedFileKeepsItsOwnerGroupAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser may give a file to another user";
    TempDir dir;
    const std::string source = dir.write("song.mp3", "song");
    const std::function<void(const std::string&)> writers[] = {
        [](const std::string& f) { platform::files::writeWholeFileAtomically(f, "new"); },
        [&](const std::string& f) { platform::files::copyFile(Name(source), f); },
    };
    for (const Attributes was : {Attributes{65534, 65534, 0640}, Attributes{1000, 100, 02660}}) {
        for (const auto& replace : writers) {
            const std::string f = dir.write("owned.kvc", "old");
            ASSERT_EQ(::chown(f.c_str(), was.uid, was.gid), 0);
            ASSERT_EQ(::chmod(f.c_str(), was.mode), 0);
            replace(f);
            EXPECT_NE(testing_support::readFile(f), "old");
            EXPECT_EQ(AttributesOf(f), was) << std::oct << was.mode;
        }
    }
}

// Another user with write access to the file and its folder replaces it: the file is then
// that user's, with the old mode, and nothing fails.
TEST(Files, AnotherUserReplacingAFileKeepsItsMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser to act as another user";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);  // made for its owner only
    const std::string folder = dir.mkdir("shared");
    ::chmod(folder.c_str(), 0777);
    const std::string f = dir.write("shared/songque.kvc", "old");
    ::chmod(f.c_str(), 0666);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        try {
            platform::files::writeWholeFileAtomically(f, "new");
        } catch (const std::exception&) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(testing_support::readFile(f), "new");
    EXPECT_EQ(AttributesOf(f), (Attributes{65534, 65534, 0666}));
}

}  // namespace
