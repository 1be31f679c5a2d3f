// The client's sorted lists under a UTF-8 user locale, over real files: names and tag texts
// that differ only in a letter beyond ASCII are all kept, in the locale's order, in the queue
// file, the playlist file and the song selection tree's groups.
#include <signal.h>

#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/program_process.h"
#include "tests/support/scoped_locale.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

struct NamesCase {
    const char* what;
    Names onDisk;      // the files of the music folder, as bytes
    std::string file;  // the queue file and the playlist file alike
};

void PrintTo(const NamesCase& c, std::ostream* os) {
    *os << c.what;
}

const NamesCase kNameCases[] = {
    {"letters beyond ASCII sort by their base letter",
     {"\xC3\x98L.MP3", "\xC3\x85L.MP3", "\xC3\x89L.MP3", "AL.MP3"},
     "AL.MP3\r\n\xC3\x85L.MP3\r\n\xC3\x89L.MP3\r\n\xC3\x98L.MP3\r\n"},
    {"case beyond a to z is kept; the bytes order what the locale calls equal",
     {"\xC3\xA9l.mp3", "\xC3\x89l.mp3", "el.mp3"},
     "EL.MP3\r\n\xC3\x89L.MP3\r\n\xC3\xA9L.MP3\r\n"},
    {"names that are no UTF-8", {"\xC9L.MP3", "\xC5L.MP3"}, "\xC5L.MP3\r\n\xC9L.MP3\r\n"},
};

class LocaleNamesTest : public ClientTest, public ::testing::WithParamInterface<NamesCase> {
  protected:
    void SetUp() override {
        Create();
        for (const std::string& name : GetParam().onDisk)
            dir.write("m/" + name, testing_support::Mp3Bytes(testing_support::TagBlock(name)));
        setup().ListBox1->addItem(platform::fileName(Entry("m")));
        setup().ScanLocalSongs();
        ASSERT_EQ(main().SongLibrary.size(), GetParam().onDisk.size());
    }
    Names Numbers() {
        Names out;
        for (const std::string& record : main().SongLibrary)
            out.push_back(kv::RecordSongNumber(record));
        return out;
    }

    testing_support::ScopedLocale locale{"en_US"};
};

TEST_P(LocaleNamesTest, QueueFileHoldsEveryName) {
    for (int round = 0; round < 2; ++round)  // each song twice: once in the file
        for (const std::string& number : Numbers())
            dm().AddSongToQue(number);
    main().close();
    EXPECT_EQ(testing_support::readFile(dir / "songque.kvc"), GetParam().file);
}

TEST_P(LocaleNamesTest, PlaylistFileHoldsEveryName) {
    dir.mkdir("lists");
    for (int round = 0; round < 2; ++round)
        for (const std::string& number : Numbers())
            songSel().AddToSelection(number);
    dialogs.expectSaveFile(Entry("lists") + "names.ply");
    songSel().btnSaveClick();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(testing_support::readFile(dir / "lists/names.ply"), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(Names, LocaleNamesTest, ::testing::ValuesIn(kNameCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

using LocaleTreeTest = ClientTest;

// Artists and albums that differ only in a letter beyond ASCII: a group each, and each song in
// the group of its own key.
TEST_F(LocaleTreeTest, GroupsKeepEveryKeyAndEachSongJoinsItsOwn) {
    const testing_support::ScopedLocale locale("en_US");
    Create();
    struct Song {
        const char* file;
        const char* title;
        const char* artist;  // Latin-1, as tags hold them
        const char* album;
    } songs[] = {
        {"1.mp3", "One", "\xE9lan vital", "\xC9t\xE9"},
        {"2.mp3", "Two", "\xC9lan Vital", "\xE9t\xE9"},
        {"3.mp3", "Three", "Elan Vital", "Ete"},
        {"4.mp3", "Four", "\xC9LAN VITAL", "\xE9t\xE9"},
    };
    for (const Song& s : songs)
        dir.write(std::string("m/") + s.file,
                  testing_support::Mp3Bytes(testing_support::TagBlock(s.title, s.artist, s.album)));
    setup().ListBox1->addItem(platform::fileName(Entry("m")));
    setup().ClientName = "Den";
    setup().ScanLocalSongs();
    ASSERT_TRUE(ShowSongSelTree());
    songSel().hide();
    songSel().btnArtists->click();
    songSel().btnAlbum->click();

    const auto text = [](const QTreeWidgetItem* node) {
        return kv::Trim(platform::fromLatin1(node->text(0)));
    };
    const auto groups = [&](const QTreeWidgetItem* branch) {
        std::vector<std::pair<std::string, Names>> out;
        for (int i = 0; i < branch->childCount(); ++i) {
            Names children;
            for (int k = 0; k < branch->child(i)->childCount(); ++k)
                children.push_back(text(branch->child(i)->child(k)));
            out.emplace_back(text(branch->child(i)), children);
        }
        return out;
    };
    using Groups = std::vector<std::pair<std::string, Names>>;
    EXPECT_EQ(groups(songSel().ArtistsNode),
              (Groups{{"ELAN VITAL", {"000003 Three"}},
                      {"\xC9LAN VITAL", {"000004 Four", "000002 Two"}},
                      {"\xE9LAN VITAL", {"000001 One"}}}));
    EXPECT_EQ(groups(songSel().AlbumNode),
              (Groups{{"ETE (ELAN VITAL)", {"000003 Three"}},
                      {"\xC9T\xE9 (\xE9LAN VITAL)", {"000001 One"}},
                      {"\xE9T\xE9 (\xC9LAN VITAL)", {"000004 Four", "000002 Two"}}}));
}

// The real program, its locale from the environment as a desktop session gives it.
TEST(LocaleNamesProgramTest, QueueFileOfARealRunHoldsEveryName) {
    testing_support::TempDir dir;
    const std::string runtime = std::string(SONH_RUNTIME_DIR) + "/";
    for (const char* name : {"sonpad2", "CD.AVI", "BARS.AVI", "SONPAD2.HLP"})
        std::filesystem::copy_file(runtime + name, dir / name);
    const NamesCase& names = kNameCases[0];
    for (const std::string& name : names.onDisk)
        dir.write("music/" + name, testing_support::Mp3Bytes(testing_support::TagBlock(name)));
    dir.write("sonpad2.kvc",
              "[SONPAD]\r\nPLAY HERE=YES\r\nDIRECTORIES=1\r\nAUTOLOAD SONG QUE=YES\r\n"
              "MP3 PATH1=" +
                  kv::UpperCase(dir / "music/") + "\r\n");
    std::string saved;
    for (auto name = names.onDisk.rbegin(); name != names.onDisk.rend(); ++name)
        saved += *name + "\r\n";
    dir.write("songque.kvc", saved);

    testing_support::ProgramProcess program(dir / "sonpad2", dir / "program.log",
                                            {"LANG=en_US.UTF-8", "LC_ALL=", "LC_COLLATE="});
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(testing_support::WaitUntil([&] { return program.Catches(SIGTERM); }, 30s))
        << program.Log();
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(30s), 0) << program.Log();
    EXPECT_EQ(testing_support::readFile(dir / "songque.kvc"), names.file) << program.Log();
}

}  // namespace
}  // namespace client_testing
