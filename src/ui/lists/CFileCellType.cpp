#include "ui/lists/CFileCellType.h"

#include "ui/lists/CFileDataSource.h"

#include <QApplication>
#include <QStyle>

CFileCellType::CFileCellType(QObject* parent)
    : CUGCellType(parent), m_fileIcon(QApplication::style()->standardIcon(QStyle::SP_FileIcon)),
      m_folderIcon(QApplication::style()->standardIcon(QStyle::SP_DirIcon))
{
}

QIcon CFileCellType::GetCellIcon(const QModelIndex& index) const
{
    const QVariant isFile = index.data(CFileDataSource::IS_FILE_ROLE);
    return isFile.isValid() ? LookUpIcon(isFile.toBool()) : QIcon();
}

QIcon CFileCellType::LookUpIcon(bool isFile) const
{
    return isFile ? m_fileIcon : m_folderIcon;
}
