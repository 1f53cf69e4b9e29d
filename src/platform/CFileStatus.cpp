#include "platform/CFileStatus.h"

#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#ifndef _WIN32
#include <cerrno>
#include <sys/stat.h>

namespace
{

// The folder a name would be in: what stands before its last separator. An
// empty name is in no folder at all.
std::string FolderOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of(kHostSeparator);
    if (separator == std::string::npos)
        return path.empty() ? std::string() : std::string(".");
    return separator == 0 ? std::string(1, kHostSeparator) : path.substr(0, separator);
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool CFileStatus::Get(const std::string& path, CFileStatus& status, bool followLinks)
{
    struct stat st;
    const int result = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (result == -1)
    {
        SetLastFromErrno(errno, path);
        return false;
    }
    status.m_bRegular = S_ISREG(st.st_mode);
    status.m_bDirectory = S_ISDIR(st.st_mode);
    status.m_bLink = S_ISLNK(st.st_mode);
    // Windows gives folders and links no size of their own.
    status.m_size = status.m_bRegular ? static_cast<std::uint64_t>(st.st_size) : 0;
    status.m_mtime = st.st_mtime;
    return true;
}

DWORD CFileStatus::SetLastFromErrno(int err, const std::string& path)
{
    DWORD code = CSystemError::FromErrno(err);
    if (err == ENOTDIR || (err == ENOENT && !IsFolder(FolderOf(path))))
        code = ERROR_PATH_NOT_FOUND;
    CSystemError::SetLast(code);
    return code;
}

#endif
