#include "grid/CUGDataSource.h"

#include <algorithm>

CUGDataSource::CUGDataSource(QObject* parent) : QAbstractTableModel(parent)
{
}

QVariant CUGDataSource::GetCellData(int, int, int) const
{
    return {};
}

// A filtered list takes new rows as a reset: the rows that follow the
// insertion move, and a listing appends at the end, seldom more than a few
// times a second.
void CUGDataSource::AnnounceInserted(int first, int count)
{
    if (count <= 0)
        return;
    if (IsFiltered())
    {
        m_nRows += count;
        Refilter();
        return;
    }
    beginInsertRows(QModelIndex(), first, first + count - 1);
    m_nRows += count;
    endInsertRows();
}

void CUGDataSource::AnnounceRemoved(int first, int count)
{
    if (count <= 0)
        return;
    if (IsFiltered())
    {
        m_nRows -= count;
        Refilter();
        return;
    }
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    m_nRows -= count;
    endRemoveRows();
}

void CUGDataSource::AnnounceReset(int rows)
{
    m_nRows = rows;
    Refilter();
}

void CUGDataSource::SetRowFilter(RowTest test)
{
    m_filter = std::move(test);
    Refilter();
}

void CUGDataSource::Refilter()
{
    beginResetModel();
    m_shown.clear();
    if (m_filter)
    {
        for (int row = 0; row < m_nRows; ++row)
        {
            if (m_filter(row))
                m_shown.push_back(row);
        }
    }
    endResetModel();
}

int CUGDataSource::GetShownRows() const
{
    return IsFiltered() ? static_cast<int>(m_shown.size()) : m_nRows;
}

int CUGDataSource::SourceRow(int shownRow) const
{
    if (shownRow < 0 || shownRow >= GetShownRows())
        return -1;
    return IsFiltered() ? m_shown[static_cast<std::size_t>(shownRow)] : shownRow;
}

int CUGDataSource::ShownRow(int sourceRow) const
{
    if (!IsFiltered())
        return sourceRow >= 0 && sourceRow < m_nRows ? sourceRow : -1;
    const auto found = std::lower_bound(m_shown.begin(), m_shown.end(), sourceRow);
    return found != m_shown.end() && *found == sourceRow
               ? static_cast<int>(found - m_shown.begin())
               : -1;
}

// A filtered list tests its rows again: what the changed ones show now may
// match or no longer.
void CUGDataSource::AnnounceChanged(int first, int last)
{
    if (IsFiltered())
    {
        Refilter();
        return;
    }
    first = std::max(first, 0);
    last = std::min(last, m_nRows - 1);
    if (first > last || GetNumberCols() == 0)
        return;
    emit dataChanged(index(first, 0), index(last, GetNumberCols() - 1));
}

void CUGDataSource::SetHeading(int col, const QString& text)
{
    QString& heading = m_headings[col];
    if (heading == text)
        return;
    heading = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

int CUGDataSource::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GetShownRows();
}

int CUGDataSource::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GetNumberCols();
}

QVariant CUGDataSource::data(const QModelIndex& index, int role) const
{
    const int row = index.isValid() && index.model() == this ? SourceRow(index.row()) : -1;
    if (row < 0 || index.column() >= GetNumberCols())
        return {};
    if (role == Qt::DisplayRole)
        return GetCellText(row, index.column());
    if (role >= Qt::UserRole)
        return GetCellData(row, index.column(), role);
    return {};
}

QVariant CUGDataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= GetNumberCols())
        return {};
    const auto heading = m_headings.find(section);
    return heading != m_headings.end() ? heading->second : GetColName(section);
}

Qt::ItemFlags CUGDataSource::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Whether rows are dragged is the view's to say.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
           Qt::ItemNeverHasChildren;
}
