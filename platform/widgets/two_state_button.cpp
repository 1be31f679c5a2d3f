#include "platform/widgets/two_state_button.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>

#include "platform/work_under_way.h"

namespace platform::widgets {
namespace {

constexpr char kTwoState[] = "sonhTwoState";

class TwoStateAccessible : public QAccessibleWidget {
  public:
    explicit TwoStateAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {
        addControllingSignal(QStringLiteral("toggled(bool)"));
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        s.pressed = button()->isDown();
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            QString name = widget()->accessibleName();
            if (name.isEmpty())
                name = button()->text().remove(QLatin1Char('&'));
            if (!name.isEmpty())
                return name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            // A click flips the state before its command runs: a command that long work
            // refuses must leave the button as it was.
            if (widget()->isEnabled() && !platform::outsideLongWork())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

  private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(object()); }
};

QAccessibleInterface* TwoStateFactory(const QString&, QObject* object) {
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (!button || !button->property(kTwoState).toBool())
        return nullptr;
    return new TwoStateAccessible(button);
}

}  // namespace

void MakeTwoState(QAbstractButton* button) {
    static const bool installed = [] {
        QAccessible::installFactory(TwoStateFactory);
        return true;
    }();
    (void)installed;
    button->setCheckable(true);
    button->setProperty(kTwoState, true);
}

}  // namespace platform::widgets
