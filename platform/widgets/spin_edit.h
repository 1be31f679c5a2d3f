#pragma once

#include <QSpinBox>
#include <functional>

namespace platform::widgets {

// A whole-number field with a range. A value set from outside the range is brought to the
// nearer bound; a text that is not a whole number reads as the minimum. The user may type
// any whole number: on leaving the field, OnExit runs first (it may check the typed value and
// take the focus back), then the field brings the value into the range.
class SpinEdit : public QSpinBox {
    Q_OBJECT
  public:
    explicit SpinEdit(QWidget* parent = nullptr);

    int Value() const;         // the text's value, clamped; the minimum for a non-number
    void SetValue(int value);  // clamped
    // The typed whole number, unclamped; nothing for a text that is not one.
    bool TypedValue(int& value) const;

    std::function<void()> OnExit;

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace platform::widgets
