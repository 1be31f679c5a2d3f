#include "platform/widgets/form_dialog.h"

#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "platform/errors.h"
#include "tests/support/fake_dialogs.h"

namespace {

class Form : public platform::widgets::FormDialog {
  public:
    std::function<void()> onClose;
    int closes = 0;
    void FormClose() override {
        ++closes;
        if (onClose)
            onClose();
    }
};

TEST(FormDialogTest, EveryCloseRunsFormCloseAndAnErrorKeepsTheWindowOpen) {
    testing_support::FakeDialogs dialogs;
    Form form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.closes, 0);

    form.onClose = [] { throw platform::Error("disk full"); };
    dialogs.expectError("disk full");
    form.close();
    EXPECT_TRUE(form.isVisible());

    form.onClose = nullptr;
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.closes, 2);
}

}  // namespace
