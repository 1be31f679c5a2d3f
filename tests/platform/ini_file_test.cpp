#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::ini::readValue;
using platform::ini::writeValue;
using testing_support::readFile;
using testing_support::TempDir;

TEST(IniFile, ReadsWithoutRegardToCase) {
    TempDir dir;
    const std::string f = dir.write("a.ini",
                                    "; comment\r\n[Sonhall]\r\nPort = 23 \r\nname=\"quoted\"\r\n"
                                    "[other]\r\nport=99\r\n");
    EXPECT_EQ(readValue(f, "SONHALL", "PORT"), "23");
    EXPECT_EQ(readValue(f, "sonhall", "port"), "23");
    EXPECT_EQ(readValue(f, "SONHALL", "NAME"), "quoted");
    EXPECT_EQ(readValue(f, "OTHER", "PORT"), "99");
    EXPECT_EQ(readValue(f, "SONHALL", "MISSING"), "");
    EXPECT_EQ(readValue(f, "MISSING", "PORT"), "");
    EXPECT_EQ(readValue(dir / "missing.ini", "SONHALL", "PORT"), "");
}

TEST(IniFile, KeyNamesOfTheFirstSectionOfTheName) {
    TempDir dir;
    const std::string f =
        dir.write("a.ini",
                  "A=0\r\n[Other]\r\nB=1\r\n[sonpad]\r\n; note\r\n Port = 1\r\n"
                  "no key here\r\nname=x\r\n[OTHER]\r\nC=2\r\n[SONPAD]\r\nLATE=3\r\n");
    EXPECT_EQ(platform::ini::keyNames(f, "SONPAD"), (std::vector<std::string>{"Port", "name"}));
    EXPECT_TRUE(platform::ini::keyNames(f, "MISSING").empty());
    EXPECT_TRUE(platform::ini::keyNames(dir / "missing.ini", "SONPAD").empty());
}

TEST(IniFile, WritesInPlaceAndAppendsAtTheEndOfTheSection) {
    TempDir dir;
    const std::string f = dir.write("a.ini",
                                    "; keep me\r\n[SONHALL]\r\nPORT=23\r\nFOREIGN=1\r\n\r\n"
                                    "[OTHER]\r\nX=1\r\n");
    writeValue(f, "sonhall", "port", "2323");
    writeValue(f, "SONHALL", "NEW", "v");
    writeValue(f, "THIRD", "K", "3");
    EXPECT_EQ(readFile(f),
              "; keep me\r\n[SONHALL]\r\nport=2323\r\nFOREIGN=1\r\nNEW=v\r\n\r\n"
              "[OTHER]\r\nX=1\r\n[THIRD]\r\nK=3\r\n");
}

TEST(IniFile, NewFileAndFilesWithoutFinalLineEnd) {
    TempDir dir;
    const std::string fresh = dir / "new.ini";
    writeValue(fresh, "S", "K", "V");
    EXPECT_EQ(readFile(fresh), "[S]\r\nK=V\r\n");

    const std::string lf = dir.write("lf.ini", "[S]\nA=1");
    writeValue(lf, "S", "B", "2");
    EXPECT_EQ(readFile(lf), "[S]\nA=1\nB=2\n");
}

TEST(IniFile, LongValuesAreCutOnReading) {
    TempDir dir;
    const std::string f = dir / "long.ini";
    writeValue(f, "S", "K", std::string(3000, 'x'));
    EXPECT_EQ(readValue(f, "S", "K"), std::string(platform::ini::kMaxValueLength, 'x'));
}

TEST(IniFile, FailedWriteNamesTheFileAndLeavesNothing) {
    TempDir dir;
    const std::string f = dir / "missing folder/a.ini";
    try {
        writeValue(f, "S", "K", "V");
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + f);
    }
    EXPECT_TRUE(platform::files::listFiles(dir.path(), "*").empty());
}

TEST(IniFile, EveryAccessSeesChangesMadeByOthers) {
    TempDir dir;
    const std::string f = dir.write("a.ini", "[S]\r\nK=1\r\n");
    EXPECT_EQ(readValue(f, "S", "K"), "1");
    dir.write("a.ini", "[S]\r\nK=2\r\n");
    EXPECT_EQ(readValue(f, "S", "K"), "2");
}

}  // namespace
