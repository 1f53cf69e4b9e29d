#include "platform/CFolder.h"

#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#ifdef _WIN32
#include "platform/WinFileTime.h"

#include <cstring>
#include <utility>
#include <windows.h>

namespace
{

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// What FindFirstFile is asked for: every entry of the folder. "C:" is the
// current folder of drive C, so nothing goes between it and the pattern.
std::string EverythingIn(const std::string& folder)
{
    const char last = folder.back();
    return folder + (last == '\\' || last == '/' || last == ':' ? "*" : "\\*");
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool CFolder::Create(const std::string& path)
{
    return CSystemError::CheckName(path) && ::CreateDirectoryA(path.c_str(), nullptr);
}

bool CFolder::CreateIn(const COpenFolder& parent, const std::string& name)
{
    return Create(parent.PathOf(name));
}

bool CFolder::SetTimeAndModeIn(const COpenFolder& parent, const std::string& name,
                               std::int64_t mtime, std::optional<unsigned>)
{
    const std::string path = parent.PathOf(name);
    if (!CSystemError::CheckName(path))
        return false;
    // Opening the reparse point itself keeps a link from being followed.
    const HANDLE folder = ::CreateFileA(
        path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool done = ::GetFileInformationByHandle(folder, &info);
    if (done && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    {
        ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
        done = false;
    }
    const FILETIME time = FileTimeOf(mtime);
    done = done && ::SetFileTime(folder, nullptr, nullptr, &time);
    const DWORD code = ::GetLastError();
    ::CloseHandle(folder);
    ::SetLastError(code);
    return done;
}

bool CFolder::Enumerate(const std::string& path, std::vector<std::string>& names)
{
    // An empty name would list the root of the current drive.
    if (path.empty())
    {
        CSystemError::SetLast(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!CSystemError::CheckName(path))
        return false;
    WIN32_FIND_DATAA entry;
    const HANDLE search = ::FindFirstFileA(EverythingIn(path).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
    {
        const DWORD code = ::GetLastError();
        // Only a drive's root can hold no entries at all, not even the dot ones.
        if (code == ERROR_FILE_NOT_FOUND)
        {
            names.clear();
            return true;
        }
        // Windows says ERROR_DIRECTORY for a file in the folder's place, but
        // not every implementation of its calls does (Wine: ERROR_INVALID_NAME).
        CSystemError::SetLast(IsFile(path) ? ERROR_DIRECTORY : code);
        return false;
    }
    std::vector<std::string> found;
    do
    {
        if (!IsDotEntry(entry.cFileName))
            found.emplace_back(entry.cFileName);
    } while (::FindNextFileA(search, &entry));
    const DWORD code = ::GetLastError();
    ::FindClose(search);
    if (code != ERROR_NO_MORE_FILES)
    {
        CSystemError::SetLast(code);
        return false;
    }
    names = std::move(found);
    return true;
}

std::string CFolder::GetTempFolder()
{
    // The system's answer is at most MAX_PATH + 1 characters long.
    char buffer[MAX_PATH + 2];
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    std::string folder(buffer, length < sizeof buffer ? length : 0);
    if (folder.empty() || folder.back() != kHostSeparator)
        folder += kHostSeparator;
    return folder;
}

#else
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{

struct SDirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, SDirCloser>;

bool IsFolder(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// opendir does not promise close-on-exec; a folder being listed must not
// leak into a program started meanwhile.
DirPtr OpenFolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd == -1)
        return nullptr;
    DirPtr dir(::fdopendir(fd));
    if (!dir)
    {
        const int err = errno;
        ::close(fd);
        errno = err;
    }
    return dir;
}

// The folder being listed is itself a path component to Windows, so a missing
// one is ERROR_PATH_NOT_FOUND; a file in its place is ERROR_DIRECTORY.
void SetLastFromListing(int err, const std::string& path)
{
    if (err == ENOENT || (err == ENOTDIR && !Exists(path)))
        CSystemError::SetLast(ERROR_PATH_NOT_FOUND);
    else
        CSystemError::SetLastFromErrno(err);
}

// mkdir, or mkdirat from a held folder.
bool CreateAt(int parent, const std::string& name, const std::string& path)
{
    if (!CSystemError::CheckName(name))
        return false;
    if (::mkdirat(parent, name.c_str(), 0777) == 0)
        return true;
    CFileStatus::SetLastFromMaking(errno, path);
    return false;
}

} // namespace

bool CFolder::Create(const std::string& path)
{
    return CreateAt(AT_FDCWD, path, path);
}

bool CFolder::CreateIn(const COpenFolder& parent, const std::string& name)
{
    if (parent.GetHandle() == -1)
        return Create(parent.PathOf(name));
    return CreateAt(parent.GetHandle(), name, parent.PathOf(name));
}

bool CFolder::SetTimeAndModeIn(const COpenFolder& parent, const std::string& name,
                               std::int64_t mtime, std::optional<unsigned> mode)
{
    // Through a descriptor, so that the time and the mode land on the folder
    // that was looked at, and a link in its place is refused.
    const int at = parent.GetHandle() == -1 ? AT_FDCWD : parent.GetHandle();
    const std::string& looked = at == AT_FDCWD ? parent.PathOf(name) : name;
    if (!CSystemError::CheckName(looked))
        return false;
    const int fd = ::openat(at, looked.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd == -1)
    {
        // Linux calls a link there "not a folder"; it is the link refused.
        struct stat st;
        const int err =
            errno == ENOTDIR && ::fstatat(at, looked.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISLNK(st.st_mode)
                ? ELOOP
                : errno;
        CFileStatus::SetLastFromErrno(err, parent.PathOf(name));
        return false;
    }
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(mtime), 0}};
    const bool done = ::futimens(fd, times) == 0 &&
                      (!mode || ::fchmod(fd, static_cast<mode_t>(*mode & 0777)) == 0);
    const int err = errno;
    ::close(fd);
    if (!done)
        CSystemError::SetLastFromErrno(err);
    return done;
}

bool CFolder::Enumerate(const std::string& path, std::vector<std::string>& names)
{
    if (!CSystemError::CheckName(path))
        return false;
    const DirPtr dir = OpenFolder(path);
    if (!dir)
    {
        SetLastFromListing(errno, path);
        return false;
    }
    std::vector<std::string> found;
    for (;;)
    {
        errno = 0; // readdir tells the end from a failure only through errno
        const dirent* entry = ::readdir(dir.get());
        if (!entry)
            break;
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            found.emplace_back(entry->d_name);
    }
    if (errno != 0)
    {
        CSystemError::SetLastFromErrno(errno);
        return false;
    }
    names = std::move(found);
    return true;
}

std::string CFolder::GetTempFolder()
{
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string folder =
        fromEnvironment && *fromEnvironment && IsFolder(fromEnvironment) ? fromEnvironment : "/tmp";
    if (folder.back() != kHostSeparator)
        folder += kHostSeparator;
    return folder;
}

#endif
