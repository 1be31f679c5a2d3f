// The real sonpad2 program, started offscreen from a program folder of its own with a small
// library and a saved queue, ended by a signal as a desktop session that ends would.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <thread>

#include "tests/support/mp3_fixtures.h"
#include "tests/support/program_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

using namespace std::chrono_literals;

void CopyProgram(testing_support::TempDir& dir) {
    const std::string runtime = std::string(SONH_RUNTIME_DIR) + "/";
    for (const char* name : {"sonpad2", "CD.AVI", "BARS.AVI", "SONPAD2.HLP"})
        std::filesystem::copy_file(runtime + name, dir / name);
}

TEST(RealProgramTest, SigtermClosesLikeTheWindowSavingSettingsAndQueue) {
    testing_support::TempDir dir;
    CopyProgram(dir);
    dir.mkdir("music");
    for (const char* name : {"tone_cbr_2s.mp3", "tone_vbr_3s.mp3"})
        dir.write(std::string("music/") + name,
                  testing_support::readFile(testing_support::FixtureMp3(name)) +
                      testing_support::TagBlock(name, "Tones"));
    std::string music = dir / "music/";
    for (char& c : music)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    dir.write("sonpad2.kvc",
              "[SONPAD]\r\nPLAY HERE=YES\r\nDIRECTORIES=1\r\nAUTOLOAD SONG QUE=YES\r\n"
              "MP3 PATH1=" +
                  music + "\r\n");
    // Out of order, in mixed case and twice: the program writes back what it loaded.
    dir.write("songque.kvc", "tone_vbr_3s.mp3\r\nTONE_CBR_2S.MP3\r\ntone_cbr_2s.mp3\r\n");

    testing_support::ProgramProcess program(dir / "sonpad2", dir / "program.log");
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(testing_support::WaitUntil([&] { return program.Catches(SIGTERM); }, 30s))
        << program.Log();
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(30s), 0) << program.Log();

    EXPECT_EQ(testing_support::readFile(dir / "songque.kvc"),
              "TONE_CBR_2S.MP3\r\nTONE_VBR_3S.MP3\r\n")
        << program.Log();
    const std::string settings = testing_support::readFile(dir / "sonpad2.kvc");
    for (const char* key :
         {"PLAY HERE=YES", "TOP=", "LEFT=", "MAXWIDTH=", "MAXHEIGHT=", "REMOVE SONG=NO",
          "PLAY ONCE=NO", "SEQUENTIAL PLAY=5", "PLAY IN SEQUENCE=NO", "AUTOLOAD SONG QUE=YES"})
        EXPECT_NE(settings.find(key), std::string::npos) << key << "\n" << settings;
}

// The first start waits in the configuration window, which nobody sees offscreen: a signal
// closes it as its user would (saving it), then the main window, once the start-up is done.
TEST(RealProgramTest, SigtermDuringTheFirstStartsConfigurationWindowSavesAndEnds) {
    testing_support::TempDir dir;
    CopyProgram(dir);
    testing_support::ProgramProcess program(dir / "sonpad2", dir / "program.log");
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(testing_support::WaitUntil([&] { return program.Catches(SIGTERM); }, 30s))
        << program.Log();
    std::this_thread::sleep_for(300ms);  // into the configuration window
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(30s), 0) << program.Log();
    const std::string settings = testing_support::readFile(dir / "sonpad2.kvc");
    EXPECT_NE(settings.find("SERVER IP=255.255.255.255"), std::string::npos) << settings;
    EXPECT_NE(settings.find("PLAY IN SEQUENCE=NO"), std::string::npos) << settings;
}

}  // namespace
}  // namespace client_testing
