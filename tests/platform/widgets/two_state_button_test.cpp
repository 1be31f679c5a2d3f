// Two-state buttons through the accessibility tree, as a screen reader or a test program uses
// them: the toggle is a click.
#include "platform/widgets/two_state_button.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTimer>
#include <QToolButton>
#include <chrono>

#include "platform/event_guard.h"
#include "platform/qt/non_input_events.h"

namespace {

struct Watched {
    QToolButton button;
    int clicks = 0;
    int commands = 0;  // clicks that ran as the user's command
    Watched() {
        platform::widgets::MakeTwoState(&button);
        button.setAccessibleName("Mute");
        QObject::connect(&button, &QToolButton::clicked, [this] {
            ++clicks;
            platform::guardedCommand([this] { ++commands; });
        });
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

// Long work lets events in, and a screen reader toggles the button meanwhile: the command is
// refused, as every command from outside the work is, and the button shows what it showed.
TEST(TwoStateButtonTest, AToggleRefusedDuringLongWorkLeavesTheState) {
    const QString toggle = QAccessibleActionInterface::toggleAction();
    for (const bool down : {false, true}) {
        Watched w;
        w.button.setChecked(down);
        QAccessibleInterface* node = w.tree();
        bool toggled = false;
        QTimer::singleShot(0, [&] {
            node->actionInterface()->doAction(toggle);
            toggled = true;
        });
        {
            const platform::qt::LongWork work;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!toggled && std::chrono::steady_clock::now() < deadline)
                platform::qt::letNonInputEventsIn();
        }
        ASSERT_TRUE(toggled);
        EXPECT_EQ(w.button.isChecked(), down) << "the drawn state flipped";
        EXPECT_EQ(node->state().checked, down);
        EXPECT_EQ(w.commands, 0);

        // After the work the same toggle acts.
        node->actionInterface()->doAction(toggle);
        EXPECT_EQ(w.button.isChecked(), !down);
        EXPECT_EQ(w.commands, 1);
    }
}

}  // namespace
