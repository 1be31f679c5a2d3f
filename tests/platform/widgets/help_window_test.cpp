#include "platform/widgets/help_window.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <memory>
#include <ostream>

#include "platform/errors.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::widgets::currentHelpWindow;
using platform::widgets::HelpWindow;
using platform::widgets::showHelp;

const std::string kServerHelp = std::string(SONH_RUNTIME_DIR) + "/SONHALL2.HLP";
const std::string kClientHelp = std::string(SONH_RUNTIME_DIR) + "/SONPAD2.HLP";

// The text block that holds the anchor of a topic, or an invalid block.
QTextBlock topicBlock(const QTextDocument& document, int context) {
    const QString anchor = QStringLiteral("topic-%1").arg(context);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor))
                return block;
        }
    }
    return {};
}

// Where the block's top lies in the browser's viewport, in pixels from its top edge.
int topInViewport(QTextBrowser& browser, const QTextBlock& block) {
    const QRectF rect = browser.document()->documentLayout()->blockBoundingRect(block);
    return static_cast<int>(rect.top()) - browser.verticalScrollBar()->value();
}

class HelpWindowTest : public testing::Test {
  protected:
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    // Deleting the owner deletes the help window with it, so every test starts without one.
};

struct Topic {
    const char* file;
    int context;
    const char* heading;
};

void PrintTo(const Topic& t, std::ostream* os) {
    *os << t.file << " topic " << t.context;
}

class HelpTopic : public HelpWindowTest, public testing::WithParamInterface<Topic> {};

TEST_P(HelpTopic, OpensScrolledToTheTopicsHeading) {
    const std::string file = std::string(SONH_RUNTIME_DIR) + "/" + GetParam().file;
    showHelp(owner.get(), file, 1);  // a window of its own size, somewhere else first
    HelpWindow* window = currentHelpWindow();
    ASSERT_NE(window, nullptr);
    window->resize(420, 220);  // small, so most topics lie below the first screen
    showHelp(owner.get(), file, GetParam().context);
    EXPECT_TRUE(window->isVisible());
    QTextBrowser& browser = *window->browser();
    const QTextBlock block = topicBlock(*browser.document(), GetParam().context);
    ASSERT_TRUE(block.isValid()) << "no anchor topic-" << GetParam().context;
    EXPECT_EQ(block.text().toStdString(), GetParam().heading);
    const int top = topInViewport(browser, block);
    EXPECT_GE(top, 0);
    EXPECT_LT(top, browser.viewport()->height());
}

INSTANTIATE_TEST_SUITE_P(Files, HelpTopic,
                         testing::Values(Topic{"SONHALL2.HLP", 1, "The main window"},
                                         Topic{"SONHALL2.HLP", 2, "Server Configuration"},
                                         Topic{"SONPAD2.HLP", 1, "The display screen"},
                                         Topic{"SONPAD2.HLP", 2, "Song Selection"},
                                         Topic{"SONPAD2.HLP", 3, "Using Sonpad 2"},
                                         Topic{"SONPAD2.HLP", 4, "Client Configuration"},
                                         Topic{"SONPAD2.HLP", 5, "The display screen, enlarged"},
                                         Topic{"SONPAD2.HLP", 6, "The context menu"},
                                         Topic{"SONPAD2.HLP", 7, "The song queue screen"}),
                         [](const testing::TestParamInfo<Topic>& info) {
                             return std::string(info.param.file).substr(0, 7) + "Topic" +
                                    std::to_string(info.param.context);
                         });

TEST_F(HelpWindowTest, OneWindowIsReusedAndFollowsTheFile) {
    showHelp(owner.get(), kServerHelp, 2);
    HelpWindow* first = currentHelpWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle().toStdString(), "Sonhall 2 Help");
    showHelp(owner.get(), kClientHelp, 4);
    EXPECT_EQ(currentHelpWindow(), first);
    EXPECT_EQ(first->windowTitle().toStdString(), "Sonpad 2 Help");
}

