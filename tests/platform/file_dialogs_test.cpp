#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "tests/support/fake_dialogs.h"

namespace {

TEST(FileDialogs, ANameWithoutExtensionGetsTheDefaultOne) {
    struct Case {
        const char* chosen;
        const char* extension;
        const char* result;
    };
    const Case cases[] = {
        {"/music/lists/party", "PLY", "/music/lists/party.PLY"},
        {"/music/lists/party.ply", "PLY", "/music/lists/party.ply"},
        {"/music/lists/party.txt", "PLY", "/music/lists/party.txt"},
        {"/music/my.lists/party", "PLY", "/music/my.lists/party.PLY"},  // dot in a folder
        {"party", "PLY", "party.PLY"},
        {"/music/lists/party", "", "/music/lists/party"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::withDefaultExtension(c.chosen, c.extension), c.result) << c.chosen;
}

TEST(FileDialogs, ChoosersGoThroughTheScriptedDialogs) {
    testing_support::FakeDialogs fake;
    fake.expectSaveFile("/tmp/lists/party").expectOpenFile(std::nullopt);
    platform::FileDialogOptions options{"Save Playlist", "/tmp/lists/",
                                        "Playlists (*.PLY);;All Files (*.*)", "PLY",
                                        "/tmp/lists/old.PLY"};
    EXPECT_EQ(platform::dialogs().saveFile(options), "/tmp/lists/party.PLY");
    EXPECT_EQ(fake.lastFileOptions().folder, "/tmp/lists/");
    EXPECT_EQ(fake.lastFileOptions().fileName, "/tmp/lists/old.PLY");
    options.caption = "Load Playlist";
    EXPECT_EQ(platform::dialogs().openFile(options), std::nullopt);
    EXPECT_EQ(fake.lastFileOptions().caption, "Load Playlist");
    EXPECT_EQ(fake.pending(), 0u);
}

}  // namespace
