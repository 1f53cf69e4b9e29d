#pragma once
#include <QAbstractSpinBox>

#include <optional>

// An edit for a whole number that takes digits only, with arrows that step
// the number within a range. Unlike QSpinBox it keeps whatever digits were
// typed, also out of range, so that the dialog reading it can tell the user
// what is wrong instead of silently changing the number. Owned by its parent.
class CDigitSpinBox : public QAbstractSpinBox
{
    Q_OBJECT

public:
    CDigitSpinBox(int minimum, int maximum, QWidget* parent = nullptr);

    void SetNumber(int value);

    QValidator::State validate(QString& input, int& pos) const override;
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The number shown, or nothing when the text is not one.
    std::optional<qlonglong> Number() const;

    const int m_nMinimum;
    const int m_nMaximum;
};
