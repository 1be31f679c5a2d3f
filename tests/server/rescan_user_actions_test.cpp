// A client's rescan while the server's user works in the configuration window: the user's
// input comes as a display gives it (queued with the window system), or as a screen reader
// gives it (an accessibility action), and boxes stand as modal ones do, with an event loop of
// their own, until the test has seen what it waits for.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/qt/non_input_events.h"
#include "server/setup_window.h"
#include "tests/server/line_protocol_fixture.h"
#include "tests/support/queued_input.h"

namespace server_testing {
namespace {

// The scan's own letting in, as a longer scan would, until cond holds (or a generous deadline).
bool ScanGoesOnUntil(const std::function<bool()>& cond) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!cond() && std::chrono::steady_clock::now() < deadline)
        platform::qt::letNonInputEventsIn();
    return cond();
}

void Press(QWidget* button) {
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
}

// Boxes that stand, letting every event in as a modal box's loop does, until closeWhen holds
// (or a generous deadline passes); then they answer as scripted.
class StandingDialogs : public FakeDialogs {
  public:
    std::function<void()> whenShown;  // once, as the first box comes up
    std::function<bool()> closeWhen;
    int stood = 0;
    bool closedInTime = true;  // every box saw closeWhen hold while it stood

    void showMessage(std::string_view text) override {
        Stand();
        FakeDialogs::showMessage(text);
    }
    void showError(std::string_view text) override {
        Stand();
        FakeDialogs::showError(text);
    }
    std::optional<std::string> browseForFolder(std::string_view caption,
                                               std::string_view root) override {
        Stand();
        return FakeDialogs::browseForFolder(caption, root);
    }

  private:
    void Stand() {
        ++stood;
        if (whenShown)
            std::exchange(whenShown, {})();
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (closeWhen() || std::chrono::steady_clock::now() > deadline)
                loop.quit();
        });
        poll.start(5);
        loop.exec();
        closedInTime = closedInTime && closeWhen();
    }
};

// Another client polling "#PLY?" at a polling client's pace until it has seen a rescan's
// progress and then a play status again.
class Poller {
  public:
    explicit Poller(LineClient& client) : thread_([this, &client] { Run(client); }) {}
    ~Poller() { thread_.join(); }
    bool Done() const { return done_; }
    bool SawTheScanEnd() const { return sawScan_ && sawPlayAfter_; }

  private:
    void Run(LineClient& client) {
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < end) {
            client.Send("#PLY?");
            const std::optional<std::string> reply = client.ReadLine(10s);
            if (!reply)
                break;
            if (reply->starts_with("#SCN")) {
                sawScan_ = true;
            } else if (sawScan_ && reply->starts_with("#PLY")) {
                sawPlayAfter_ = true;
                break;
            }
            std::this_thread::sleep_for(5ms);
        }
        done_ = true;
    }
    std::atomic<bool> sawScan_{false}, sawPlayAfter_{false}, done_{false};
    std::thread thread_;
};

class RescanUserActionsTest : public LineProtocolTest {
  protected:
    static constexpr int kSongs = 300;

    // The server with kSongs songs, its configuration window shown beside the main window
    // and two clients logged in.
    void StartWithWindow() {
        Start(kSongs);
        setup().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup()));
        Join(a, "KITCHEN");
        Join(b, "DEN", {&a});
    }
    // Runs action at the protocol rescan's first progress, while it goes on.
    QMetaObject::Connection AtFirstProgress(std::function<void()> action) {
        return QObject::connect(
            main().edtCurrSong, &QLineEdit::textChanged,
            [this, action = std::move(action)](const QString& text) {
                if (!std::exchange(progressSeen, true) && text.startsWith("Reading"))
                    action();
            });
    }
    void ExpectRescanReplies(int files) {
        EXPECT_EQ(Read(a), "#SCNServer Re-Scan request initiated...");
        EXPECT_EQ(Read(a), "#SCNDONEServer read: " + std::to_string(files) + " files");
    }

    LineClient a, b;
    bool progressSeen = false;
};

