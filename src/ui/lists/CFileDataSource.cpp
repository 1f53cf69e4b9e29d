#include "ui/lists/CFileDataSource.h"

#include "core/CLogEntry.h"
#include "core/CMessageLog.h"
#include "platform/CLocalTime.h"
#include "platform/PathStyle.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <ctime>
#include <functional>

namespace
{
constexpr const char* kColumnNames[CFileDataSource::COL_COUNT] = {"Path Name", "Size", "Time"};
constexpr char kSymbolicLink = '2';
constexpr char kHardLink = '1';
constexpr char kTooLong[] = "The file (%s) has a path %d characters long. Only files %d "
                            "characters or less are supported.";

// The part of a name after its last separator: what the user recognises.
std::string FileNamePart(const std::string& name)
{
    std::size_t cut = name.find_last_of(kHostSeparator);
    if (cut == std::string::npos)
        cut = name.find_last_of('/');
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

std::string TooLongMessage(const std::string& name, std::uint32_t limit)
{
    const std::string file = FileNamePart(name);
    const int length = static_cast<int>(name.size());
    const int shown = static_cast<int>(limit);
    const int size = std::snprintf(nullptr, 0, kTooLong, file.c_str(), length, shown) + 1;
    std::string text(static_cast<std::size_t>(size), '\0');
    std::snprintf(text.data(), text.size(), kTooLong, file.c_str(), length, shown);
    text.pop_back();
    return text;
}

QString DecodeName(const std::string& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

bool IsAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// Whether the name holds the text in any case. Most names and texts are
// ASCII, and are compared as they are stored, lowered here byte by byte;
// only the rest are decoded for Unicode's rules.
bool Holds(const std::string& name, const QString& text, const std::string& lowered)
{
    if (!IsAscii(name) || !IsAscii(lowered))
        return DecodeName(name).contains(text, Qt::CaseInsensitive);
    const auto lower = [](char a, char b)
    { return std::tolower(static_cast<unsigned char>(a)) == b; };
    return std::search(name.begin(), name.end(), lowered.begin(), lowered.end(), lower) !=
           name.end();
}

// Kilobytes, rounded up: only an empty file shows 0 KB.
QString SizeText(std::uint64_t bytes)
{
    const unsigned long long kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return QString::asprintf("%llu KB", kb);
}

// The local date as the C library writes it for the user's locale.
QString DateText(std::int64_t time)
{
    std::tm local{};
    if (!CLocalTime::ToLocal(time, local))
        return {};
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%x", &local);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(length));
}
} // namespace

CFileDataSource::CFileDataSource(bool bUseRelativeNames, std::uint32_t nPathLimit, CMessageLog* pLog)
    : m_bUseRelativeNames(bUseRelativeNames), m_nPathLimit(nPathLimit), m_pLog(pLog)
{
}

CFileDataSource::~CFileDataSource()
{
    // Before the entry list's own destructor clears it: no client may hear
    // of that from a half-destroyed source.
    UnadviseAll();
}

void CFileDataSource::SetUseRelativeNames(bool bUseRelativeNames)
{
    if (m_bUseRelativeNames.exchange(bUseRelativeNames) != bUseRelativeNames)
        AnnounceChanged(0, GetAnnouncedRows() - 1);
}

bool CFileDataSource::GetUseRelativeNames() const
{
    return m_bUseRelativeNames;
}

void CFileDataSource::SetPathLimit(std::uint32_t nPathLimit)
{
    m_nPathLimit = nPathLimit;
}

std::uint32_t CFileDataSource::GetPathLimit() const
{
    return m_nPathLimit;
}

void CFileDataSource::SetLog(CMessageLog* pLog)
{
    m_pLog = pLog;
}

bool CFileDataSource::CanAdd(const SFileEntry& entry)
{
    const std::string& name = NameOf(entry);
    const std::uint32_t limit = m_nPathLimit;
    if (limit == NO_PATH_LIMIT || name.size() < limit)
        return true;
    Log(TooLongMessage(name, limit));
    return false;
}

void CFileDataSource::RecheckEntries()
{
    std::vector<int> refused;
    SFileEntry entry;
    for (int row = GetCount() - 1; row >= 0; --row)
    {
        if (CopyAt(row, entry) && !CanAdd(entry))
            refused.push_back(row);
    }
    RemoveEntries(std::move(refused));
}

void CFileDataSource::AddPaths(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    Problems problems;
    const int before = GetCount();
    EnableEvents(false);
    for (std::size_t i = 0; i + 1 < paths.size(); ++i)
        AddPath(paths[i], true, &problems);
    EnableEvents(true);
    const int beforeLast = GetCount();
    AddPath(paths.back(), true, &problems);
    // The last path's notice was to report the batch; when it added nothing,
    // the entries before it must still be told, or nobody would know of them.
    if (GetCount() == beforeLast && beforeLast != before)
    {
        SFileEntrysEvent added{ENTRYS_INSERTED, before, beforeLast - before};
        FireEvent(&added);
    }
    for (const std::string& problem : problems)
        Log(problem);
}

void CFileDataSource::RemoveEntries(std::vector<int> rows)
{
    // From the last row to the first, so that the rows still to go keep
    // their indexes.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [this](int row) { return row < 0 || row >= GetCount(); });
    if (rows.empty())
        return;
    EnableEvents(false);
    for (std::size_t i = 0; i + 1 < rows.size(); ++i)
        RemoveAt(rows[i]);
    EnableEvents(true);
    RemoveAt(rows.back());
}

int CFileDataSource::GetNumberCols() const
{
    return COL_COUNT;
}

QString CFileDataSource::GetColName(int col) const
{
    return col >= 0 && col < COL_COUNT ? QString::fromLatin1(kColumnNames[col]) : QString();
}

QString CFileDataSource::GetCellText(int row, int col) const
{
    SFileEntry entry;
    if (!CopyAt(row, entry))
        return {};
    switch (col)
    {
    case COL_NAME:
        return NameText(entry);
    case COL_SIZE:
        return SizeText(entry.dwSize);
    case COL_TIME:
        return DateText(entry.time);
    default:
        return {};
    }
}

QVariant CFileDataSource::GetCellData(int row, int col, int role) const
{
    SFileEntry entry;
    if (col != COL_NAME || role < IS_FILE_ROLE || role > IS_SYMLINK_ROLE || !CopyAt(row, entry))
        return {};
    if (role == PATH_ROLE)
        return DecodeName(entry.strPath);
    if (role == IS_SYMLINK_ROLE)
        return entry.chType == kSymbolicLink;
    return entry.bIsFile;
}

void CFileDataSource::Log(const std::string& message) const
{
    if (CMessageLog* log = m_pLog)
        log->Add(CLogEntry(message));
}

void CFileDataSource::ShowNamesHolding(const QString& text)
{
    if (text.isEmpty())
    {
        SetRowFilter({});
        return;
    }
    const std::string lowered = text.toLower().toStdString();
    SetRowFilter(
        [this, text, lowered](int row)
        {
            return TestAt(row, [&](const SFileEntry& entry)
                          { return Holds(NameOf(entry), text, lowered); });
        });
}

const std::string& CFileDataSource::NameOf(const SFileEntry& entry) const
{
    return m_bUseRelativeNames ? entry.strName : entry.strPath;
}

// A link's row names its target in the words the terminal listing uses.
QString CFileDataSource::NameText(const SFileEntry& entry) const
{
    const QString name = DecodeName(NameOf(entry));
    if (entry.chType == kSymbolicLink)
        return name + QStringLiteral(" -> ") + DecodeName(entry.strLinkTarget);
    if (entry.chType == kHardLink)
        return name + QStringLiteral(" link to ") + DecodeName(entry.strLinkTarget);
    return name;
}
