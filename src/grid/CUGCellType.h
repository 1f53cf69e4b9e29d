#pragma once
#include <QIcon>
#include <QStyledItemDelegate>

// Draws the cells of one column of a CUGCtrl with a small picture before
// their text; a subclass says which picture. The control it is set on owns it.
class CUGCellType : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CUGCellType(QObject* parent = nullptr);

    // Side of the square picture, in pixels.
    static constexpr int kIconSize = 16;

protected:
    // The picture for the cell; a null icon draws the text alone.
    virtual QIcon GetCellIcon(const QModelIndex& index) const = 0;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
