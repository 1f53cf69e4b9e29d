#include "ui/dialogs/CDigitSpinBox.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
// Typed text stays as it is, out of range too, until a step brings it into
// the range; the arrow keys step.
TEST(CDigitSpinBox, StepsWithinTheRange)
{
    const struct
    {
        QString typed;
        Qt::Key key;
        QString expected;
    } cases[] = {{"20", Qt::Key_Up, "21"},       {"20", Qt::Key_Down, "19"},
                 {"10240", Qt::Key_Up, "10240"}, {"1", Qt::Key_Down, "1"},
                 {"0", Qt::Key_Up, "1"},         {"10241", Qt::Key_Down, "10240"},
                 {"", Qt::Key_Down, "1"}};
    for (const auto& c : cases)
    {
        CDigitSpinBox spin(1, 10240);
        QTest::keyClicks(spin.findChild<QLineEdit*>(), c.typed);
        EXPECT_EQ(spin.text(), c.typed);
        QTest::keyClick(&spin, c.key);
        EXPECT_EQ(spin.text(), c.expected) << c.typed.toStdString();
    }
}

} // namespace
