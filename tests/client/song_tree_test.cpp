// The song selection tree over a scanned library: its shape, the branches, the song
// information and the group question, the ways of adding songs, the search and a rescan.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/animate_control.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

using testing_support::TagBlock;
using Texts = std::vector<std::string>;

class SongTreeTest : public ClientTest {
  protected:
    void SetUp() override {
        Create();
        // Numbers follow the file names: 1 to 5.
        Song("m/1.mp3", TagBlock("Love Me", "The Echoes", "Greatest Hits", "1999", "Hi", 17));
        Song("m/2.mp3", TagBlock("alpha", "the echoes", "Greatest Hits", "", "", 17));
        Song("m/3.mp3", TagBlock("Love Me", "Caf\xE9", "", "", "", 0));
        Song("m/4.mp3", TagBlock("Zed", "CAF\xC9", "Live", "", "", 0));
        Song("m/5.mp3", TagBlock("Beta", "", "Greatest Hits Vol 2", "", "", 200));
        setup().ListBox1->addItem(platform::fileName(Entry("m")));
        setup().ClientName = "Den";
        Scan();
    }

    void Song(std::string_view relative, std::string tag) {
        dir.write(relative, testing_support::Mp3Bytes(tag));
    }
    void Scan() { setup().ScanLocalSongs(); }
    sonpad::TaSongSel& sel() { return songSel(); }
    QTreeWidget& tree() { return *sel().TreeView1; }
    // Shows the window until its tree is built, as the user opens and closes it.
    void Open() {
        sel().show();
        EXPECT_TRUE(testing_support::WaitUntil([&] { return tree().topLevelItemCount() > 0; }));
        sel().hide();
    }
    static std::string Text(const QTreeWidgetItem* node) {
        return kv::Trim(platform::fromLatin1(node->text(0)));
    }
    static Texts Children(const QTreeWidgetItem* node) {
        Texts out;
        for (int i = 0; i < node->childCount(); ++i)
            out.push_back(Text(node->child(i)));
        return out;
    }
    static QTreeWidgetItem* Child(QTreeWidgetItem* node, std::string_view text) {
        for (int i = 0; i < node->childCount(); ++i)
            if (Text(node->child(i)) == text)
                return node->child(i);
        ADD_FAILURE() << "no child " << text;
        return node;
    }
    void Click(QTreeWidgetItem* node) {
        tree().setCurrentItem(node);
        sel().TreeView1Click();
    }
    std::string Question() {
        return platform::fromLatin1(sel().Select1->title().replace("&&", "&"));
    }
    Texts Selection() {
        Texts out;
        for (int i = 0; i < sel().ListView1->topLevelItemCount(); ++i)
            out.push_back(sel().ListView1->topLevelItem(i)->text(0).toStdString());
        return out;
    }
    void BuildAll() {
        sel().btnArtists->click();
        sel().btnGenre->click();
        sel().btnAlbum->click();
    }
};

TEST_F(SongTreeTest, BaseTreeListsTheSongsByTitleThenNumber) {
    EXPECT_EQ(tree().topLevelItemCount(), 0);
    Open();
    ASSERT_EQ(tree().topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree().topLevelItem(0);
    EXPECT_EQ(root, sel().RootNode);
    EXPECT_EQ(Text(root), "Den (5 files)");
    EXPECT_EQ(Children(root), Texts{"All Songs"});
    EXPECT_EQ(Children(sel().AllSongsNode), (Texts{"000002 alpha", "000005 Beta", "000001 Love Me",
                                                   "000003 Love Me", "000004 Zed"}));
    // The number, a blank and the title as stored.
    EXPECT_EQ(platform::fromLatin1(sel().AllSongsNode->child(0)->text(0)),
              kv::PadRight("000002 alpha", 37, " "));
    EXPECT_FALSE(root->isExpanded());
    EXPECT_TRUE(sel().TreeView1->isVisibleTo(&sel()));
    EXPECT_FALSE(sel().Animate1->isVisibleTo(&sel()));

    Open();  // a second opening keeps the tree
    EXPECT_EQ(tree().topLevelItem(0), root);
}

// The window as a timer saw it while a build ran: the timer runs only when the build lets
// events in.
class BusyWatch : public QObject {
  public:
    struct Sample {
        bool exposed;
        QRect panel, tree, buttons, animation;
    };
    explicit BusyWatch(sonpad::TaSongSel& sel) : sel_(sel) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (sel_.Animate1->isVisible())
                samples.push_back({sel_.windowHandle() && sel_.windowHandle()->isExposed(),
                                   sel_.Panel1->rect(), sel_.TreeView1->geometry(),
                                   sel_.Panel3->geometry(), sel_.Animate1->geometry()});
        });
        timer_.start(0);
    }
    std::vector<Sample> samples;

  private:
    sonpad::TaSongSel& sel_;
    QTimer timer_;
};

