// Two-state buttons through the accessibility tree, as a screen reader or a test program uses
// them: the toggle is a click.
#include "platform/widgets/two_state_button.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QToolButton>

namespace {

struct Watched {
    QToolButton button;
    int clicks = 0;
    Watched() {
        platform::widgets::MakeTwoState(&button);
        button.setAccessibleName("Mute");
        QObject::connect(&button, &QToolButton::clicked, [this] { ++clicks; });
    }
    QAccessibleInterface* tree() { return QAccessible::queryAccessibleInterface(&button); }
};

TEST(TwoStateButtonTest, TheAccessibleToggleClicksAndTheTreeShowsTheState) {
    Watched w;
    QAccessibleInterface* node = w.tree();
    ASSERT_NE(node, nullptr);
    ASSERT_NE(node->actionInterface(), nullptr);
    EXPECT_EQ(node->text(QAccessible::Name), "Mute");
    EXPECT_TRUE(node->state().checkable);
    const QString toggle = QAccessibleActionInterface::toggleAction();
    ASSERT_EQ(node->actionInterface()->actionNames().value(0), toggle);

    node->actionInterface()->doAction(toggle);
    EXPECT_EQ(w.clicks, 1);
    EXPECT_TRUE(w.button.isChecked());
    EXPECT_TRUE(node->state().checked);
    node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(w.clicks, 2);
    EXPECT_FALSE(w.button.isChecked());

    // Set by the program, the state changes without a click, as before.
    w.button.setChecked(true);
    EXPECT_EQ(w.clicks, 2);
    EXPECT_TRUE(node->state().checked);
}

TEST(TwoStateButtonTest, ADisabledButtonOffersNoToggleAndIgnoresOne) {
    Watched w;
    w.button.setEnabled(false);
    QAccessibleInterface* node = w.tree();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    EXPECT_FALSE(node->actionInterface()->actionNames().contains(toggle));
    node->actionInterface()->doAction(toggle);
    EXPECT_EQ(w.clicks, 0);
    EXPECT_FALSE(w.button.isChecked());
}

}  // namespace
