#include "platform/CFileStatus.h"

#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#ifdef _WIN32
#include <windows.h>

namespace
{

std::uint64_t Join(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

std::int64_t SecondsSince1970(const FILETIME& time)
{
    // FILETIME counts 100 ns steps from 1601, so it is never negative and
    // the division rounds down before 1970 as well.
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto ticks = static_cast<std::int64_t>(Join(time.dwHighDateTime, time.dwLowDateTime));
    return ticks / kTicksPerSecond - kSecondsFrom1601To1970;
}

// The attributes describe a link itself; what it points at takes a handle
// opened through it.
bool DescribeTarget(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    const HANDLE file =
        ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool described = ::GetFileInformationByHandle(file, &info);
    const DWORD code = ::GetLastError();
    ::CloseHandle(file);
    if (!described)
    {
        ::SetLastError(code);
        return false;
    }
    data.dwFileAttributes = info.dwFileAttributes;
    data.ftLastWriteTime = info.ftLastWriteTime;
    data.nFileSizeHigh = info.nFileSizeHigh;
    data.nFileSizeLow = info.nFileSizeLow;
    return true;
}

void Fill(DWORD attributes, bool link, std::uint64_t size, const FILETIME& written,
          CFileStatus& status)
{
    // What Windows does not tell here keeps its blank value, never a stale one.
    status = CFileStatus();
    status.m_bLink = link;
    status.m_bDirectory = !link && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    status.m_bRegular = !link && !status.m_bDirectory;
    status.m_bReadOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // A Windows folder holds no pipes, sockets or device files: these three
    // are every kind a name can be here.
    status.m_nKind = link                  ? CFileStatus::KIND_LINK
                     : status.m_bDirectory ? CFileStatus::KIND_DIRECTORY
                                           : CFileStatus::KIND_REGULAR;
    status.m_size = status.m_bRegular ? size : 0;
    status.m_bHoles = status.m_bRegular && (attributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0;
    status.m_mtime = SecondsSince1970(written);
}

} // namespace

bool CFileStatus::Get(const std::string& path, CFileStatus& status, bool followLinks)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!CSystemError::CheckName(path))
        return false;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    const bool isLink = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if (isLink && followLinks && !DescribeTarget(path, data))
        return false;
    Fill(data.dwFileAttributes, isLink && !followLinks, Join(data.nFileSizeHigh, data.nFileSizeLow),
         data.ftLastWriteTime, status);
    return true;
}

bool CFileStatus::GetIn(const COpenFolder& folder, const std::string& name, CFileStatus& status,
                        bool followLinks)
{
    return Get(folder.PathOf(name), status, followLinks);
}

void CFileStatus::Describe(const BY_HANDLE_FILE_INFORMATION& info, CFileStatus& status)
{
    Fill(info.dwFileAttributes, false, Join(info.nFileSizeHigh, info.nFileSizeLow),
         info.ftLastWriteTime, status);
    status.m_nDevice = info.dwVolumeSerialNumber;
    status.m_nInode = Join(info.nFileIndexHigh, info.nFileIndexLow);
    status.m_nLinks = info.nNumberOfLinks;
}

#else
#include <cerrno>
#include <fcntl.h>
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

int KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return CFileStatus::KIND_REGULAR;
    if (S_ISDIR(mode))
        return CFileStatus::KIND_DIRECTORY;
    if (S_ISLNK(mode))
        return CFileStatus::KIND_LINK;
    if (S_ISCHR(mode))
        return CFileStatus::KIND_CHARACTER;
    if (S_ISBLK(mode))
        return CFileStatus::KIND_BLOCK;
    if (S_ISFIFO(mode))
        return CFileStatus::KIND_FIFO;
    if (S_ISSOCK(mode))
        return CFileStatus::KIND_SOCKET;
    return CFileStatus::KIND_OTHER;
}

} // namespace

bool CFileStatus::Get(const std::string& path, CFileStatus& status, bool followLinks)
{
    if (!CSystemError::CheckName(path))
        return false;
    struct stat st;
    const int result = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (result == -1)
    {
        SetLastFromErrno(errno, path);
        return false;
    }
    Describe(st, status);
    return true;
}

bool CFileStatus::GetIn(const COpenFolder& folder, const std::string& name, CFileStatus& status,
                        bool followLinks)
{
    if (folder.GetHandle() == -1)
        return Get(folder.PathOf(name), status, followLinks);
    if (!CSystemError::CheckName(name))
        return false;
    struct stat st;
    if (::fstatat(folder.GetHandle(), name.c_str(), &st, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) ==
        -1)
    {
        SetLastFromErrno(errno, folder.PathOf(name));
        return false;
    }
    Describe(st, status);
    return true;
}

void CFileStatus::Describe(const struct stat& st, CFileStatus& status)
{
    status.m_bRegular = S_ISREG(st.st_mode);
    status.m_bDirectory = S_ISDIR(st.st_mode);
    status.m_bLink = S_ISLNK(st.st_mode);
    status.m_bReadOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    status.m_nKind = KindOf(st.st_mode);
    // Windows gives folders and links no size of their own.
    status.m_size = status.m_bRegular ? static_cast<std::uint64_t>(st.st_size) : 0;
    // Blocks are counted in 512-byte units whatever the file system's own.
    status.m_bHoles = status.m_bRegular && static_cast<std::uint64_t>(st.st_blocks) * 512 < status.m_size;
    status.m_mtime = st.st_mtime;
    status.m_nMode = static_cast<std::uint32_t>(st.st_mode & 07777);
    status.m_nUid = st.st_uid;
    status.m_nGid = st.st_gid;
    status.m_nDevice = st.st_dev;
    status.m_nInode = st.st_ino;
    status.m_nLinks = static_cast<std::uint32_t>(st.st_nlink);
}

DWORD CFileStatus::SetLastFromMaking(int err, const std::string& path)
{
    if (err != EEXIST)
        return SetLastFromErrno(err, path);
    CSystemError::SetLast(ERROR_ALREADY_EXISTS);
    return ERROR_ALREADY_EXISTS;
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
