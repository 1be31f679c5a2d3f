#include "platform/widgets/spin_edit.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>

#include "platform/widgets/field_events.h"

namespace platform::widgets {

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
}

bool SpinEdit::TypedValue(int& value) const {
    bool ok = false;
    const int n = lineEdit()->text().trimmed().toInt(&ok);
    if (ok)
        value = n;
    return ok;
}

int SpinEdit::Value() const {
    int typed = 0;
    if (!TypedValue(typed))
        return minimum();
    return std::clamp(typed, minimum(), maximum());
}

void SpinEdit::SetValue(int value) {
    setValue(std::clamp(value, minimum(), maximum()));
    // setValue leaves a typed text alone when the value does not change.
    lineEdit()->setText(textFromValue(this->value()));
}

QValidator::State SpinEdit::validate(QString& input, int&) const {
    const QString t = input.trimmed();
    if (t.isEmpty() || t == "-" || t == "+")
        return QValidator::Intermediate;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok)
        return QValidator::Invalid;
    return n >= minimum() && n <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    if (LeavesForAnotherControl(*event) && OnExit)
        OnExit();
    // The range is applied here: the spin box itself would go back to the old value.
    int typed = 0;
    if (TypedValue(typed) && typed != value())
        SetValue(typed);
    QSpinBox::focusOutEvent(event);
}

}  // namespace platform::widgets
