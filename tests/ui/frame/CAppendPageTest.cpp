#include "ui/frame/CAppendPage.h"

#include "ui/frame/CPopupMenu.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/lists/CFileListCtrl.h"

#include <QTest>

#include <gtest/gtest.h>

namespace
{

class CAppendPageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_actions.Serve(m_page);
        m_page.Attach(m_source);
        m_page.resize(400, 300);
        m_page.show();
        CFrameTestDocument::Fill(m_source, 10);
        ASSERT_TRUE(WaitUntil([this] { return m_page.List().GetRowCount() == 10; }));
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        SFileEntry entry;
        for (int i = 0; m_source.CopyAt(i, entry); ++i)
            names.push_back(entry.strName);
        return names;
    }

    static std::vector<std::string> Order(std::initializer_list<int> numbers)
    {
        std::vector<std::string> names;
        for (const int number : numbers)
            names.push_back("name" + std::to_string(number));
        return names;
    }

    bool IsEnabled(int id)
    {
        bool enabled = false;
        EXPECT_TRUE(m_page.OnUpdateCommand(id, enabled));
        return enabled;
    }

    CUiTestHome m_home;
    CAppSettings m_settings;
    CMessageLog m_log;
    CFileDataSource m_source;
    CPaneActions m_actions;
    CAppendPage m_page{m_settings, m_log, m_actions.Actions()};
};

struct SMoveCase
{
    const char* pszName;
    int nCommand;
    int nFrom;
    bool bEnabled;
    std::initializer_list<int> order;
    int nSelectedAfter;
};

const SMoveCase kMoves[] = {
    {"TopFromMiddle", ID_MOVE_TOP, 5, true, {5, 0, 1, 2, 3, 4, 6, 7, 8, 9}, 0},
    {"TopFromTop", ID_MOVE_TOP, 0, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0},
    {"UpFromMiddle", ID_MOVE_UP, 5, true, {0, 1, 2, 3, 5, 4, 6, 7, 8, 9}, 4},
    {"UpFromTop", ID_MOVE_UP, 0, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0},
    {"DownFromMiddle", ID_MOVE_DOWN, 5, true, {0, 1, 2, 3, 4, 6, 5, 7, 8, 9}, 6},
    {"DownFromBottom", ID_MOVE_DOWN, 9, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 9},
    {"BottomFromMiddle", ID_MOVE_BOTTOM, 5, true, {0, 1, 2, 3, 4, 6, 7, 8, 9, 5}, 9},
    {"BottomFromBottom", ID_MOVE_BOTTOM, 9, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 9},
};

TEST_F(CAppendPageTest, MovesTheCurrentEntryAndDoesNothingAtItsEnd)
{
    for (const SMoveCase& move : kMoves)
    {
        SCOPED_TRACE(move.pszName);
        m_source.RemoveAll();
        CFrameTestDocument::Fill(m_source, 10);
        ASSERT_TRUE(WaitUntil([this] { return m_page.List().GetRowCount() == 10; }));
        m_page.List().SelectRow(move.nFrom);
        ASSERT_EQ(m_page.List().GetCurrentRow(), move.nFrom);

        EXPECT_EQ(IsEnabled(move.nCommand), move.bEnabled);
        EXPECT_TRUE(m_page.OnCommand(move.nCommand));
        EXPECT_EQ(Names(), Order(move.order));
        EXPECT_EQ(m_page.List().GetCurrentRow(), move.nSelectedAfter);
    }
}

TEST_F(CAppendPageTest, TheDeleteKeyRemovesTheSelectedEntries)
{
    m_page.List().SelectRow(3);
    m_page.List().setFocus();
    QTest::keyClick(&m_page.List(), Qt::Key_Delete);

    ASSERT_TRUE(WaitUntil([this] { return m_page.List().GetRowCount() == 9; }));
    EXPECT_EQ(Names(), Order({0, 1, 2, 4, 5, 6, 7, 8, 9}));
}

TEST_F(CAppendPageTest, TheRightButtonShowsThePopupEnabledByTheCurrentRow)
{
    m_page.List().SelectRow(0);
    const QRect row = m_page.List().visualRect(m_page.List().model()->index(0, 0));
    QTest::mousePress(m_page.List().viewport(), Qt::RightButton, {}, row.center());

    CPopupMenu& popup = m_page.Popup();
    ASSERT_TRUE(WaitUntil([&popup] { return popup.isVisible(); }));
    EXPECT_FALSE(popup.Item(ID_MOVE_UP)->isEnabled());
    EXPECT_TRUE(popup.Item(ID_MOVE_DOWN)->isEnabled());
    EXPECT_TRUE(popup.Item(ID_REMOVE)->isEnabled());
    EXPECT_EQ(popup.Item(ID_MOVE_TOP), nullptr);
    EXPECT_EQ(popup.Item(ID_REMOVE_ALL)->text(), QStringLiteral("Remove &All"));

    popup.Item(ID_MOVE_DOWN)->trigger();
    EXPECT_EQ(Names(), Order({1, 0, 2, 3, 4, 5, 6, 7, 8, 9}));
    popup.close();
}

TEST_F(CAppendPageTest, RefusesOnlyNamesOfTheSystemsPathLimitAndLogsThem)
{
    EXPECT_NE(m_source.Add(SFileEntry(std::string(200, 'x'))), -1);
    EXPECT_EQ(m_source.Add(SFileEntry(std::string(CAppendPage::PATH_LIMIT, 'y'))), -1);
    EXPECT_EQ(m_source.GetCount(), 11);
    EXPECT_EQ(m_log.GetCount(), 1);
}

} // namespace
