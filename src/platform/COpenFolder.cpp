#include "platform/COpenFolder.h"

#include "platform/CFileStatus.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Only for looking names up: no permission to read the folder is needed.
#ifdef O_PATH
constexpr int kLookupOnly = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kLookupOnly = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Linux calls a link met with O_NOFOLLOW and O_DIRECTORY "not a folder";
// it is the link that is refused.
void SetLastFromHoldIn(int err, int parent, const std::string& name, const std::string& path)
{
    struct stat st;
    if ((err == ENOTDIR || err == ELOOP) &&
        ::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    {
        CSystemError::SetLast(S_ISLNK(st.st_mode) ? ERROR_CANT_RESOLVE_FILENAME : ERROR_DIRECTORY);
        return;
    }
    CFileStatus::SetLastFromErrno(err, path);
}

} // namespace
#endif

namespace
{

// One name in its folder: neither a way up nor a path of several names,
// which would be walked through whatever links they hold.
bool IsOneName(std::string_view name)
{
    const bool one = !name.empty() && name != "." && name != ".." &&
                     name.find('/') == std::string_view::npos &&
                     name.find(kHostSeparator) == std::string_view::npos;
    if (!one)
        CSystemError::SetLast(ERROR_INVALID_NAME);
    return one;
}

} // namespace

COpenFolder::~COpenFolder()
{
    Release();
}

bool COpenFolder::Hold(const std::string& path)
{
    Release();
    m_strPath = path;
    if (!CSystemError::CheckName(path))
        return false;
#ifdef _WIN32
    return true;
#else
    m_nHandle = ::open(path.empty() ? "." : path.c_str(), kLookupOnly);
    if (m_nHandle != -1)
        return true;
    CFileStatus::SetLastFromErrno(errno, path);
    return false;
#endif
}

bool COpenFolder::HoldIn(const COpenFolder& parent, const std::string& name)
{
    const std::string path = parent.PathOf(name);
    if (!CSystemError::CheckName(name) || !IsOneName(name))
        return false;
#ifdef _WIN32
    // The reparse point itself is opened, so that it is seen, never followed.
    const HANDLE folder = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    DWORD refusal = ::GetFileInformationByHandle(folder, &info) ? ERROR_SUCCESS : ::GetLastError();
    if (refusal == ERROR_SUCCESS && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        refusal = ERROR_CANT_RESOLVE_FILENAME;
    else if (refusal == ERROR_SUCCESS && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        refusal = ERROR_DIRECTORY;
    if (refusal != ERROR_SUCCESS)
    {
        ::CloseHandle(folder);
        ::SetLastError(refusal);
        return false;
    }
    Release();
    m_hPinned = folder;
#else
    int folder;
    do
        folder = ::openat(parent.GetHandle(), name.c_str(), kLookupOnly | O_NOFOLLOW);
    while (folder == -1 && errno == EINTR);
    if (folder == -1)
    {
        SetLastFromHoldIn(errno, parent.GetHandle(), name, path);
        return false;
    }
    Release();
    m_nHandle = folder;
#endif
    m_strPath = path;
    return true;
}

std::string COpenFolder::PathOf(const std::string& name) const
{
    if (m_strPath.empty())
        return name;
    if (m_strPath.back() == kHostSeparator || m_strPath.back() == '/')
        return m_strPath + name;
    return m_strPath + kHostSeparator + name;
}

void COpenFolder::Release()
{
#ifdef _WIN32
    if (m_hPinned != nullptr)
        ::CloseHandle(m_hPinned);
    m_hPinned = nullptr;
#else
    if (m_nHandle != -1)
        ::close(m_nHandle);
#endif
    m_nHandle = -1;
    m_strPath.clear();
}
