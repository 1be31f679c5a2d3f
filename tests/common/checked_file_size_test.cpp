#include "common/checked_file_size.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/fake_dialogs.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::FakeDialogs;
using testing_support::TempDir;

TEST(GetCheckedFileSize, SizeOfAReadOnlyFileAndTheFileBecomesWritable) {
    TempDir dir;
    const std::string f = dir.write("Locked.mp3", std::string(1234, 'x'));
    ::chmod(f.c_str(), 0444);
    FakeDialogs dialogs;  // nothing may be shown
    EXPECT_EQ(kv::GetCheckedFileSize(platform::files::Name(dir.path() + "LOCKED.MP3")), 1234);
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
}

TEST(GetCheckedFileSize, EmptyFileGivesZeroSilently) {
    TempDir dir;
    FakeDialogs dialogs;
    EXPECT_EQ(kv::GetCheckedFileSize(platform::files::Name(dir.write("empty.mp3", ""))), 0);
}

TEST(GetCheckedFileSize, MissingFileShowsError3) {
    TempDir dir;
    FakeDialogs dialogs;
    dialogs.expectError("Error 3");
    EXPECT_EQ(kv::GetCheckedFileSize(platform::files::Name(dir / "missing.mp3")), 0);
    EXPECT_EQ(dialogs.shown().at(0).title, "Error");
    // Work that must go on posts the box instead.
    dialogs.expectPostedError("Error 3");
    EXPECT_EQ(
        kv::GetCheckedFileSize(platform::files::Name(dir / "missing.mp3"), platform::BoxWait::No),
        0);
}

TEST(GetCheckedFileSize, FolderCannotBeOpenedAsAFile) {
    TempDir dir;
    FakeDialogs dialogs;
    dialogs.expectError("Error 3");
    EXPECT_EQ(kv::GetCheckedFileSize(platform::files::Name(dir.mkdir("sub"))), 0);
}

}  // namespace
