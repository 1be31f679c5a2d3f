#include "platform/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "common/message_dialogs.h"

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

struct QtDialogsTest : ::testing::Test {
    platform::QtDialogs dialogs;
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

}  // namespace
