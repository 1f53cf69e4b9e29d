#pragma once
#include <QIcon>
#include <QString>

// Where CFileTypeIcon finds the pictures it caches: the desktop's type
// registry and icon theme in the program (CThemeIconLookup), a fake that
// counts the questions in tests. Owned by the CFileTypeIcon that asks.
class CIconLookup
{
public:
    // What the desktop shows for the files of one type.
    struct SFileType
    {
        // Null when the desktop has no picture for the type.
        QIcon icon;
        // Each file of the type shows a picture of its own (OwnIcon).
        bool bPerFile = false;
    };

    virtual ~CIconLookup() = default;

    // The type of the files with the extension (".txt", dot included).
    virtual SFileType TypeIcon(const QString& extension) = 0;
    // The picture a file of a per-file type carries; null when the file is
    // not on disk or shows none.
    virtual QIcon OwnIcon(const QString& path) = 0;
    // For files of no known type.
    virtual QIcon GenericFileIcon() = 0;
    virtual QIcon FolderIcon() = 0;
    // For a symbolic link, whatever it points at.
    virtual QIcon LinkIcon() = 0;
};
