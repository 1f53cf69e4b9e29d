#include "ui/app/CRecentFileList.h"

#include <QSettings>

namespace
{
constexpr char kSection[] = "Recent File List";

QString EntryKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

CRecentFileList::CRecentFileList(int size) : m_nSize(size)
{
}

void CRecentFileList::Load()
{
    QSettings store(QStringLiteral("Hessadyne"), QStringLiteral("Vorkant"));
    store.beginGroup(QLatin1String(kSection));
    m_paths.clear();
    for (int i = 0; i < m_nSize; ++i)
    {
        const QString path = store.value(EntryKey(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths << path;
    }
}

void CRecentFileList::Add(const QString& path)
{
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > m_nSize)
        m_paths.removeLast();
    Save();
}

void CRecentFileList::Remove(const QString& path)
{
    m_paths.removeAll(path);
    Save();
}

void CRecentFileList::Save() const
{
    QSettings store(QStringLiteral("Hessadyne"), QStringLiteral("Vorkant"));
    store.remove(QLatin1String(kSection));
    store.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < m_paths.size(); ++i)
        store.setValue(EntryKey(i), m_paths[i]);
}
