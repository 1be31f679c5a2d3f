#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "server/program_block.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/temp_dir.h"

namespace server_testing {

// The 128-byte ID3v1 block; texts are cut or zero-filled to their widths.
std::string TagBlock(std::string_view title, std::string_view artist = "",
                     std::string_view album = "", std::string_view year = "",
                     std::string_view comment = "", unsigned char genre = 0);
// A small file the scan takes for an MP3: some frame bytes, then the tag block if any.
std::string Mp3Bytes(std::optional<std::string> tag);

// Polls the condition, letting Qt events through, until it holds or the time-out passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A port of the settings' range (below 10000) that nothing listens on right now.
int FreePort();

// A plain line client over a real socket.
class LineClient {
  public:
    LineClient() = default;
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool Connect(int port);  // false when nothing listens
    // The next line without its CR LF; nothing on a time-out or when the peer closed.
    std::optional<std::string> ReadLine(
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // True once the peer has closed the connection (within the time-out).
    bool WaitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Send(std::string_view line);  // appends CR LF
    void SendRaw(std::string_view bytes);
    void ShutdownWrite();  // the peer reads the end after what was sent
    void Reset();          // closes with a reset instead of an orderly end

  private:
    int fd_ = -1;
    std::string pending_;
    bool closed_ = false;
};

// A server program in a temporary program folder, with scripted dialogs, a tick count the
// test sets, no running timers and progress shown for every file.
class ServerTest : public ::testing::Test {
  protected:
    ServerTest();
    ~ServerTest() override;

    // Creates the forms; the animation files are copied next to the "program" first unless
    // withAnimations is false.
    void Create(bool withAnimations = true);
    void WriteConfig(std::string_view body);  // the file's lines, "\n" becomes CR LF
    std::string ConfigText() const;
    // A song file under the temporary folder; returns its full name.
    std::string Song(std::string_view relative, std::optional<std::string> tag = TagBlock("T"));
    // The folder as the configuration holds it: upper case with a trailing "/".
    std::string Entry(std::string_view relative) const;

    sonhall::TaMain& main();
    sonhall::TaSetup& setup();
    sonhall::TaProgRead& progress();
    sonhall::TaDm& dm();
    sonhall::TaPlaylog& playlog();
    sonhall::TaAllSongs& allSongs();

    testing_support::TempDir dir;
    testing_support::FakeDialogs dialogs;
    std::uint32_t ticks = 5000;
    bool ended = false;
    std::unique_ptr<sonhall::ProgramBlock> program;
};

}  // namespace server_testing
