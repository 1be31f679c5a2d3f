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
#include "tests/support/mp3_fixtures.h"
#include "tests/support/socket_peers.h"
#include "tests/support/temp_dir.h"
#include "tests/support/waits.h"

namespace server_testing {

using namespace testing_support;

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
    // Changes to the environment Create builds, before it builds the program.
    std::function<void(sonhall::ServerEnvironment&)> adjustEnvironment;
    std::uint32_t ticks = 5000;
    bool ended = false;
    std::unique_ptr<sonhall::ProgramBlock> program;
};

}  // namespace server_testing
