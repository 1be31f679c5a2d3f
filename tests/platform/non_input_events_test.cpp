#include "platform/qt/non_input_events.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/event_guard.h"
#include "tests/support/queued_input.h"

namespace {

using namespace std::chrono_literals;
using testing_support::QueueClick;
using testing_support::QueueClickAt;
using testing_support::QueueDoubleClickAt;
using testing_support::QueueKey;
using testing_support::QueueWheel;

class PaintCount : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(NonInputEvents, AWindowJustShownIsDrawnAndTimersRunWhileWorkGoesOn) {
    PaintCount window;
    window.resize(100, 40);
    bool ticked = false;
    QTimer::singleShot(0, &window, [&] { ticked = true; });
    window.show();
    EXPECT_EQ(window.paints, 0);  // nothing was let in yet

    platform::qt::waitUntilDrawn(window);
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_TRUE(window.windowHandle()->isExposed());
    EXPECT_GT(window.paints, 0);
    EXPECT_TRUE(ticked);

    const int before = window.paints;
    window.update();
    platform::qt::letNonInputEventsIn();
    EXPECT_GT(window.paints, before);
}

TEST(NonInputEvents, AHiddenWindowIsNotWaitedFor) {
    PaintCount window;
    platform::qt::waitUntilDrawn(window, 60'000);
    EXPECT_EQ(window.paints, 0);
}

TEST(NonInputEvents, PacerLetsEventsInAtTheFirstCallThenOncePerInterval) {
    platform::qt::NonInputEventPacer often(0), seldom(60'000);
    EXPECT_TRUE(seldom.due());
    EXPECT_TRUE(seldom.letInWhenDue());
    EXPECT_FALSE(seldom.due());
    EXPECT_FALSE(seldom.letInWhenDue());
    often.letIn();
    EXPECT_TRUE(often.letInWhenDue());
}

}  // namespace

namespace {

// Long work's own letting in, until the condition holds (or a generous deadline passes).
bool LetInUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        platform::qt::letNonInputEventsIn();
    }
    return true;
}

// Boxes that only note what was asked of them.
class NotedDialogs : public platform::Dialogs {
  public:
    std::vector<std::string> asked;
    void showMessage(std::string_view t) override { asked.push_back("modal " + std::string(t)); }
    void showError(std::string_view t) override { asked.push_back("modal " + std::string(t)); }
    void postMessage(std::string_view t) override { asked.push_back("posted " + std::string(t)); }
    void postError(std::string_view t) override { asked.push_back("posted " + std::string(t)); }
    bool confirm(std::string_view t) override {
        asked.push_back("question " + std::string(t));
        return true;
    }
    std::optional<std::string> browseForFolder(std::string_view c, std::string_view) override {
        asked.push_back("chooser " + std::string(c));
        return "/music";
    }

  protected:
    std::optional<std::string> askOpenFile(const platform::FileDialogOptions&) override {
        asked.push_back("open");
        return "/a";
    }
    std::optional<std::string> askSaveFile(const platform::FileDialogOptions&) override {
        asked.push_back("save");
        return "/a";
    }
};

// A window as the programs have them: a scrolling list, a field, a command button.
class Form : public QWidget {
  public:
    Form() {
        auto* column = new QVBoxLayout(this);
        list = new QListWidget(this);
        for (int i = 0; i < 40; ++i)
            list->addItem("row " + QString::number(i));
        field = new QLineEdit(this);
        button = new QPushButton("Remove", this);
        column->addWidget(list);
        column->addWidget(field);
        column->addWidget(button);
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { ++doubleClicks; });
        connect(button, &QPushButton::clicked, this,
                [this] { platform::guardedCommand([this] { ++commands; }); });
        resize(200, 200);
        show();
    }
    QPoint Row(int visible) const { return list->visualItemRect(list->item(visible)).center(); }
    QListWidget* list;
    QLineEdit* field;
    QPushButton* button;
    int doubleClicks = 0, commands = 0;
};