TEST_F(RescanUserActionsTest, NothingTheUserOpensHoldsAProtocolRescan) {
    StartWithWindow();
    enum class Action { RemoveNothing, AddAFolder, CloseWithABadCrossfade };
    struct Case {
        const char* what;
        Action action;
        bool beforeTheScan;  // the box stands already when the rescan comes
    };
    const Case cases[] = {
        // The close is not lost: its box comes once the scan is over.
        {"the frame's close with a crossfade that is no number, during the scan",
         Action::CloseWithABadCrossfade, false},
        {"Remove directory with nothing selected, before the scan", Action::RemoveNothing, true},
        {"Add a directory, before the scan", Action::AddAFolder, true},
        {"the frame's close with a crossfade that is no number, before the scan",
         Action::CloseWithABadCrossfade, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        progressSeen = false;
        setup().ListBox1->setCurrentItem(nullptr);
        setup().ListBox1->clearSelection();
        setup().edCrossfade->setText(c.action == Action::CloseWithABadCrossfade ? "x9" : "98");
        StandingDialogs boxes;
        switch (c.action) {
            case Action::RemoveNothing:
                boxes.expectMessage("Please select a directory to remove first.");
                break;
            case Action::AddAFolder:
                boxes.expectFolder(std::nullopt);
                break;
            case Action::CloseWithABadCrossfade:
                boxes.expectError();
                break;
        }
        const auto act = [&] {
            if (c.action == Action::RemoveNothing)
                QueueClick(setup().buttonRemove);
            else if (c.action == Action::AddAFolder)
                QueueClick(setup().buttonAdd);
            else
                QueueCloseButton(&setup());
        };
        Poller poller(b);
        boxes.closeWhen = [&] { return poller.Done(); };
        QMetaObject::Connection hook;
        if (c.beforeTheScan) {
            boxes.whenShown = [&] { a.Send("#SCN"); };
            act();
            ASSERT_TRUE(WaitUntil([&] { return boxes.stood == 1; }));
        } else {
            hook = AtFirstProgress(act);
            a.Send("#SCN");
        }
        ExpectRescanReplies(kSongs);
        EXPECT_TRUE(WaitUntil([&] { return boxes.stood == 1 && poller.Done(); }));
        QObject::disconnect(hook);
        EXPECT_TRUE(boxes.closedInTime) << "the box held the scan";
        EXPECT_TRUE(poller.SawTheScanEnd());
        EXPECT_TRUE(setup().isVisible()) << "a close that fails keeps the window";
        EXPECT_EQ(main().SongLibrary.size(), static_cast<size_t>(kSongs));
    }
}

// Wheel turns, clicks, a double-click and keys made during a client's rescan over the folder
// list and its buttons: dropped, so after the scan the list shows what it showed, nothing was
// removed and no box came; the pointer showed the program busy meanwhile.
TEST_F(RescanUserActionsTest, InputDuringAProtocolRescanIsDroppedNotReplayedOnTheListAfterIt) {
    constexpr int kFolders = 16;
    for (int i = 0; i < kFolders; ++i)
        Song("f" + std::to_string(i) + "/a.mp3");
    StartWithWindow();
    for (int i = 0; i < kFolders; ++i)
        setup().ListBox1->addItem(QString::fromStdString(Entry("f" + std::to_string(i))));
    setup().ListBox1->setCurrentItem(nullptr);
    setup().ListBox1->clearSelection();
    QListWidget* list = setup().ListBox1;
    ASSERT_GT(list->verticalScrollBar()->maximum(), 0) << "the list must scroll";
    const std::vector<std::string> folders = setup().Folders();
    const QPoint fourthRow = list->visualItemRect(list->item(3)).center();

    std::optional<Qt::CursorShape> pointer;
    const auto hook = AtFirstProgress([&] {
        pointer = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                 : Qt::ArrowCursor;
        QueueWheel(list, 3);
        QueueClickAt(list->viewport(), fourthRow);
        QueueClick(setup().buttonRemove);
        QueueDoubleClickAt(list->viewport(), fourthRow);
        QueueKey(list, Qt::Key_End);
        QueueKey(list, Qt::Key_Delete);
        EXPECT_TRUE(LetInUntilInputTaken());
    });
    a.Send("#SCN");
    ExpectRescanReplies(kSongs + kFolders);
    QObject::disconnect(hook);
    QCoreApplication::processEvents();
    EXPECT_EQ(pointer, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer stays busy";
    EXPECT_EQ(list->verticalScrollBar()->value(), 0) << "the wheel turned the list";
    EXPECT_TRUE(list->selectedItems().isEmpty()) << "a row was chosen";
    EXPECT_EQ(setup().Folders(), folders) << "a folder was removed";
    EXPECT_TRUE(dialogs.shown().empty()) << "a box came";
}

// What a screen reader or voice control presses during a client's rescan ("Add a directory",
// "Remove directory", "Read Songs", the main window's configuration button): refused, so no
// chooser or box stands over the scan, the folders stay and the other clients' replies go on.
TEST_F(RescanUserActionsTest, AccessibilityPressesDuringAProtocolRescanOpenNothingAndHoldNothing) {
    StartWithWindow();
    setup().ListBox1->setCurrentRow(0);
    const std::vector<std::string> folders = setup().Folders();
    std::vector<QPushButton*> buttons{setup().buttonAdd, setup().buttonRemove, setup().Button1,
                                      main().btnSetup};
    Poller poller(b);
    const auto hook = AtFirstProgress([&] {
        for (QPushButton* button : buttons)
            Press(button);
        EXPECT_TRUE(ScanGoesOnUntil([&] {
            return std::none_of(buttons.begin(), buttons.end(),
                                [](QPushButton* button) { return button->isDown(); });
        }));
    });
    a.Send("#SCN");
    ExpectRescanReplies(kSongs);
    QObject::disconnect(hook);
    EXPECT_TRUE(WaitUntil([&] { return poller.Done(); }));
    EXPECT_TRUE(poller.SawTheScanEnd());
    QTest::qWait(50);  // what was deferred would run now
    EXPECT_TRUE(dialogs.shown().empty()) << "a box or chooser came";
    EXPECT_EQ(setup().Folders(), folders) << "a folder was removed";
    EXPECT_EQ(main().SongLibrary.size(), static_cast<size_t>(kSongs));

    // Without a scan the same press opens the chooser.
    dialogs.expectFolder(std::nullopt);
    Press(setup().buttonAdd);
    EXPECT_TRUE(WaitUntil([&] { return dialogs.pending() == 0; }));
}

// The user removed a folder and closes the window by its frame while a client's rescan runs:
// the close takes effect after the scan, its own scan follows, and the folder's songs are gone.
TEST_F(RescanUserActionsTest, AFrameCloseDuringAProtocolRescanClosesAfterItAndItsScanFollows) {
    for (const char* name : {"x1", "x2"})
        Song(std::string("extra/") + name + ".mp3");
    Start(3);
    setup().ListBox1->addItem(QString::fromStdString(Entry("extra")));
    setup().ReadSongs();
    ASSERT_EQ(main().SongLibrary.size(), 5u);
    setup().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup()));
    Join(a, "KITCHEN");
    setup().ListBox1->setCurrentRow(1);
    setup().buttonRemoveClick();

    bool closedInTheScan = false;
    const auto hook = AtFirstProgress([&] {
        QueueCloseButton(&setup());
        EXPECT_TRUE(LetInUntilInputTaken());
        closedInTheScan = !setup().isVisible();
    });
    a.Send("#SCN");
    ExpectRescanReplies(3);
    EXPECT_FALSE(closedInTheScan);
    EXPECT_TRUE(WaitUntil([&] { return !setup().isVisible() && !platform::scanUnderWay(); }));
    QObject::disconnect(hook);
    EXPECT_EQ(setup().Folders(), std::vector<std::string>{Entry("music")});
    EXPECT_EQ(main().SongLibrary.size(), 3u) << "the removed folder's songs are gone";
    EXPECT_NE(ConfigText().find("DIRECTORIES=1\r\n"), std::string::npos) << ConfigText();
}

}  // namespace
}  // namespace server_testing
