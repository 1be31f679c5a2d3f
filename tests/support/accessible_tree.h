#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>
#include <optional>

namespace testing_support {

// What a screen reader hears for widget: its name as the accessibility tree of its window
// gives it, reached from the window down; "(not in the tree)" when the walk never meets it.
// Item views are not entered (their rows are no fields).
inline QString NameInWindowTree(const QWidget* widget) {
    const auto walk = [widget](const auto& self,
                               QAccessibleInterface* node) -> std::optional<QString> {
        if (node->object() == widget)
            return node->text(QAccessible::Name);
        const QAccessible::Role role = node->role();
        if (role == QAccessible::Table || role == QAccessible::Tree || role == QAccessible::List)
            return std::nullopt;
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (!child || !child->isValid() || !qobject_cast<QWidget*>(child->object()))
                continue;
            if (std::optional<QString> found = self(self, child))
                return found;
        }
        return std::nullopt;
    };
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(widget->window());
    const std::optional<QString> name = top ? walk(walk, top) : std::nullopt;
    return name.value_or(QStringLiteral("(not in the tree)"));
}

}  // namespace testing_support