TEST(LongWork, TheUsersInputMeanwhileIsDroppedNotReplayedAfterIt) {
    Form form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.field->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.field->hasFocus(); }));
    {
        const platform::qt::LongWork work;
        QueueWheel(form.list, 5);
        QueueClickAt(form.list->viewport(), form.Row(3));
        QueueDoubleClickAt(form.list->viewport(), form.Row(4));
        QueueKey(form.field, Qt::Key_A);
        QueueClick(form.button);
        EXPECT_TRUE(testing_support::LetInUntilInputTaken()) << "the input waits";
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(form.list->verticalScrollBar()->value(), 0) << "the wheel turned the list";
    EXPECT_TRUE(form.list->selectedItems().isEmpty()) << "a row was chosen";
    EXPECT_EQ(form.doubleClicks, 0);
    EXPECT_EQ(form.field->text(), "");
    EXPECT_EQ(form.commands, 0);

    // Without work the same input acts.
    QueueClickAt(form.list->viewport(), form.Row(3));
    QueueKey(form.field, Qt::Key_A);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.list->item(3)->isSelected(); }));
}

TEST(LongWork, ThePointerShowsItHoweverItEndsAndABoxItShowsHasTheUsualOne) {
    const auto shape = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::BlankCursor;  // blank: none set
    };
    ASSERT_EQ(shape(), Qt::BlankCursor);
    try {
        const platform::qt::LongWork outer;
        EXPECT_EQ(shape(), Qt::WaitCursor);
        {
            const platform::qt::LongWork inner;  // a job inside a rescan
            EXPECT_EQ(shape(), Qt::WaitCursor);
        }
        EXPECT_EQ(shape(), Qt::WaitCursor);
        throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(shape(), Qt::BlankCursor);
}

TEST(LongWork, CommandsFromOutsideItAreRefusedWhateverInvokesThem) {
    Form form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    NotedDialogs boxes;
    platform::Dialogs* before = platform::setDialogs(&boxes);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(form.button);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->actionInterface(), nullptr);
    std::optional<bool> answer;
    std::optional<std::string> folder = "unset";
    QMenu menu;
    menu.addAction("Entry");
    {
        const platform::qt::LongWork work;
        // What the work's events bring in: a screen reader's press, a timer's boxes and menu.
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTimer::singleShot(0, [&] {
            answer = platform::dialogs().confirm("Clear selection? Are you sure?");
            folder = platform::dialogs().browseForFolder("Select a MP3 directory", "/");
            platform::dialogs().showError("Unknown error");
            menu.popup(form.mapToGlobal(QPoint(10, 10)));
        });
        ASSERT_TRUE(LetInUntil([&] { return answer && !form.button->isDown(); }));
        ASSERT_TRUE(LetInUntil([&] { return !menu.isVisible(); })) << "the menu stands";
        // The work's own box is asked as usual.
        platform::dialogs().showMessage("Error /x.mp3");
    }
    EXPECT_EQ(form.commands, 0) << "the press acted";
    EXPECT_EQ(answer, false);
    EXPECT_EQ(folder, std::nullopt);
    EXPECT_EQ(boxes.asked,
              (std::vector<std::string>{"posted Unknown error", "modal Error /x.mp3"}));

    // Without work the press goes through.
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.commands == 1; }));
    platform::setDialogs(before);
}

TEST(LongWork, ABoxPostedMeanwhileTakesItsClicks) {
    Form form, posted;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const platform::qt::LongWork work;
    platform::qt::takesInputDuringWork(posted);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&posted));
    QueueClickAt(posted.list->viewport(), posted.Row(2));
    QueueClickAt(form.list->viewport(), form.Row(2));
    EXPECT_TRUE(LetInUntil([&] { return posted.list->item(2)->isSelected(); }));
    EXPECT_TRUE(form.list->selectedItems().isEmpty());
}

TEST(LongWork, WhatWaitsForTheWorkRunsAfterItInTheOrderGiven) {
    std::vector<std::string> ran;
    platform::whenWorkEnds([&] { ran.push_back("at once"); });
    EXPECT_EQ(ran, std::vector<std::string>{"at once"});
    {
        const platform::qt::LongWork work;
        platform::whenWorkEnds([&] { ran.push_back("close"); });
        {
            const platform::WorkUnderWay job;
            platform::whenWorkEnds([&] { ran.push_back("quit"); });
        }
        platform::qt::letNonInputEventsIn();
        EXPECT_EQ(ran.size(), 1u) << "ran inside the work";
    }
    EXPECT_EQ(ran.size(), 1u) << "ran in the work's last step";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.size() == 3; }));
    EXPECT_EQ(ran, (std::vector<std::string>{"at once", "close", "quit"}));
}

}  // namespace
