#include "grid/CUGCellType.h"

CUGCellType::CUGCellType(QObject* parent) : QStyledItemDelegate(parent)
{
}

void CUGCellType::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QIcon icon = GetCellIcon(index);
    if (icon.isNull())
        return;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = icon;
    option->decorationSize = QSize(kIconSize, kIconSize);
}