TEST_F(SongTreeTest, BuildsRunInTheDrawnWindowWithTheAnimationOverTheTreesPlace) {
    BusyWatch watch(sel());
    const auto check = [&](const char* build) {
        SCOPED_TRACE(build);
        ASSERT_FALSE(watch.samples.empty());
        EXPECT_TRUE(watch.samples.back().exposed);
        for (const BusyWatch::Sample& s : watch.samples) {
            // The tree keeps its place above the button bar, which stays at the bottom.
            EXPECT_EQ(s.buttons.bottom(), s.panel.bottom());
            EXPECT_EQ(s.tree, QRect(0, 0, s.panel.width(), s.panel.height() - 46));
            EXPECT_EQ(s.animation.size(), QSize(80, 50));
            EXPECT_LE((s.animation.center() - s.tree.center()).manhattanLength(), 2);
            EXPECT_FALSE(s.animation.intersects(s.buttons));
        }
        watch.samples.clear();
    };
    // The base tree comes once the window is on the screen.
    sel().show();
    EXPECT_EQ(tree().topLevelItemCount(), 0);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return sel().AllSongsNode != nullptr; }));
    check("base tree");
    EXPECT_FALSE(sel().Animate1->isVisible());
    EXPECT_EQ(sel().AllSongsNode->childCount(), 5);

    for (QPushButton* button : {sel().btnArtists, sel().btnGenre, sel().btnAlbum}) {
        button->click();
        check(button->text().toLatin1().constData());
    }
    EXPECT_TRUE(sel().Panel3->isHidden());
    QCoreApplication::processEvents();  // the layout
    EXPECT_EQ(sel().TreeView1->geometry(), sel().Panel1->rect());
}

TEST_F(SongTreeTest, SearchLineKeepsAMarginFromTheWindowsRightEdge) {
    sel().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sel()));
    for (QWidget* w :
         {static_cast<QWidget*>(sel().btnGo), static_cast<QWidget*>(sel().ProgressBar2)}) {
        const int right = w->mapTo(&sel(), QPoint(w->width(), 0)).x();
        EXPECT_GE(sel().width() - right, 6) << w->metaObject()->className();
    }
}

