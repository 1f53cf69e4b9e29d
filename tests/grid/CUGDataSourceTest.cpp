#include "grid/CUGDataSource.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace
{

// A table of named rows that may hold more rows than it has announced, as a
// list changed on another thread does.
class CTableSource : public CUGDataSource
{
public:
    std::vector<int> m_rows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

    int GetNumberCols() const override { return 2; }
    QString GetColName(int col) const override { return QStringLiteral("Col%1").arg(col); }
    QString GetCellText(int row, int col) const override
    {
        return row < static_cast<int>(m_rows.size())
                   ? QStringLiteral("r%1c%2").arg(m_rows[static_cast<std::size_t>(row)]).arg(col)
                   : QString();
    }
    QVariant GetCellData(int row, int col, int role) const override
    {
        return role == Qt::UserRole ? QVariant(row * 10 + col) : QVariant();
    }
};

class CUGDataSourceTest : public testing::Test
{
protected:
    CTableSource m_source;
    QAbstractItemModelTester m_tester{&m_source,
                                      QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(CUGDataSourceTest, ShowsOnlyAnnouncedRows)
{
    EXPECT_EQ(m_source.rowCount(), 0);
    EXPECT_FALSE(m_source.data(m_source.index(0, 0)).isValid());

    m_source.AnnounceInserted(0, 3);
    EXPECT_EQ(m_source.rowCount(), 3);
    EXPECT_EQ(m_source.columnCount(), 2);
    EXPECT_EQ(m_source.data(m_source.index(2, 1)).toString(), "r2c1");
    EXPECT_EQ(m_source.data(m_source.index(2, 1), Qt::UserRole).toInt(), 21);
    // Roles below the user's are not asked of the subclass.
    EXPECT_FALSE(m_source.data(m_source.index(2, 1), Qt::ToolTipRole).isValid());
    // Held but not announced: invisible.
    EXPECT_FALSE(m_source.index(3, 0).isValid());
    EXPECT_FALSE(m_source.hasIndex(3, 0));
}

TEST_F(CUGDataSourceTest, AnnouncesEachChangeWithItsSignal)
{
    QSignalSpy inserted(&m_source, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&m_source, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&m_source, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&m_source, &QAbstractItemModel::dataChanged);

    m_source.AnnounceInserted(0, 5);
    m_source.AnnounceInserted(2, 0); // nothing
    m_source.m_rows.resize(3);
    m_source.AnnounceRemoved(3, 2);
    m_source.AnnounceRemoved(0, 0); // nothing
    m_source.AnnounceChanged(1, 10); // clamped to the three rows left
    m_source.AnnounceChanged(5, 9);  // beyond them: nothing
    m_source.AnnounceReset(7);

    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 4);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 3);
    EXPECT_EQ(removed[0][2].toInt(), 4);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>(), m_source.index(1, 0));
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 2);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().column(), 1);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(m_source.GetAnnouncedRows(), 7);
}

TEST_F(CUGDataSourceTest, HeadingsReplaceColumnNames)
{
    QSignalSpy headings(&m_source, &QAbstractItemModel::headerDataChanged);
    EXPECT_EQ(m_source.headerData(1, Qt::Horizontal).toString(), "Col1");

    m_source.SetHeading(1, "Col1, 5 Total");
    m_source.SetHeading(1, "Col1, 5 Total"); // unchanged: no signal
    EXPECT_EQ(m_source.headerData(1, Qt::Horizontal).toString(), "Col1, 5 Total");
    EXPECT_EQ(m_source.headerData(0, Qt::Horizontal).toString(), "Col0");
    ASSERT_EQ(headings.count(), 1);
    EXPECT_EQ(headings[0][1].toInt(), 1);

    // No row-number headings, nothing past the last column.
    EXPECT_FALSE(m_source.headerData(0, Qt::Vertical).isValid());
    EXPECT_FALSE(m_source.headerData(2, Qt::Horizontal).isValid());
    EXPECT_FALSE(m_source.headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
}

} // namespace
