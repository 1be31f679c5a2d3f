// The real sonhall2 program, started offscreen from a program folder of its own, as a plain
// line client meets it: log in, queue two songs, see the invitations and the songs play; an
// empty library; the end by a signal.
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <regex>
#include <thread>
#include <vector>

#include "common/text_helpers.h"
#include "tests/server/server_test_support.h"
#include "tests/support/program_process.h"

namespace server_testing {
namespace {

using namespace std::chrono_literals;

using testing_support::ProgramProcess;

// Lines from the server with the "#AVL" invitations counted and set aside.
class Client {
  public:
    bool Connect(int port) { return line_.Connect(port); }
    void Send(std::string_view line) { line_.Send(line); }
    std::optional<std::string> Next(std::chrono::milliseconds timeout = 20s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            auto line = line_.ReadLine(100ms);
            if (!line)
                continue;
            if (*line != "#AVL")
                return line;
            ++invitations;
        }
        return std::nullopt;
    }
    // The next line, "#AVL" included.
    std::optional<std::string> NextOfAny(std::chrono::milliseconds timeout = 20s) {
        return line_.ReadLine(timeout);
    }
    int invitations = 0;

  private:
    LineClient line_;
};

// A program folder with the program, its data files and a configuration whose one MP3 folder
// holds the given fixtures.
std::string ProgramFolder(testing_support::TempDir& dir, int port,
                          std::initializer_list<const char*> songs) {
    const std::string runtime = std::string(SONH_RUNTIME_DIR) + "/";
    for (const char* name : {"sonhall2", "meter.avi", "connect.avi", "SONHALL2.HLP"})
        std::filesystem::copy_file(runtime + name, dir / name);
    const std::string fixtures = std::string(SONH_SOURCE_DIR) + "/tests/fixtures/";
    dir.mkdir("music");
    for (const char* name : songs)
        std::filesystem::copy_file(fixtures + name, dir / ("music/" + std::string(name)));
    std::string music = dir / "music/";
    std::transform(music.begin(), music.end(), music.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    dir.write("sonhall2.kvc",
              "[SONHALL]\r\nCROSSFADE=98\r\nDIRECTORIES=1\r\nPORT=" + std::to_string(port) +
                  "\r\nCLIENT SONG=3\r\nMP3 PATH1=" + music + "\r\n");
    return dir / "sonhall2";
}

// Logged in as KITCHEN, the greeting and the log-in replies read.
void LogIn(Client& c) {
    EXPECT_EQ(c.Next(), "SONHALL II");
    c.Send(">>>KITCHEN");
    EXPECT_EQ(c.Next(), "KITCHEN has just logged in.");
    EXPECT_EQ(c.Next(), "#LOGack");
}

// Each song queued as a client submits it: room asked for, then the file.
void Queue(Client& c, const std::vector<std::string>& songs) {
    for (const std::string& song : songs) {
        c.Send("#CISKITCHEN");
        EXPECT_EQ(c.Next(), "#CISack");
        c.Send("#FIL" + song);
        EXPECT_EQ(c.Next(), "#FILack" + song);
    }
}

TEST(RealProgramTest, AClientLogsInQueuesTwoSongsAndHearsThemPlay) {
    testing_support::TempDir dir;
    const int port = FreePort();
    const std::string exe = ProgramFolder(dir, port, {"tone_cbr_2s.mp3", "tone_vbr_3s.mp3"});

    ProgramProcess program(exe, dir / "program.log");
    ASSERT_TRUE(program.started());
    Client c;
    // It listens from its third tick on, about three seconds after the window shows.
    ASSERT_TRUE(WaitUntil([&] { return c.Connect(port); }, 60s)) << program.Log();
    LogIn(c);
    Queue(c, {"tone_cbr_2s.mp3", "tone_vbr_3s.mp3"});

    // Each song shows in turn: number, position within its length, name and size.
    struct Expected {
        std::string number, name;
        int lengthMs, size;
    };
    for (const Expected& song : {Expected{"000001", "TONE_CBR_2S.MP3", 2000, 16508},
                                 Expected{"000002", "TONE_VBR_3S.MP3", 3000, 13734}}) {
        const std::regex reply(R"(#PLY(\d{6})(\d+)!(\d+)\*([^:]*):(\d+)\$)");
        std::smatch m;
        bool shown = false;
        for (int i = 0; i < 300 && !shown; ++i) {
            c.Send("#PLY?");
            const auto line = c.Next();
            ASSERT_TRUE(line) << program.Log();
            if (std::regex_match(*line, m, reply) && m[4] == song.name) {
                shown = true;
                EXPECT_EQ(m[1], song.number);
                EXPECT_LE(std::stoi(m[2]), std::stoi(m[3]));
                EXPECT_NEAR(std::stoi(m[3]), song.lengthMs, 200);
                EXPECT_EQ(std::stoi(m[5]), song.size);
            } else {
                std::this_thread::sleep_for(50ms);
            }
        }
        EXPECT_TRUE(shown) << song.name << "\n" << program.Log();
    }
    EXPECT_GT(c.invitations, 0);
    c.Send("#INI?");
    const auto info = c.Next();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size(), 19u);
    EXPECT_EQ(info->substr(11, 6), "000002") << "songs played";
    c.Send("#LOGoff");
}

// A client that asks the moment it is invited, as a polling client's next tick may: every
// reply shows a state the server was in, and the replies to a start's "#AVL" show that song.
TEST(RealProgramTest, RepliesToAStartsInvitationNameTheNewSongAndCountIt) {
    testing_support::TempDir dir;
    const int port = FreePort();
    const std::vector<std::string> songs = {"tone_22k_mono_1500ms.mp3", "tone_cbr_2s.mp3",
                                            "tone_vbr_3s.mp3"};
    ProgramProcess program(
        ProgramFolder(dir, port, {songs[0].c_str(), songs[1].c_str(), songs[2].c_str()}),
        dir / "program.log");
    ASSERT_TRUE(program.started());
    Client c;
    ASSERT_TRUE(WaitUntil([&] { return c.Connect(port); }, 60s)) << program.Log();
    LogIn(c);
    Queue(c, songs);

    // Each invitation is answered with "#PLY?" and "#INI?"; the replies come in that order.
    struct Seen {
        std::string play, info;
        int played() const { return std::stoi(info.substr(11, 6)); }
        int queued() const { return std::stoi(info.substr(17, 2)); }
    };
    std::vector<Seen> seen;
    std::string play;
    const auto end = std::chrono::steady_clock::now() + 60s;
    while ((seen.empty() || seen.back().played() < 3) && std::chrono::steady_clock::now() < end) {
        const auto line = c.NextOfAny();
        ASSERT_TRUE(line) << program.Log();
        if (*line == "#AVL") {
            c.Send("#PLY?");
            c.Send("#INI?");
        } else if (line->starts_with("#PLY")) {
            play = *line;
        } else if (line->starts_with("#INI")) {
            ASSERT_EQ(line->size(), 19u) << *line;
            seen.push_back({play, *line});
        }
    }
    ASSERT_FALSE(seen.empty());
    ASSERT_EQ(seen.back().played(), 3) << program.Log();
    int lastPlayed = 0;
    for (const Seen& s : seen) {
        EXPECT_EQ(s.played() + s.queued(), 3) << s.info << " is no state the server was in";
        if (s.played() > lastPlayed) {
            const std::string name = kv::UpperCase(songs[static_cast<size_t>(s.played() - 1)]);
            EXPECT_TRUE(s.play.starts_with("#PLY00000" + std::to_string(s.played())))
                << s.play << " at the start of " << name;
            EXPECT_NE(s.play.find("*" + name + ":"), std::string::npos) << s.play;
        }
        lastPlayed = s.played();
    }
    c.Send("#LOGoff");
}

// Without a display the box is only written out, so start-up goes on and the server listens.
TEST(RealProgramTest, WithAnEmptyLibraryItStillListensAndAnswers) {
    testing_support::TempDir dir;
    const int port = FreePort();
    ProgramProcess program(ProgramFolder(dir, port, {}), dir / "program.log");
    ASSERT_TRUE(program.started());
    Client c;
    ASSERT_TRUE(WaitUntil([&] { return c.Connect(port); }, 60s)) << program.Log();
    LogIn(c);
    c.Send("#PLY?");
    EXPECT_TRUE(c.Next());
    EXPECT_NE(program.Log().find("Sonhall 2: THERE ARE NO MP3 FILES AVAILABLE TO PLAY [OK]"),
              std::string::npos)
        << program.Log();
}

// A signal closes the window as its user would: the clients hear "#LOGoff", status 0.
TEST(RealProgramTest, SigtermClosesLikeTheWindowAndEndsWithStatusZero) {
    testing_support::TempDir dir;
    const int port = FreePort();
    ProgramProcess program(ProgramFolder(dir, port, {"tone_cbr_2s.mp3"}), dir / "program.log");
    ASSERT_TRUE(program.started());
    Client c;
    ASSERT_TRUE(WaitUntil([&] { return c.Connect(port); }, 60s)) << program.Log();
    LogIn(c);
    program.Signal(SIGTERM);
    EXPECT_EQ(c.Next(), "#LOGoff");
    EXPECT_EQ(program.WaitForExit(20s), 0) << program.Log();
}

}  // namespace
}  // namespace server_testing