TEST_F(SongTreeTest, BranchesGroupByKeyInLocaleOrderEachBuiltOnce) {
    Open();
    sel().btnAlbum->click();
    EXPECT_FALSE(sel().btnAlbum->isEnabled());
    EXPECT_TRUE(sel().RadioButton3->isEnabled());
    EXPECT_FALSE(sel().RadioButton2->isEnabled());
    EXPECT_FALSE(sel().Panel3->isHidden());
    sel().btnArtists->click();
    EXPECT_TRUE(sel().RadioButton2->isEnabled());
    // A genre the combo holds twice (in another case) gives one group; one without songs a
    // placeholder.
    main().ComboBox1->addItem("rock");
    main().ComboBox1->addItem("Jazz");
    sel().btnGenre->click();
    EXPECT_TRUE(sel().Panel3->isHidden());
    EXPECT_TRUE(sel().TreeView1->isVisibleTo(&sel()));
    EXPECT_FALSE(sel().Animate1->isVisibleTo(&sel()));

    EXPECT_EQ(Children(sel().RootNode),
              (Texts{"All Songs", "Music Album", "Artists", "Song Genre"}));
    // Artist keys upper-case a to z only: "CAF\xC9" and "CAF\xE9" are two groups, which the
    // locale calls equal, so their bytes order them; each holds the songs of its own key.
    EXPECT_EQ(Children(sel().ArtistsNode), (Texts{"", "CAF\xC9", "CAF\xE9", "THE ECHOES"}));
    EXPECT_EQ(Children(Child(sel().ArtistsNode, "")), Texts{"000005 Beta"});
    EXPECT_EQ(Children(Child(sel().ArtistsNode, "CAF\xC9")), Texts{"000004 Zed"});
    EXPECT_EQ(Children(Child(sel().ArtistsNode, "CAF\xE9")), Texts{"000003 Love Me"});
    EXPECT_EQ(Children(Child(sel().ArtistsNode, "THE ECHOES")),
              (Texts{"000002 alpha", "000001 Love Me"}));

    EXPECT_EQ(Children(sel().AlbumNode), (Texts{"(CAF\xE9)", "GREATEST HITS (THE ECHOES)",
                                                "GREATEST HITS VOL 2 ()", "LIVE (CAF\xC9)"}));
    EXPECT_EQ(platform::fromLatin1(sel().AlbumNode->child(0)->text(0)), " (CAF\xE9)");
    EXPECT_EQ(Children(Child(sel().AlbumNode, "GREATEST HITS (THE ECHOES)")),
              (Texts{"000002 alpha", "000001 Love Me"}));

    EXPECT_EQ(Children(sel().GenreNode), (Texts{"BLANK", "BLUES", "JAZZ", "ROCK"}));
    EXPECT_EQ(Children(Child(sel().GenreNode, "BLUES")), (Texts{"000003 Love Me", "000004 Zed"}));
    EXPECT_EQ(Children(Child(sel().GenreNode, "BLANK")), Texts{"000005 Beta"});
    QTreeWidgetItem* jazz = Child(sel().GenreNode, "JAZZ");
    EXPECT_EQ(Children(jazz), Texts{"<no song listing>"});

    // Built collapsed and shown: the root is open, the branches are not.
    EXPECT_TRUE(sel().RootNode->isExpanded());
    for (QTreeWidgetItem* branch : {sel().ArtistsNode, sel().GenreNode, sel().AlbumNode})
        EXPECT_FALSE(branch->isExpanded());

    // Disabled buttons build nothing more.
    BuildAll();
    EXPECT_EQ(sel().RootNode->childCount(), 4);
}

TEST_F(SongTreeTest, GenreColumnThatIsNoNumberLeavesTheRecordOut) {
    Open();
    main().SongLibrary[0].replace(66, 3, "1x7");
    sel().btnGenre->click();
    EXPECT_EQ(Children(Child(sel().GenreNode, "ROCK")), Texts{"000002 alpha"});
    EXPECT_TRUE(sel().TreeView1->isVisibleTo(&sel()));
    EXPECT_FALSE(sel().Animate1->isVisibleTo(&sel()));
    EXPECT_FALSE(sel().Animate1->active());
}

