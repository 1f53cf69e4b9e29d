#include "ui/frame/CMemberOpener.h"

#include "document/CTarDoc.h"
#include "engine/CFileEntrys.h"
#include "engine/CWildCard.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

namespace
{

// A chain of links longer than this goes round.
constexpr int kMostLinks = 40;

// A symbolic link's target is relative to the link's folder, a hard link's
// is a member name; either way "." and ".." are resolved by name.
std::string TargetName(const SFileEntry& link)
{
    std::string target = link.strLinkTarget;
    if (link.chType == '2' && !target.empty() && target.front() != '/')
    {
        const std::size_t slash = link.strName.find_last_of('/');
        if (slash != std::string::npos)
            target = link.strName.substr(0, slash + 1) + target;
    }
    return QDir::cleanPath(QString::fromStdString(target)).toStdString();
}

QString PrivateBase()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                             : runtime;
}

} // namespace

CMemberOpener::CMemberOpener(CTarDoc& doc, const CFileEntrys& catalogue, Launcher launcher)
    : m_doc(doc), m_catalogue(catalogue), m_launcher(std::move(launcher))
{
    if (!m_launcher)
        m_launcher = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

CMemberOpener::~CMemberOpener() = default;

bool CMemberOpener::Open(int row)
{
    const int target = Target(row);
    const SFileEntry* entry = target >= 0 ? m_catalogue.GetAt(target) : nullptr;
    if (!entry || !entry->bIsFile || entry->chType == '2' || entry->chType == '1')
        return false;
    const QString folder = Extract({static_cast<std::uint32_t>(target)});
    if (folder.isEmpty())
        return false;
    // The one file the extraction made, wherever the member's name put it.
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    return files.hasNext() && m_launcher(QUrl::fromLocalFile(files.next()));
}

QMimeData* CMemberOpener::DragData(const std::vector<int>& rows)
{
    const QString folder = Extract({rows.begin(), rows.end()});
    if (folder.isEmpty())
        return nullptr;
    QList<QUrl> urls;
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                       QDir::Hidden | QDir::System))
        urls << QUrl::fromLocalFile(QDir(folder).filePath(name));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

int CMemberOpener::Target(int row) const
{
    for (int step = 0; step < kMostLinks && row >= 0; ++step)
    {
        const SFileEntry* entry = m_catalogue.GetAt(row);
        if (!entry)
            return -1;
        if (entry->chType != '1' && entry->chType != '2')
            return row;
        row = RowOf(TargetName(*entry));
    }
    return -1;
}

int CMemberOpener::RowOf(const std::string& name) const
{
    const int count = m_catalogue.GetCount();
    for (int row = 0; row < count; ++row)
    {
        const SFileEntry* entry = m_catalogue.GetAt(row);
        if (entry && QDir::cleanPath(QString::fromStdString(entry->strName)).toStdString() == name)
            return row;
    }
    return -1;
}

QString CMemberOpener::Extract(std::vector<std::uint32_t> rows)
{
    if (!m_pRoot)
    {
        QDir().mkpath(PrivateBase());
        m_pRoot = std::make_unique<QTemporaryDir>(PrivateBase() + QStringLiteral("/vorkant-XXXXXX"));
    }
    if (!m_pRoot->isValid() || rows.empty())
        return {};
    const QString folder = m_pRoot->filePath(QString::number(++m_nFolders));
    if (!QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    const CWildCard none;
    std::sort(rows.begin(), rows.end());
    m_doc.Extract(&none, &rows, folder.toStdString());
    return QDir(folder).isEmpty() ? QString() : folder;
}
