#include "ui/frame/CPaneSplitter.h"

#include "ui/frame/FrameTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

namespace
{

class CPaneSplitterTest : public testing::Test
{
protected:
    CPaneSplitterTest()
    {
        m_splitter.addWidget(new QWidget);
        m_splitter.addWidget(new QWidget);
        m_splitter.SetTopHeight(120);
    }

    void Show()
    {
        m_splitter.resize(300, 500);
        m_splitter.show();
        ASSERT_TRUE(WaitUntil([this] { return m_splitter.sizes().value(0) > 0; }));
    }

    CPaneSplitter m_splitter;
};

TEST_F(CPaneSplitterTest, TheUpperPaneKeepsItsHeightWhileTheWindowGrows)
{
    EXPECT_EQ(m_splitter.TopHeight(), 120);
    Show();
    EXPECT_EQ(m_splitter.sizes().value(0), 120);
    m_splitter.resize(300, 700);
    Spin(20);
    EXPECT_EQ(m_splitter.TopHeight(), 120);
    EXPECT_GT(m_splitter.sizes().value(1), 500);
}

TEST_F(CPaneSplitterTest, TheArrowKeysMoveTheDividerUntilEnterOrEscape)
{
    Show();
    m_splitter.StartKeyboardMove();
    QTest::keyClick(&m_splitter, Qt::Key_Down);
    QTest::keyClick(&m_splitter, Qt::Key_Down);
    EXPECT_EQ(m_splitter.TopHeight(), 136);
    QTest::keyClick(&m_splitter, Qt::Key_Escape);
    EXPECT_EQ(m_splitter.TopHeight(), 120);
    EXPECT_FALSE(m_splitter.IsMovingByKeyboard());

    m_splitter.StartKeyboardMove();
    QTest::keyClick(&m_splitter, Qt::Key_Up);
    QTest::keyClick(&m_splitter, Qt::Key_Return);
    EXPECT_EQ(m_splitter.TopHeight(), 112);
    // Over: the keys are the panes' own again.
    QTest::keyClick(&m_splitter, Qt::Key_Down);
    EXPECT_EQ(m_splitter.TopHeight(), 112);
}

} // namespace