TEST_F(HelpWindowTest, OpensWholeOnTheScreenOverAnOwnerAtItsCorner) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    owner->resize(300, 200);
    owner->move(screen.right() - 300, screen.bottom() - 200);
    owner->show();
    showHelp(owner.get(), kClientHelp, 3);
    HelpWindow* window = currentHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(screen.contains(window->frameGeometry()))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    EXPECT_TRUE(window->frameGeometry().intersects(owner->frameGeometry()));
}

TEST_F(HelpWindowTest, GoesWithItsOwner) {
    showHelp(owner.get(), kServerHelp, 1);
    ASSERT_NE(currentHelpWindow(), nullptr);
    owner.reset();
    EXPECT_EQ(currentHelpWindow(), nullptr);
}

// F1 in a modal window: the help is that window's own, which the modality does not block.
TEST_F(HelpWindowTest, HelpFromAModalWindowIsNotBlockedByIt) {
    showHelp(owner.get(), kServerHelp, 1);
    HelpWindow* window = currentHelpWindow();
    QWidget* parentWhileModal = nullptr;
    bool modalWhileShown = false;
    QDialog dialog(owner.get());
    QTimer::singleShot(0, [&] {
        showHelp(&dialog, kServerHelp, 2);
        modalWhileShown = QApplication::activeModalWidget() == &dialog;
        parentWhileModal = currentHelpWindow()->parentWidget();
        EXPECT_TRUE(currentHelpWindow()->isVisible());
        EXPECT_TRUE(currentHelpWindow()->isWindow());
        dialog.reject();
    });
    dialog.exec();
    EXPECT_TRUE(modalWhileShown);
    EXPECT_EQ(parentWhileModal, &dialog);
    EXPECT_EQ(currentHelpWindow(), window);  // still the one window
    EXPECT_TRUE(window->isVisible());        // it stays open when the modal window closes

    showHelp(owner.get(), kServerHelp, 1);  // from the main window again
    EXPECT_EQ(currentHelpWindow()->parentWidget(), owner.get());
    EXPECT_TRUE(currentHelpWindow()->isVisible());
}

TEST_F(HelpWindowTest, FindsTheFileWithoutRegardToCase) {
    showHelp(owner.get(), std::string(SONH_RUNTIME_DIR) + "/sonpad2.hlp", 7);
    ASSERT_NE(currentHelpWindow(), nullptr);
    EXPECT_EQ(currentHelpWindow()->fileName(), kClientHelp);
}

TEST_F(HelpWindowTest, UnknownTopicShowsTheBeginning) {
    showHelp(owner.get(), kClientHelp, 7);
    HelpWindow* window = currentHelpWindow();
    window->resize(420, 220);
    showHelp(owner.get(), kClientHelp, 7);
    ASSERT_GT(window->browser()->verticalScrollBar()->value(), 0);
    showHelp(owner.get(), kClientHelp, 99);
    EXPECT_EQ(window->browser()->verticalScrollBar()->value(), 0);
}

TEST_F(HelpWindowTest, MissingFileRaisesAndOpensNothing) {
    testing_support::TempDir dir;
    const std::string missing = dir / "SONPAD2.HLP";
    try {
        showHelp(owner.get(), missing, 1);
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Help file not found. (" + missing + ")");
    }
    EXPECT_EQ(currentHelpWindow(), nullptr);
}

TEST_F(HelpWindowTest, MissingFileKeepsTheOpenWindowAsItWas) {
    showHelp(owner.get(), kServerHelp, 2);
    HelpWindow* window = currentHelpWindow();
    EXPECT_THROW(showHelp(owner.get(), "/nonexistent/SONHALL2.HLP", 1), platform::Error);
    EXPECT_EQ(currentHelpWindow(), window);
    EXPECT_EQ(window->fileName(), kServerHelp);
}

}  // namespace
