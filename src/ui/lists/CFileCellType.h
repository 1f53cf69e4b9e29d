#pragma once
#include "grid/CUGCellType.h"

// Draws the name column of a CFileListCtrl: the entry's picture, then its
// name. Owned by the control.
class CFileCellType : public CUGCellType
{
    Q_OBJECT
public:
    explicit CFileCellType(QObject* parent = nullptr);

protected:
    QIcon GetCellIcon(const QModelIndex& index) const override;

private:
    // The one place that picks an entry's picture.
    QIcon LookUpIcon(bool isFile) const;

    QIcon m_fileIcon;
    QIcon m_folderIcon;
};
