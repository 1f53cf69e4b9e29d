#include "engine/SFileEntry.h"

#include "platform/CFileStatus.h"
#include "platform/PathStyle.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

SFileEntry::SFileEntry(const std::string& path) : strPath(path), strName(path)
{
}

bool SFileEntry::IsStorable(const CFileStatus& status)
{
    return status.m_bRegular || status.m_bDirectory;
}

bool SFileEntry::SetPath(const std::string& path)
{
    CFileStatus status;
    if (!CFileStatus::Get(path, status) || !IsStorable(status))
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
    bIsFile = !status.m_bDirectory;
    dwSize = status.m_size;
    time = status.m_mtime;
    return true;
}
