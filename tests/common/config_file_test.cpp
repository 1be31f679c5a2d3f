#include "common/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/conversion.h"
#include "common/text_helpers.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::readFile;
using testing_support::TempDir;

std::vector<std::string> namesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    return names;
}

struct TcfgTest : ::testing::Test {
    TempDir dir;
    // The stored name is upper case; the file on disk has the name as the program spells it.
    kv::Tcfg cfg = kv::Tcfg::CreateFile(dir / "sonpad2.kvc");
    std::string onDisk() const { return readFile(dir / "sonpad2.kvc"); }
    void SetUp() override { cfg.SetSection("sonpad"); }
};

TEST_F(TcfgTest, NamesAndSectionAreUpperCase) {
    EXPECT_EQ(cfg.FileName, kv::UpperCase(dir.path()) + "SONPAD2.KVC");
    EXPECT_EQ(cfg.Section, "SONPAD");
    EXPECT_EQ(kv::Tcfg::CreateFile(dir / "sonpad2.kvc").Section, "SONPAD2");
}

TEST_F(TcfgTest, StringsAreStoredTrimmedAndUpperCased) {
    cfg.WriteString("folder", "  c:\\Music\\New  ");
    EXPECT_EQ(cfg.ReadString("FOLDER"), "C:\\MUSIC\\NEW");
    EXPECT_EQ(onDisk(), "[SONPAD]\r\nFOLDER=C:\\MUSIC\\NEW\r\n");
    // Lower-case names given to the explicit-section form reach the file upper-cased too.
    cfg.WriteSectionString("other", "key", "v");
    EXPECT_NE(onDisk().find("[OTHER]\r\nKEY=V"), std::string::npos);
}

TEST_F(TcfgTest, BooleansAreYesAndNo) {
    cfg.WriteBool("A", true);
    cfg.WriteBool("B", false);
    EXPECT_TRUE(cfg.ReadBool("a"));
    EXPECT_FALSE(cfg.ReadBool("B"));
    EXPECT_NE(onDisk().find("A=YES"), std::string::npos);
    EXPECT_NE(onDisk().find("B=NO"), std::string::npos);

    dir.write("sonpad2.kvc", "[sonpad]\nlow=yes\nt=TRUE\none=1\n");
    EXPECT_TRUE(cfg.ReadBool("LOW"));
    EXPECT_FALSE(cfg.ReadBool("T"));
    EXPECT_FALSE(cfg.ReadBool("ONE"));
    EXPECT_FALSE(cfg.ReadBool("MISSING"));
}

TEST_F(TcfgTest, IntegersAndTheConversionError) {
    EXPECT_EQ(cfg.ReadInteger("MISSING"), 0);
    cfg.WriteInteger("N", 12);
    cfg.WriteInteger("NEG", -5);
    EXPECT_EQ(cfg.ReadInteger("N"), 12);
    EXPECT_EQ(cfg.ReadInteger("NEG"), -5);
    cfg.WriteString("BAD", "abc");
    try {
        cfg.ReadInteger("BAD");
        ADD_FAILURE() << "no conversion error";
    } catch (const kv::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'ABC' is not a valid integer value");
    }
}

TEST_F(TcfgTest, MissingFileReadsEmptyAndIsCreatedByAWrite) {
    EXPECT_EQ(cfg.ReadString("ANY"), "");
    EXPECT_FALSE(platform::files::fileExists(platform::files::Name(dir / "sonpad2.kvc")));
    cfg.WriteInteger("PORT", 23);
    // Created as the program spells its name, whatever case Tcfg holds it in.
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"sonpad2.kvc"});
}

// A file already there keeps the name it has on disk, whatever its case.
TEST_F(TcfgTest, AnExistingFileKeepsItsNameOnDisk) {
    dir.write("SonPad2.KVC", "[SONPAD]\nPORT=1\n");
    EXPECT_EQ(cfg.ReadInteger("PORT"), 1);
    cfg.WriteInteger("PORT", 2);
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"SonPad2.KVC"});
    EXPECT_EQ(cfg.ReadInteger("PORT"), 2);
}

TEST_F(TcfgTest, AFailedWriteNamesTheFile) {
    kv::Tcfg nowhere = kv::Tcfg::CreateFile(dir / "no such folder/x.kvc");
    try {
        nowhere.WriteString("SONPAD", "K");
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + nowhere.FileName);
    }
}

TEST(TcfgNames, BareNameGoesIntoTheProgramFolder) {
    const kv::Tcfg cfg = kv::Tcfg::CreateFile("settings.ini");
    EXPECT_EQ(cfg.FileName, kv::UpperCase(platform::files::programFolder()) + "SETTINGS.INI");
    EXPECT_EQ(cfg.Section, "SETTINGS");
}

TEST(TcfgNames, TheProgramFileNamesItsSettings) {
    EXPECT_EQ(kv::ConfigurationFileFor("/opt/jukebox/sonhall2"), "/OPT/JUKEBOX/SONHALL2.KVC");
    EXPECT_EQ(kv::ConfigurationFileFor("/apps/Sonpad2.exe"), "/APPS/SONPAD2.KVC");
    EXPECT_EQ(kv::ConfigurationFileFor("/my.apps/sonpad2"), "/MY.APPS/SONPAD2.KVC");
    EXPECT_EQ(kv::Tcfg::Create().FileName,
              kv::ConfigurationFileFor(platform::files::programFile()));
}

}  // namespace
