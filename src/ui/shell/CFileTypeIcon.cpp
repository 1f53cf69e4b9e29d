#include "ui/shell/CFileTypeIcon.h"

#include "ui/shell/CThemeIconLookup.h"

#include <QPixmap>

namespace
{
// From the last dot of the file's own name on; a dot in a folder's name
// does not count.
QString ExtensionOf(const QString& name)
{
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? name.mid(dot) : QString();
}
} // namespace

CFileTypeIcon::CFileTypeIcon(std::unique_ptr<CIconLookup> lookup, int nCapacity)
    : m_pLookup(lookup ? std::move(lookup) : std::make_unique<CThemeIconLookup>()),
      m_nCapacity(nCapacity)
{
}

bool CFileTypeIcon::Init(bool bSmall)
{
    std::lock_guard lock(m_lock);
    m_bSmall = bSmall;
    m_images.clear();
    m_indexes.clear();
    m_nGenericIcon = -1;
    m_nFolderIcon = -1;
    m_nLinkIcon = -1;
    return true;
}

bool CFileTypeIcon::GetFileIcon(const QString& name, int& index)
{
    std::lock_guard lock(m_lock);
    const QString extension = ExtensionOf(name);
    if (extension.isEmpty())
        return GetGenericIcon(name, false, index);

    for (const QString& key : {extension, name})
    {
        if (const auto found = m_indexes.constFind(key); found != m_indexes.cend())
        {
            index = *found;
            return true;
        }
    }
    const CIconLookup::SFileType type = m_pLookup->TypeIcon(extension);
    const QIcon icon = type.bPerFile ? m_pLookup->OwnIcon(name) : type.icon;
    if (icon.isNull() || static_cast<int>(m_images.size()) >= m_nCapacity)
        return GetGenericIcon(name, true, index);
    index = Add(icon);
    m_indexes.insert(type.bPerFile ? name : extension, index);
    return true;
}

bool CFileTypeIcon::GetFolderIcon(int& index)
{
    std::lock_guard lock(m_lock);
    return GetKindIcon(&CIconLookup::FolderIcon, m_nFolderIcon, index);
}

bool CFileTypeIcon::GetLinkIcon(int& index)
{
    std::lock_guard lock(m_lock);
    return GetKindIcon(&CIconLookup::LinkIcon, m_nLinkIcon, index);
}

bool CFileTypeIcon::GetKindIcon(QIcon (CIconLookup::*ask)(), int& slot, int& index)
{
    if (slot < 0)
    {
        const QIcon icon = (m_pLookup.get()->*ask)();
        if (icon.isNull())
            return false;
        slot = Add(icon);
    }
    index = slot;
    return true;
}

// A name without an extension is never looked up by name, so keeping it
// would only grow the map.
bool CFileTypeIcon::GetGenericIcon(const QString& name, bool bKeep, int& index)
{
    if (m_nGenericIcon < 0)
    {
        const QIcon icon = m_pLookup->GenericFileIcon();
        if (icon.isNull())
            return false;
        m_nGenericIcon = Add(icon);
    }
    if (bKeep)
        m_indexes.insert(name, m_nGenericIcon);
    index = m_nGenericIcon;
    return true;
}

// Drawn once at the list's size: a theme's scalable picture is not rendered
// again on every paint.
int CFileTypeIcon::Add(const QIcon& icon)
{
    m_images.emplace_back(icon.pixmap(QSize(Side(), Side())));
    return static_cast<int>(m_images.size()) - 1;
}

QIcon CFileTypeIcon::GetIcon(int index) const
{
    std::lock_guard lock(m_lock);
    return index >= 0 && index < static_cast<int>(m_images.size()) ? m_images[index] : QIcon();
}

int CFileTypeIcon::GetImageCount() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_images.size());
}

int CFileTypeIcon::GetIconSize() const
{
    std::lock_guard lock(m_lock);
    return Side();
}

int CFileTypeIcon::Side() const
{
    return m_bSmall ? 16 : 32;
}
