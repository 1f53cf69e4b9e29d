#include "ui/shell/CThemeIconLookup.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QStyle>

namespace
{
const QLatin1String kDesktopEntryType("application/x-desktop");
const QLatin1String kIconFileType("image/vnd.microsoft.icon");

QIcon ThemeIcon(const QString& name)
{
    return !name.isEmpty() && QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : QIcon();
}

QIcon ThemeIcon(const QString& name, QStyle::StandardPixmap fallback)
{
    const QIcon icon = ThemeIcon(name);
    return icon.isNull() ? QApplication::style()->standardIcon(fallback) : icon;
}

// The Icon key of a desktop entry's main group: a theme name or a path.
QString DesktopEntryIconName(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inMainGroup = false;
    while (!file.atEnd())
    {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inMainGroup = line == QLatin1String("[Desktop Entry]");
        else if (inMainGroup && line.startsWith(QLatin1String("Icon=")))
            return line.mid(5).trimmed();
    }
    return {};
}

QIcon ImageFileIcon(const QString& path)
{
    const QImage image = QImageReader(path).read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}
} // namespace

CIconLookup::SFileType CThemeIconLookup::TypeIcon(const QString& extension)
{
    const QMimeType type =
        m_types.mimeTypeForFile(QLatin1String("file") + extension, QMimeDatabase::MatchExtension);
    if (type.isDefault())
        return {};
    if (type.name() == kDesktopEntryType || type.name() == kIconFileType)
        return {QIcon(), true};
    const QIcon icon = ThemeIcon(type.iconName());
    return {icon.isNull() ? ThemeIcon(type.genericIconName()) : icon, false};
}

QIcon CThemeIconLookup::OwnIcon(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return {};
    if (m_types.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name() != kDesktopEntryType)
        return ImageFileIcon(path);
    const QString name = DesktopEntryIconName(path);
    return QFileInfo(name).isAbsolute() ? ImageFileIcon(name) : ThemeIcon(name);
}

QIcon CThemeIconLookup::GenericFileIcon()
{
    return ThemeIcon(QStringLiteral("text-x-generic"), QStyle::SP_FileIcon);
}

QIcon CThemeIconLookup::FolderIcon()
{
    return ThemeIcon(QStringLiteral("folder"), QStyle::SP_DirIcon);
}

// Themes name the link picture either as an emblem or as the link's own
// type.
QIcon CThemeIconLookup::LinkIcon()
{
    const QIcon emblem = ThemeIcon(QStringLiteral("emblem-symbolic-link"));
    return emblem.isNull() ? ThemeIcon(QStringLiteral("inode-symlink"), QStyle::SP_FileLinkIcon)
                           : emblem;
}
