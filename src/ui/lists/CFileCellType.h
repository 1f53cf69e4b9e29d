#pragma once
#include "grid/CUGCellType.h"
#include "ui/shell/CFileTypeIcon.h"

#include <memory>

// Draws the name column of a CFileListCtrl: the picture the desktop shows
// for the entry's type (a symbolic link has the link picture, whatever it
// points at), then its name. Owned by the control; the pictures are cached
// in a CFileTypeIcon of its own.
class CFileCellType : public CUGCellType
{
    Q_OBJECT
public:
    // A null lookup asks the desktop.
    explicit CFileCellType(QObject* parent = nullptr, std::unique_ptr<CIconLookup> lookup = {});

protected:
    QIcon GetCellIcon(const QModelIndex& index) const override;

private:
    // Drawing asks from const code; the cache fills as it goes.
    mutable CFileTypeIcon m_icons;
};
