#include "platform/CFolder.h"

#include "platform/CFileStatus.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#ifndef _WIN32
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

} // namespace

bool CFolder::Create(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    // Windows keeps ERROR_FILE_EXISTS for files; a folder in the way is this.
    if (errno == EEXIST)
        CSystemError::SetLast(ERROR_ALREADY_EXISTS);
    else
        CFileStatus::SetLastFromErrno(errno, path);
    return false;
}

bool CFolder::Enumerate(const std::string& path, std::vector<std::string>& names)
{
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
