#pragma once
// A desktop for CFileTypeIcon that counts its questions: every type has a
// picture of its own colour but ".none", which has none; ".ico" files carry
// their own picture while they are on disk.
#include "ui/shell/CIconLookup.h"

#include <QPixmap>

#include <set>

class CFakeIconLookup : public CIconLookup
{
public:
    SFileType TypeIcon(const QString& extension) override
    {
        ++m_nTypeQuestions;
        if (extension == QLatin1String(".ico"))
            return {QIcon(), true};
        return {extension == QLatin1String(".none") ? QIcon() : Solid(extension), false};
    }
    QIcon OwnIcon(const QString& path) override
    {
        return m_onDisk.count(path) ? Solid(path) : QIcon();
    }
    QIcon GenericFileIcon() override { return Solid(QStringLiteral("generic")); }
    QIcon FolderIcon() override { return ++m_nFolderQuestions, Solid(QStringLiteral("folder")); }
    QIcon LinkIcon() override { return Solid(QStringLiteral("link")); }

    // Large enough to be drawn down to either size.
    static QIcon Solid(const QString& key)
    {
        QPixmap picture(64, 64);
        picture.fill(QColor::fromHsv(static_cast<int>(qHash(key) % 360), 200, 200));
        return QIcon(picture);
    }

    int m_nTypeQuestions = 0;
    int m_nFolderQuestions = 0;
    std::set<QString> m_onDisk;
};
