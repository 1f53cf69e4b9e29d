#include "ui/dialogs/CDigitSpinBox.h"

#include <QLineEdit>

#include <algorithm>

CDigitSpinBox::CDigitSpinBox(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), m_nMinimum(minimum), m_nMaximum(maximum)
{
}

void CDigitSpinBox::SetNumber(int value)
{
    lineEdit()->setText(QString::number(value));
}

QValidator::State CDigitSpinBox::validate(QString& input, int&) const
{
    const bool digitsOnly =
        std::all_of(input.cbegin(), input.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digitsOnly ? QValidator::Acceptable : QValidator::Invalid;
}

void CDigitSpinBox::stepBy(int steps)
{
    // Stepping from something that is not a number starts at the bottom.
    const qlonglong current = Number().value_or(m_nMinimum - steps);
    SetNumber(static_cast<int>(std::clamp<qlonglong>(current + steps, m_nMinimum, m_nMaximum)));
    selectAll();
}

QAbstractSpinBox::StepEnabled CDigitSpinBox::stepEnabled() const
{
    const std::optional<qlonglong> number = Number();
    StepEnabled enabled = StepNone;
    if (!number || *number < m_nMaximum)
        enabled |= StepUpEnabled;
    if (!number || *number > m_nMinimum)
        enabled |= StepDownEnabled;
    return enabled;
}

std::optional<qlonglong> CDigitSpinBox::Number() const
{
    bool isNumber = false;
    const qlonglong number = text().toLongLong(&isNumber);
    return isNumber ? std::optional<qlonglong>(number) : std::nullopt;
}
