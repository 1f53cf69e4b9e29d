#include "engine/SFileEntry.h"

#include "platform/CFileStatus.h"
#include "platform/PathStyle.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
void Describe(SFileEntry& entry, const CFileStatus& status)
{
    entry.bIsFile = !status.m_bDirectory;
    entry.chType = status.m_bDirectory ? '5'
                   : status.m_bLink    ? '2'
                   : status.m_nKind == CFileStatus::KIND_FIFO ? '6'
                                                               : '0';
    entry.dwSize = status.m_size;
    entry.time = status.m_mtime;
}
} // namespace

SFileEntry::SFileEntry(const std::string& path) : strPath(path), strName(path)
{
}

bool SFileEntry::IsStorable(const CFileStatus& status)
{
    return status.m_bRegular || status.m_bDirectory || status.m_bLink ||
           status.m_nKind == CFileStatus::KIND_FIFO;
}

bool SFileEntry::SetPath(const std::string& path)
{
    CFileStatus status;
    if (!CFileStatus::Get(path, status, false) || !IsStorable(status))
        return false;
    return SetPath(path, status);
}

bool SFileEntry::SetPath(const std::string& path, const CFileStatus& status)
{
    // Lexically only: a link in the path must stay a link, and the user's
    // spelling of every component is kept.
    std::error_code error;
    fs::path full = fs::absolute(fs::path(path), error);
    if (error)
        return false;
    // "proj/" names proj; its last component must not come out empty, or
    // the folder would be stored without a name and its contents outside it.
    while (full.has_relative_path() && !full.has_filename())
        full = full.parent_path();
    // Windows takes a slash for a backslash; the name is found after the last
    // backslash, so there must be only those.
    strPath = full.make_preferred().string();
    const std::size_t separator = strPath.find_last_of(kHostSeparator);
    strName = separator == std::string::npos ? strPath : strPath.substr(separator + 1);
    Describe(*this, status);
    return true;
}

// Nothing to make absolute: a folder's names come by the thousand, and
// taking each path apart again is much of the cost of adding them.
void SFileEntry::SetInFolder(const std::string& folderPath, const std::string& name,
                             const CFileStatus& status)
{
    strPath.reserve(folderPath.size() + 1 + name.size());
    strPath = folderPath;
    if (strPath.empty() || strPath.back() != kHostSeparator)
        strPath += kHostSeparator;
    strPath += name;
    strName = name;
    Describe(*this, status);
}
