#include "platform/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "common/message_dialogs.h"
#include "platform/qt/text_edge.h"

namespace {

// Acts on the message box once it is up, then records what it showed.
struct BoxSeen {
    QString title, text;
    QStringList buttons;
};

void whenBoxShows(BoxSeen& seen, std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [&seen, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if ((box = qobject_cast<QMessageBox*>(w)) && box->isVisible())
                    break;
        }
        ASSERT_NE(box, nullptr);
        seen = {};
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        act(*box);
    });
}

QAbstractButton* button(QMessageBox& box, const QString& text) {
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

// The tests run offscreen, but these boxes are shown as on a display.
struct QtDialogsTest : ::testing::Test {
    platform::QtDialogs dialogs{platform::QtDialogs::Display::Present};
    platform::Dialogs* previous = nullptr;
    void SetUp() override { previous = platform::setDialogs(&dialogs); }
    void TearDown() override { platform::setDialogs(previous); }
};

TEST_F(QtDialogsTest, ConfirmIsTrueOnlyForYes) {
    BoxSeen seen;
    whenBoxShows(seen, [](QMessageBox& box) { button(box, "&Yes")->click(); });
    EXPECT_TRUE(kv::ConfirmDlg("Delete it?"));
    EXPECT_EQ(seen.title, "Confirm");
    EXPECT_EQ(seen.text, "Delete it?");
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.buttons.contains("&Yes"));
    EXPECT_TRUE(seen.buttons.contains("&No"));

    whenBoxShows(seen, [](QMessageBox& box) { button(box, "&No")->click(); });
    EXPECT_FALSE(kv::ConfirmDlg("Delete it?"));
}

TEST_F(QtDialogsTest, ConfirmClosedOtherwiseIsNo) {
    BoxSeen seen;
    whenBoxShows(seen, [](QMessageBox& box) { box.close(); });
    EXPECT_FALSE(kv::ConfirmDlg("Close?"));
    whenBoxShows(seen, [](QMessageBox& box) { box.reject(); });
    EXPECT_FALSE(kv::ConfirmDlg("Escape?"));
}

TEST_F(QtDialogsTest, ErrorAndPlainBoxes) {
    BoxSeen seen;
    whenBoxShows(seen, [](QMessageBox& box) { box.buttons().first()->click(); });
    kv::ShowErrorDlg("Error 3");
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, "Error 3");
    EXPECT_EQ(seen.buttons, QStringList{"OK"});

    platform::setProgramTitle("Sonhall2");
    whenBoxShows(seen, [](QMessageBox& box) { box.buttons().first()->click(); });
    platform::dialogs().showMessage("Caf\xe9");  // Latin-1 text reaches the widget intact
    EXPECT_EQ(seen.title, "Sonhall2");
    EXPECT_EQ(seen.text, QString::fromUtf8("Café"));
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

std::vector<QMessageBox*> standingBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes.push_back(box);
    return boxes;
}

// Box texts are UTF-8, as file names are: every kind of box shows a name as the disk spells
// it, and a byte that is no part of valid UTF-8 as its Latin-1 character.
TEST_F(QtDialogsTest, BoxesShowFileNamesAsTheDiskSpellsThem) {
    const char* const name = "Cannot locate file \"/music/Bj\xc3\xb6rk \xe2\x99\xab.mp3\"";
    const QString shown = QString::fromUtf8(name);
    const std::function<void()> boxes[] = {
        [&] { platform::dialogs().showMessage(name); },
        [&] { platform::dialogs().showError(name); },
        [&] { kv::ConfirmDlg(name); },
    };
    for (const auto& show : boxes) {
        BoxSeen seen;
        whenBoxShows(seen, [](QMessageBox& box) { box.buttons().first()->click(); });
        show();
        EXPECT_EQ(seen.text, shown);
    }
    platform::dialogs().postMessage(name);
    ASSERT_EQ(standingBoxes().size(), 1u);
    EXPECT_EQ(standingBoxes().front()->text(), shown);
    standingBoxes().front()->close();
    EXPECT_EQ(platform::boxText("Caf\xe9 \xc3\xa9"), QString::fromUtf8("Café é"));
    EXPECT_EQ(platform::boxPart(QString::fromUtf8("Café")), "Caf\xc3\xa9");
}

