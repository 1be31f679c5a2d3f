// Editing the tag of the song the song information shows, on real files: tagged, untagged,
// read-only and missing ones.
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/id3v1_tag.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"

namespace client_testing {
namespace {

using testing_support::TagBlock;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

class TagEditingTest : public ClientTest {
  protected:
    void SetUp() override {
        Create();
        tagged = dir.write("m/1.mp3", testing_support::Mp3Bytes(
                                          TagBlock("Old", "Band", "Disc", "1990", "Note", 17)));
        untagged = dir.write("m/2.mp3", testing_support::Mp3Bytes(TagBlock("Gone")));
        odd = dir.write("m/3.mp3", testing_support::Mp3Bytes(TagBlock("Odd", "Band")));
        setup().ListBox1->addItem(platform::fileName(Entry("m")));
        setup().ScanLocalSongs();
        dir.write("m/2.mp3", testing_support::Mp3Bytes(std::nullopt));
        ASSERT_TRUE(ShowSongSelTree());
    }

    sonpad::TaSongSel& sel() { return songSel(); }
    void Show(int song) {
        QTreeWidgetItem* all = sel().AllSongsNode;
        for (int i = 0; i < all->childCount(); ++i)
            if (all->child(i)->text(0).startsWith(QString("00000%1").arg(song)))
                sel().TreeView1->setCurrentItem(all->child(i));
        sel().TreeView1Click();
    }
    Texts Fields() {
        Texts out;
        for (QLineEdit* e :
             {sel().Edit1, sel().Edit2, sel().Edit3, sel().Edit4, sel().Edit5, sel().Edit6})
            out.push_back(platform::fromLatin1(e->text()));
        return out;
    }
    bool Editing() {
        return !sel().btnTagSave->isHidden() && sel().btnTagEdit->isHidden() &&
               !sel().cbGenre->isHidden() && sel().Edit4->isHidden() && !sel().Edit1->isReadOnly();
    }
    bool Viewing() {
        return sel().btnTagSave->isHidden() && sel().btnTagCancel->isHidden() &&
               sel().btnTagRemove->isHidden() && sel().cbGenre->isHidden() &&
               !sel().Edit4->isHidden() && sel().Edit1->isReadOnly();
    }
    void ChooseGenre(int item) {
        sel().cbGenre->setCurrentIndex(item);
        emit sel().cbGenre->activated(item);
    }

    std::string tagged, untagged, odd;
};

TEST_F(TagEditingTest, EditLoadsTheFilesTagAndSaveWritesItInPlace) {
    const std::string before = testing_support::readFile(tagged);
    Show(1);
    sel().btnTagEdit->click();
    ASSERT_TRUE(Editing());
    EXPECT_EQ(Fields(), (Texts{"Old", "Band", "Disc", "017", "1990", "Note"}));
    EXPECT_EQ(sel().cbGenre->currentText(), "Rock");
    EXPECT_EQ(sel().Edit1->maxLength(), 30);
    EXPECT_EQ(sel().Edit5->maxLength(), 4);
    EXPECT_EQ(sel().Edit6->maxLength(), 30);

    sel().Edit1->setText(QString(30, 'T'));
    sel().Edit5->setText("2001");
    ChooseGenre(1);  // Blues is genre 0
    EXPECT_EQ(sel().Edit4->text(), "0");
    sel().btnTagSave->click();
    EXPECT_TRUE(Viewing());
    EXPECT_EQ(Fields(), (Texts{std::string(30, 'T'), "Band", "Disc", "Blues", "2001", "Note"}));

    const std::string after = testing_support::readFile(tagged);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, after.size() - 128), before.substr(0, before.size() - 128));
    std::string t, a, g, al, y, c;
    ASSERT_TRUE(kv::ReadId3v1Tag(platform::files::Name(tagged), t, a, g, al, y, c));
    EXPECT_EQ((Texts{t, kv::Trim(a), g, kv::Trim(al), y, kv::Trim(c)}),
              (Texts{std::string(30, 'T'), "Band", "000", "Disc", "2001", "Note"}));
}

TEST_F(TagEditingTest, UntaggedFileOpensEmptyWithOtherAndSavingAppendsATag) {
    const std::string before = testing_support::readFile(untagged);
    Show(2);
    sel().btnTagEdit->click();
    EXPECT_EQ(Fields(), (Texts{"", "", "", "12", "", ""}));
    EXPECT_EQ(sel().cbGenre->currentText(), "Other");
    sel().btnTagSave->click();
    const std::string after = testing_support::readFile(untagged);
    ASSERT_EQ(after.size(), before.size() + 128);
    EXPECT_EQ(after.substr(0, before.size()), before);
    std::string t, a, g, al, y, c;
    ASSERT_TRUE(kv::ReadId3v1Tag(platform::files::Name(untagged), t, a, g, al, y, c));
    EXPECT_EQ(g, "012");
    EXPECT_EQ(kv::Trim(t), "");
    EXPECT_EQ(Fields(), (Texts{"", "", "", "Other", "", ""}));
}

