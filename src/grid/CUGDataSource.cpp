#include "grid/CUGDataSource.h"

#include <algorithm>

CUGDataSource::CUGDataSource(QObject* parent) : QAbstractTableModel(parent)
{
}

QVariant CUGDataSource::GetCellData(int, int, int) const
{
    return {};
}

void CUGDataSource::AnnounceInserted(int first, int count)
{
    if (count <= 0)
        return;
    beginInsertRows(QModelIndex(), first, first + count - 1);
    m_nRows += count;
    endInsertRows();
}

void CUGDataSource::AnnounceRemoved(int first, int count)
{
    if (count <= 0)
        return;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    m_nRows -= count;
    endRemoveRows();
}

void CUGDataSource::AnnounceReset(int rows)
{
    beginResetModel();
    m_nRows = rows;
    endResetModel();
}

void CUGDataSource::AnnounceChanged(int first, int last)
{
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
    return parent.isValid() ? 0 : m_nRows;
}

int CUGDataSource::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GetNumberCols();
}

QVariant CUGDataSource::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_nRows ||
        index.column() >= GetNumberCols())
        return {};
    if (role == Qt::DisplayRole)
        return GetCellText(index.row(), index.column());
    if (role >= Qt::UserRole)
        return GetCellData(index.row(), index.column(), role);
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