TEST_F(SongTreeTest, ClickShowsTheSongOrAsksForTheGroup) {
    Open();
    BuildAll();
    sel().show();
    tree().expandItem(sel().AllSongsNode);
    QTreeWidgetItem* love = Child(sel().AllSongsNode, "000001 Love Me");
    // A real click on the node.
    QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, tree().visualItemRect(love).center());
    ASSERT_EQ(sel().ClickedNode, love);
    EXPECT_EQ(sel().GroupBox1Tag, 1);
    const Texts shown = {sel().Edit1->text().toStdString(), sel().Edit2->text().toStdString(),
                         sel().Edit3->text().toStdString(), sel().Edit4->text().toStdString(),
                         sel().Edit5->text().toStdString(), sel().Edit6->text().toStdString(),
                         sel().Edit7->text().toStdString(), sel().Edit8->text().toStdString()};
    EXPECT_EQ(shown, (Texts{"Love Me", "The Echoes", "Greatest Hits", "Rock", "1999", "Hi",
                            Entry("m"), "1.MP3"}));
    EXPECT_FALSE(sel().btnTagEdit->isHidden());

    struct Case {
        QTreeWidgetItem* group;
        std::string question;
    } cases[] = {
        {Child(sel().ArtistsNode, "THE ECHOES"), "Select all songs by \"THE ECHOES\"?"},
        {Child(sel().ArtistsNode, ""), "Select all songs by \"\"?"},
        {Child(sel().GenreNode, "ROCK"), "Select song Genre \"ROCK\"?"},
        {Child(sel().AlbumNode, "(CAF\xE9)"), "Select songs from album \"(CAF\xE9)\"?"},
    };
    for (const Case& c : cases) {
        Click(c.group);
        EXPECT_EQ(sel().ClickedNode, c.group);
        EXPECT_EQ(Question(), c.question);
        EXPECT_EQ(sel().GroupBox1Tag, 0);
        EXPECT_TRUE(sel().btnTagEdit->isHidden());
        EXPECT_EQ(sel().Edit1->text(), "");
    }
    for (QTreeWidgetItem* other : {sel().RootNode, sel().ArtistsNode, sel().AllSongsNode}) {
        Click(other);
        EXPECT_EQ(sel().ClickedNode, nullptr);
    }
}

TEST_F(SongTreeTest, YesAddsTheGroupsSongsAgainAndNoForgetsTheGroup) {
    Open();
    sel().btnArtists->click();
    Click(Child(sel().ArtistsNode, "THE ECHOES"));
    sel().Yes1->trigger();
    sel().Yes1->trigger();
    EXPECT_EQ(Selection(), (Texts{"000002", "000001", "000002", "000001"}));
    EXPECT_EQ(sel().GroupBox2->title().toStdString(), "  my Selection (4)  ");
    EXPECT_TRUE(sel().btnSave->isEnabled());
    sel().No1->trigger();
    EXPECT_EQ(sel().ClickedNode, nullptr);
    sel().Yes1->trigger();
    EXPECT_EQ(Selection().size(), 4u);
}

TEST_F(SongTreeTest, DoubleClickAddsTheShownSongOnce) {
    Open();
    sel().btnArtists->click();
    Click(Child(sel().AllSongsNode, "000003 Love Me"));
    sel().TreeView1DblClick();
    EXPECT_EQ(Selection(), Texts{"000003"});
    dialogs.expectMessage("Song is in the Selection already!");
    sel().TreeView1DblClick();
    EXPECT_EQ(Selection(), Texts{"000003"});
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "Song is in the Selection already!");
    Click(Child(sel().ArtistsNode, "THE ECHOES"));
    sel().TreeView1DblClick();
    EXPECT_EQ(Selection(), Texts{"000003"});
}

