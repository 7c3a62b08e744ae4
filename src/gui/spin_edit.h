#pragma once

#include <QAbstractSpinBox>

namespace pictog::gui {

// A spin box that takes any typed text, as the move counters need:
// - value() reads the text as a whole number; a text that is not one reads as the minimum;
// - a number typed out of range stands as typed until the box loses the focus, then it is
//   clamped (so the line may briefly show 250 half moves);
// - setValue() and the arrows clamp into the range at once;
// - changed() fires on every change of the text, by the user or by the program.
class SpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int value READ value WRITE setValue)

public:
    explicit SpinEdit(QWidget* parent = nullptr);

    int minValue() const { return m_min; }
    int maxValue() const { return m_max; }
    void setMinValue(int value) { m_min = value; }
    void setMaxValue(int value) { m_max = value; }

    // The text as a number, unclamped; the minimum for a text that is not a whole number.
    int value() const;
    // Shows the value clamped into the range.
    void setValue(int value);
    // The value clamped into the range.
    int clamp(int value) const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

signals:
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_min = 0;
    int m_max = 100;
};

} // namespace pictog::gui
