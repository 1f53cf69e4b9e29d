#pragma once
#include "ui/shell/CIconLookup.h"

#include <QMimeDatabase>

// The desktop's own answers: types from the shared MIME database, pictures
// from the icon theme (the type's icon, else its generic one), and the
// style's file, folder and link pictures where the theme has none. Icon
// files and desktop entries show a picture of their own.
class CThemeIconLookup : public CIconLookup
{
public:
    SFileType TypeIcon(const QString& extension) override;
    QIcon OwnIcon(const QString& path) override;
    QIcon GenericFileIcon() override;
    QIcon FolderIcon() override;
    QIcon LinkIcon() override;

private:
    QMimeDatabase m_types;
};
