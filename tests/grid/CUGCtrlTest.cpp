#include "grid/CUGCtrl.h"

#include "grid/CUGDataSource.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{

class CRowsSource : public CUGDataSource
{
public:
    int GetNumberCols() const override { return 3; }
    QString GetColName(int col) const override { return QStringLiteral("Col%1").arg(col); }
    QString GetCellText(int row, int col) const override
    {
        return QStringLiteral("%1/%2").arg(row).arg(col);
    }
};

// Records what the control's hooks are told.
class CProbeCtrl : public CUGCtrl
{
public:
    using CUGCtrl::CUGCtrl;

    int m_nWidthLimit = 1000;
    std::vector<int> m_rowChanges;
    int m_nSelectionChanges = 0;

protected:
    int OnColSizing(int, int width) override { return std::min(width, m_nWidthLimit); }
    void OnRowChange(int row) override { m_rowChanges.push_back(row); }
    void OnSelectionChange() override { ++m_nSelectionChanges; }
};

class CUGCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_source.AnnounceInserted(0, 10);
        m_ctrl.SetDataSource(&m_source);
        m_ctrl.resize(400, 300);
        m_ctrl.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_ctrl));
    }

    QPoint RowPoint(int row) const { return m_ctrl.visualRect(m_source.index(row, 1)).center(); }
    void Click(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(m_ctrl.viewport(), Qt::LeftButton, modifiers, RowPoint(row));
    }
    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (const QModelIndex& index : m_ctrl.selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    CRowsSource m_source;
    CProbeCtrl m_ctrl;
};

TEST_F(CUGCtrlTest, MultiSelectTakesWholeRows)
{
    m_ctrl.SetMultiSelect(true);
    m_ctrl.m_rowChanges.clear();
    Click(1);
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    // Every column of a selected row is selected.
    EXPECT_EQ(m_ctrl.selectionModel()->selectedIndexes().size(), 6);
    EXPECT_GE(m_ctrl.m_nSelectionChanges, 2);
    EXPECT_EQ(m_ctrl.m_rowChanges, (std::vector<int>{1, 3}));
}

TEST_F(CUGCtrlTest, ClickingAHeadingNeitherSortsNorSelects)
{
    QHeaderView* heading = m_ctrl.horizontalHeader();
    const QPoint middle(heading->sectionViewportPosition(0) + 5, heading->height() / 2);
    QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, middle);
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_FALSE(heading->isSortIndicatorShown());
    EXPECT_EQ(m_ctrl.model()->index(0, 0).data().toString(), "0/0");
}

TEST(CUGCtrlVirtualKeyTest, MapsQtKeysToWindowsCodes)
{
    const std::pair<int, int> cases[] = {
        {Qt::Key_Delete, 46}, {Qt::Key_Insert, 45}, {Qt::Key_A, 65},  {Qt::Key_Z, 90},
        {Qt::Key_0, 48},      {Qt::Key_9, 57},      {Qt::Key_F1, 112}, {Qt::Key_F12, 123},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},  {Qt::Key_Escape, 27}, {Qt::Key_Home, 36},
        {Qt::Key_Shift, 0},   {Qt::Key_Eacute, 0},
    };
    for (const auto& [key, code] : cases)
        EXPECT_EQ(CUGCtrl::VirtualKeyOf(key), code) << key;
}

TEST_F(CUGCtrlTest, UserSizingAColumnIsHeldByTheHook)
{
    m_ctrl.SetColWidth(0, 100);
    m_ctrl.m_nWidthLimit = 150;
    QHeaderView* heading = m_ctrl.horizontalHeader();
    QWidget* area = heading->viewport();
    const int y = heading->height() / 2;
    const QPoint edge(heading->sectionViewportPosition(0) + 99, y);
    QTest::mousePress(area, Qt::LeftButton, {}, edge);
    QMouseEvent drag(QEvent::MouseMove, QPointF(edge + QPoint(120, 0)),
                     area->mapToGlobal(QPointF(edge + QPoint(120, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &drag);
    QTest::mouseRelease(area, Qt::LeftButton, {}, edge + QPoint(120, 0));
    EXPECT_EQ(m_ctrl.GetColWidth(0), 150);

    // A width set by the program is not the user's, and is not held.
    m_ctrl.SetColWidth(0, 300);
    EXPECT_EQ(m_ctrl.GetColWidth(0), 300);
}

} // namespace
