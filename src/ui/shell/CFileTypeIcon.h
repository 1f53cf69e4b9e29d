#pragma once
#include "ui/shell/CIconLookup.h"

#include <QHash>
#include <QIcon>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

// The file-type pictures of one file list, each asked of the desktop once:
// a type's picture is kept under its extension, a file's own picture or the
// generic one under the file's name, and the folder and link pictures once.
// Keys compare case included. Once the list holds its capacity, types not
// yet seen show the generic picture. Each CFileCellType owns one; lookups
// come from the window thread, and a lock keeps Init from any other thread
// out.
class CFileTypeIcon
{
public:
    // Room in the lists of the main window.
    static constexpr int FILE_LIST_CAPACITY = 4192;

    // A null lookup asks the desktop (CThemeIconLookup). Starts in small mode.
    explicit CFileTypeIcon(std::unique_ptr<CIconLookup> lookup = {},
                           int nCapacity = FILE_LIST_CAPACITY);

    // Forgets every picture; small mode keeps them 16 pixels square, else 32.
    bool Init(bool bSmall);
    // The index of the picture for the file; false when not even the generic
    // picture can be had.
    bool GetFileIcon(const QString& name, int& index);
    bool GetFolderIcon(int& index);
    bool GetLinkIcon(int& index);

    // The picture at an index, to draw; null outside the list.
    QIcon GetIcon(int index) const;
    int GetImageCount() const;
    int GetIconSize() const;

private:
    bool GetGenericIcon(const QString& name, bool bKeep, int& index);
    // A picture that stands for a whole kind of entry, asked once into slot.
    bool GetKindIcon(QIcon (CIconLookup::*ask)(), int& slot, int& index);
    // Adds the picture at the mode's size and returns its index.
    int Add(const QIcon& icon);
    int Side() const;

    std::unique_ptr<CIconLookup> m_pLookup;
    const int m_nCapacity;
    mutable std::mutex m_lock;
    bool m_bSmall = true;
    std::vector<QIcon> m_images;
    QHash<QString, int> m_indexes;
    int m_nGenericIcon = -1;
    int m_nFolderIcon = -1;
    int m_nLinkIcon = -1;
};