TEST_F(QtDialogsTest, PostedBoxesReturnAtOnceAndStandTogetherUntilClosed) {
    platform::setProgramTitle("Sonhall 2");
    platform::dialogs().postError("Error 3");
    platform::dialogs().postMessage("THERE ARE NO MP3 FILES AVAILABLE TO PLAY");
    std::vector<QMessageBox*> boxes = standingBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    QStringList titles;
    for (QMessageBox* box : boxes) {
        titles << box->windowTitle();
        EXPECT_EQ(box->windowModality(), Qt::NonModal);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->buttons().first()->text(), "OK");
    }
    titles.sort();
    EXPECT_EQ(titles, (QStringList{"Error", "Sonhall 2"}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QPointer<QMessageBox> first = boxes[0];
    first->buttons().first()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());  // a closed box goes
    EXPECT_EQ(standingBoxes().size(), 1u);
    standingBoxes()[0]->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The frame shows the title in bold beside its icon and buttons: a box with a short text is
// still wide enough for the whole title.
TEST_F(QtDialogsTest, EveryBoxIsWideEnoughForItsTitle) {
    platform::setProgramTitle("Sonpad 2");
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    const auto wideEnough = [&](QMessageBox& box) {
        box.adjustSize();
        return box.width() >= QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 100;
    };
    struct Case {
        const char* what;
        std::function<void()> show;
    };
    const Case modal[] = {
        {"plain", [] { platform::dialogs().showMessage("A"); }},
        {"error", [] { platform::dialogs().showError("A"); }},
        {"confirm", [] { platform::dialogs().confirm("A"); }},
    };
    for (const Case& c : modal) {
        BoxSeen seen;
        bool wide = false;
        whenBoxShows(seen, [&](QMessageBox& box) {
            wide = wideEnough(box);
            box.close();
        });
        c.show();
        EXPECT_TRUE(wide) << c.what;
    }
    platform::dialogs().postMessage("A");
    platform::dialogs().postError("A");
    ASSERT_EQ(standingBoxes().size(), 2u);
    for (QMessageBox* box : standingBoxes()) {
        EXPECT_TRUE(wideEnough(*box)) << "posted " << box->windowTitle().toStdString();
        box->close();
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(QtDialogsTest, ATrackedBoxTellsOnceWhenTheUserClosedIt) {
    // Its button, its close box and Escape all close it.
    for (const auto& close : std::vector<std::function<void(QMessageBox&)>>{
             [](QMessageBox& box) { box.buttons().first()->click(); },
             [](QMessageBox& box) { box.close(); }, [](QMessageBox& box) { box.reject(); }}) {
        int closed = 0;
        platform::dialogs().postTrackedError("Unreadable", [&closed] { ++closed; });
        std::vector<QMessageBox*> boxes = standingBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->windowTitle(), "Error");
        EXPECT_EQ(boxes[0]->text(), "Unreadable");
        EXPECT_EQ(boxes[0]->windowModality(), Qt::NonModal);
        EXPECT_EQ(closed, 0) << "it stands";
        close(*boxes[0]);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(closed, 1);
        EXPECT_TRUE(standingBoxes().empty());
    }
}

// Nobody sees these: each goes to standard error with its title and takes its default button.
TEST(QtDialogsWithoutDisplay, EveryBoxIsReportedAndAnsweredAtOnce) {
    platform::QtDialogs headless(platform::QtDialogs::Display::Absent);
    platform::Dialogs* previous = platform::setDialogs(&headless);
    platform::setProgramTitle("Sonhall 2");
    ::testing::internal::CaptureStderr();
    platform::dialogs().showMessage("You need to setup configuration first.");
    platform::dialogs().postMessage("THERE ARE NO MP3 FILES AVAILABLE TO PLAY");
    kv::ShowErrorDlg("Error 3");
    const bool yes = kv::ConfirmDlg("Clear list. Are you sure?");
    const auto folder = platform::dialogs().browseForFolder("Select a MP3 directory", "/");
    bool closed = false;
    platform::dialogs().postTrackedError("Unreadable", [&closed] { closed = true; });
    const std::string err = ::testing::internal::GetCapturedStderr();
    platform::setDialogs(previous);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(folder);
    EXPECT_EQ(err,
              "Sonhall 2: You need to setup configuration first. [OK]\n"
              "Sonhall 2: THERE ARE NO MP3 FILES AVAILABLE TO PLAY [OK]\n"
              "Error: Error 3 [OK]\n"
              "Confirm: Clear list. Are you sure? [Yes]\n"
              "Select a MP3 directory: / [Cancel]\n"
              "Error: Unreadable [OK]\n");
    EXPECT_TRUE(closed) << "answered at once";
    EXPECT_TRUE(standingBoxes().empty());
}

TEST(QtDialogsWithoutDisplay, OffscreenCountsAsNoDisplay) {
    EXPECT_EQ(QGuiApplication::platformName(), "offscreen");  // as the tests run
    EXPECT_TRUE(platform::runsWithoutDisplay());
}

}  // namespace
