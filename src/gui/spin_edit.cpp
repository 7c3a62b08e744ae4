#include "spin_edit.h"

#include <QLineEdit>

namespace pictog::gui {

SpinEdit::SpinEdit(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setKeyboardTracking(true);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::changed);
}

int SpinEdit::value() const
{
    bool ok = false;
    const int number = text().trimmed().toInt(&ok, 10);
    return ok ? number : m_min;
}

int SpinEdit::clamp(int value) const
{
    if (m_max <= m_min)
        return value;
    return value < m_min ? m_min : value > m_max ? m_max : value;
}

void SpinEdit::setValue(int value)
{
    const QString text = QString::number(clamp(value));
    // Setting the same text again would not change anything, and must not fire changed().
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void SpinEdit::stepBy(int steps)
{
    setValue(clamp(value()) + steps);
    selectAll();
}

QValidator::State SpinEdit::validate(QString&, int&) const
{
    // Deliberately lenient: letters and out-of-range numbers may be typed; value() and the
    // clamp on focus loss deal with them.
    return QValidator::Acceptable;
}

void SpinEdit::fixup(QString&) const { }

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const int current = clamp(value());
    StepEnabled enabled = StepNone;
    if (current < m_max)
        enabled |= StepUpEnabled;
    if (current > m_min)
        enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event)
{
    const int current = value();
    if (clamp(current) != current)
        setValue(current);
    QAbstractSpinBox::focusOutEvent(event);
}

} // namespace pictog::gui