TEST_F(TagEditingTest, RemoveBlanksTheTagOfAReadOnlyFileAfterTheQuestion) {
    const std::string before = testing_support::readFile(tagged);
    fs::permissions(tagged, fs::perms::owner_read | fs::perms::group_read);
    Show(1);
    sel().btnTagEdit->click();
    dialogs.expectConfirm(false, "Remove TAG from file?");
    sel().btnTagRemove->click();
    EXPECT_TRUE(Viewing());
    EXPECT_EQ(testing_support::readFile(tagged), before);

    sel().btnTagEdit->click();
    dialogs.expectConfirm(true, "Remove TAG from file?");
    sel().btnTagRemove->click();
    const std::string after = testing_support::readFile(tagged);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, after.size() - 128), before.substr(0, before.size() - 128));
    EXPECT_EQ(Fields(), (Texts{"", "", "", "Other", "", ""}));
    EXPECT_TRUE((fs::status(tagged).permissions() & fs::perms::owner_write) != fs::perms::none);
}

TEST_F(TagEditingTest, AGenreTheListHasNoNameForIsKeptUntilAnotherIsChosen) {
    for (const unsigned char genre : {255, 126}) {
        const std::string file = odd;  // the scan read it before; Edit reads the file anew
        dir.write("m/3.mp3", testing_support::Mp3Bytes(TagBlock("Odd", "Band", "", "", "", genre)));
        Show(3);
        sel().btnTagEdit->click();
        ASSERT_TRUE(Editing()) << +genre;
        EXPECT_EQ(Fields()[3], std::to_string(genre));
        EXPECT_EQ(sel().cbGenre->currentIndex(), -1) << +genre;
        EXPECT_EQ(sel().cbGenre->placeholderText(), "Blank") << +genre;

        // Leaving the combo and saving ask for nothing; the file keeps its genre byte.
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(sel().cbGenre, &leave);
        sel().Edit1->setText("Renamed");
        sel().btnTagSave->click();
        EXPECT_TRUE(Viewing()) << +genre;
        EXPECT_EQ(Fields()[3], "Blank");
        std::string t, a, g, al, y, c;
        ASSERT_TRUE(kv::ReadId3v1Tag(platform::files::Name(file), t, a, g, al, y, c));
        EXPECT_EQ(kv::Trim(t), "Renamed");
        EXPECT_EQ(g, (std::to_string(genre).size() == 3 ? "" : "0") + std::to_string(genre));

        // A genre chosen from the list is stored as before.
        sel().btnTagEdit->click();
        ChooseGenre(18);
        EXPECT_EQ(sel().Edit4->text(), "17");
        sel().btnTagSave->click();
        ASSERT_TRUE(kv::ReadId3v1Tag(platform::files::Name(file), t, a, g, al, y, c));
        EXPECT_EQ(g, "017");
        EXPECT_EQ(Fields()[3], "Rock");
    }
}

TEST_F(TagEditingTest, CancelOnAFileThatVanishedKeepsTheEditsAndShowsTheGenreByName) {
    Show(1);
    sel().btnTagEdit->click();
    sel().Edit1->setText("Unsaved");
    fs::remove(tagged);
    sel().btnTagCancel->click();
    EXPECT_TRUE(Viewing());
    EXPECT_EQ(Fields(), (Texts{"Unsaved", "Band", "Disc", "Rock", "1990", "Note"}));
}

TEST_F(TagEditingTest, FailuresKeepTheModeAndTheFile) {
    // A missing file is not edited.
    Show(2);
    fs::remove(untagged);
    dialogs.expectMessage("Cannot locate file \"" + Entry("m") + "2.MP3\"");
    sel().btnTagEdit->click();
    EXPECT_TRUE(Viewing());

    // The empty genre is refused; a genre that is no number fails the save in edit mode.
    const std::string before = testing_support::readFile(tagged);
    Show(1);
    sel().btnTagEdit->click();
    dialogs.expectMessage("Please select a valid Genre");
    ChooseGenre(0);
    EXPECT_EQ(sel().Edit4->text(), "017");
    sel().Edit4->setText("abc");
    dialogs.expectError();
    sel().btnTagSave->click();
    EXPECT_TRUE(Editing());
    EXPECT_EQ(testing_support::readFile(tagged), before);

    // Another song chosen in the tree first leaves edit mode.
    sel().Edit1->setText("Unsaved");
    Show(2);
    EXPECT_TRUE(Viewing());
    EXPECT_EQ(testing_support::readFile(tagged), before);
}

// Tab walks the fields as they stand, the genre among the tag's fields, then the file's.
TEST_F(TagEditingTest, TabGoesThroughTheTagFieldsWithTheGenreThenTheFileFields) {
    Show(1);
    sel().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sel()));
    const std::vector<std::pair<QWidget*, const char*>> fields = {
        {sel().Edit1, "Title"},   {sel().Edit2, "Artist"},  {sel().Edit3, "Album"},
        {sel().cbGenre, "Genre"}, {sel().Edit5, "Year"},    {sel().Edit6, "Comments"},
        {sel().Edit7, "DRIVE"},   {sel().Edit8, "FILENAME"}};
    const auto walk = [&](QWidget* genre) {
        Texts order;
        sel().Edit1->setFocus();
        for (size_t i = 0; i < fields.size(); ++i) {
            const QWidget* at = QApplication::focusWidget();
            const char* name = "elsewhere";
            for (const auto& [field, label] : fields)
                if (at == (field == sel().cbGenre ? genre : field))
                    name = label;
            order.push_back(name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return order;
    };
    const Texts expected{"Title", "Artist",   "Album", "Genre",
                         "Year",  "Comments", "DRIVE", "FILENAME"};
    EXPECT_EQ(walk(sel().Edit4), expected) << "viewing";
    sel().btnTagEdit->click();
    ASSERT_TRUE(Editing());
    EXPECT_EQ(walk(sel().cbGenre), expected) << "editing";
}

}  // namespace
}  // namespace client_testing