TEST_F(SongTreeTest, CtrlSAddsTheSelectedNodesSongsWhenTwoOrMoreAreSelected) {
    Open();
    sel().btnArtists->click();
    QTreeWidgetItem* zed = Child(sel().AllSongsNode, "000004 Zed");
    QTreeWidgetItem* echoes = Child(sel().ArtistsNode, "THE ECHOES");
    tree().setCurrentItem(zed);
    QTest::keyClick(&tree(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Selection().empty());

    echoes->setSelected(true);
    Child(echoes, "000002 alpha")->setSelected(true);
    QTest::keyClick(&tree(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Selection(), (Texts{"000004", "000002", "000001", "000002"}));
    QTest::keyClick(&tree(), Qt::Key_S);  // without Ctrl nothing
    EXPECT_EQ(Selection().size(), 4u);
}

TEST_F(SongTreeTest, SearchFindsTitlesArtistsAndAlbumsInTreeOrder) {
    Open();
    BuildAll();
    Click(Child(sel().AllSongsNode, "000004 Zed"));
    struct Case {
        QRadioButton* by;
        const char* text;
        const char* found;  // the node text, "" for none
        QTreeWidgetItem* parent;
    } cases[] = {
        {sel().RadioButton1, "love*", "000001 Love Me", sel().AllSongsNode},
        {sel().RadioButton1, " love me ", "000001 Love Me", sel().AllSongsNode},
        {sel().RadioButton1, "Lov", nullptr, nullptr},
        {sel().RadioButton1, "000001*", nullptr, nullptr},  // never the number
        {sel().RadioButton1, "*", "000002 alpha", sel().AllSongsNode},
        {sel().RadioButton2, "the echoes", "THE ECHOES", sel().ArtistsNode},
        {sel().RadioButton2, "THE", nullptr, nullptr},
        {sel().RadioButton2, "CA*", "CAF\xC9", sel().ArtistsNode},
        {sel().RadioButton2, "   ", "", sel().ArtistsNode},  // the blank artist
        {sel().RadioButton3, "greatest hits", "GREATEST HITS (THE ECHOES)", sel().AlbumNode},
        {sel().RadioButton3, "GREATEST HITS V", "GREATEST HITS VOL 2 ()", sel().AlbumNode},
        {sel().RadioButton3, " ", "(CAF\xE9)", sel().AlbumNode},
        {sel().RadioButton3, "X", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        c.by->setChecked(true);
        sel().Edit9->setText(platform::latin1(c.text));
        QTest::keyClick(sel().Edit9, Qt::Key_Return);
        if (!c.found) {
            EXPECT_EQ(sel().Label11->text(), "Not Found!") << c.text;
            continue;
        }
        EXPECT_EQ(sel().Label11->text(), "Found!") << c.text;
        ASSERT_NE(sel().FoundNode, nullptr);
        EXPECT_EQ(Text(sel().FoundNode), c.found) << c.text;
        EXPECT_EQ(sel().FoundNode->parent(), c.parent);
        EXPECT_EQ(tree().selectedItems(), QList<QTreeWidgetItem*>{sel().FoundNode});
    }
    EXPECT_EQ(sel().Edit1->text(), "Zed");  // the song information stays
    EXPECT_EQ(sel().ProgressBar2->maximum(), sel().AlbumNode->childCount() - 1);

    sel().Edit9->clear();
    sel().Label11->setText("kept");
    sel().btnGoClick();
    EXPECT_EQ(sel().Label11->text(), "kept");
}

TEST_F(SongTreeTest, ScanEmptiesTheTreeAndForgetsTheClickedGroup) {
    Open();
    BuildAll();
    Click(Child(sel().ArtistsNode, "THE ECHOES"));
    sel().RadioButton2->setChecked(true);
    Scan();
    EXPECT_EQ(tree().topLevelItemCount(), 0);
    EXPECT_EQ(sel().ClickedNode, nullptr);
    EXPECT_EQ(sel().ArtistsNode, nullptr);
    sel().Yes1->trigger();  // acts on no removed node
    EXPECT_TRUE(Selection().empty());
    EXPECT_FALSE(sel().Panel3->isHidden());
    EXPECT_TRUE(sel().btnArtists->isEnabled());
    EXPECT_TRUE(sel().RadioButton1->isChecked());
    EXPECT_FALSE(sel().RadioButton2->isEnabled());

    Open();
    ASSERT_NE(sel().RootNode, nullptr);
    EXPECT_EQ(Children(sel().RootNode), Texts{"All Songs"});
    EXPECT_EQ(sel().AllSongsNode->childCount(), 5);
}

}  // namespace
}  // namespace client_testing
