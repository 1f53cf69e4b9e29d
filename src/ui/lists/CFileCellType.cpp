#include "ui/lists/CFileCellType.h"

#include "ui/lists/CFileDataSource.h"

CFileCellType::CFileCellType(QObject* parent, std::unique_ptr<CIconLookup> lookup)
    : CUGCellType(parent), m_icons(std::move(lookup))
{
}

QIcon CFileCellType::GetCellIcon(const QModelIndex& index) const
{
    const QVariant isFile = index.data(CFileDataSource::IS_FILE_ROLE);
    if (!isFile.isValid())
        return {};
    int image = -1;
    bool found = false;
    if (index.data(CFileDataSource::IS_SYMLINK_ROLE).toBool())
        found = m_icons.GetLinkIcon(image);
    else if (isFile.toBool())
        found = m_icons.GetFileIcon(index.data(CFileDataSource::PATH_ROLE).toString(), image);
    else
        found = m_icons.GetFolderIcon(image);
    return found ? m_icons.GetIcon(image) : QIcon();
}
