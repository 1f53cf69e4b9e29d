#include "platform/CLink.h"

#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"

#ifdef _WIN32
#include "platform/WinFileTime.h"

#include <algorithm>
#include <windows.h>
#include <winioctl.h>

namespace
{

// The symbolic-link form of the system's reparse data, whose declaration
// the SDK keeps among the driver kit's headers. Offsets and lengths count
// bytes into names.
struct SSymbolicLinkData
{
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    DWORD flags;
    WCHAR names[1];
};

// Names go to the system in the ANSI code page, as the A calls take them.
std::wstring Widen(const std::string& text)
{
    const int length = static_cast<int>(text.size());
    std::wstring wide(::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(),
                          static_cast<int>(wide.size()));
    return wide;
}

std::string Narrow(const WCHAR* wide, int length)
{
    std::string text(::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr),
                     '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(), static_cast<int>(text.size()),
                          nullptr, nullptr);
    return text;
}

// Only a reparse point can be a link: anything else answers at once.
bool CheckReparsePoint(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    ::SetLastError(ERROR_NOT_A_REPARSE_POINT);
    return false;
}

// The item itself, a link never followed; a folder needs backup semantics.
HANDLE OpenItself(const std::string& path, DWORD access)
{
    return ::CreateFileA(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Closes the handle, keeping the last error of what was done with it.
bool CloseAfter(HANDLE item, bool done)
{
    const DWORD code = ::GetLastError();
    ::CloseHandle(item);
    ::SetLastError(code);
    return done;
}

// The name the user sees; links made by some tools hold only the other one.
std::string TargetOf(const SSymbolicLinkData& data)
{
    const bool printed = data.printLength != 0;
    const WORD offset = printed ? data.printOffset : data.substituteOffset;
    const WORD length = printed ? data.printLength : data.substituteLength;
    return Narrow(data.names + offset / sizeof(WCHAR), length / sizeof(WCHAR));
}

// Where target leads from the folder of the link at path.
std::string ResolvedFrom(const std::string& path, const std::string& target)
{
    const bool absolute = target.starts_with('\\') || (target.size() > 1 && target[1] == ':');
    const std::size_t separator = path.find_last_of("\\/");
    if (absolute || separator == std::string::npos)
        return target;
    return path.substr(0, separator + 1) + target;
}

} // namespace

bool CLink::ReadIn(const COpenFolder& folder, const std::string& name, std::string& target)
{
    const std::string path = folder.PathOf(name);
    if (!CSystemError::CheckName(path) || !CheckReparsePoint(path))
        return false;
    const HANDLE link = OpenItself(path, FILE_READ_ATTRIBUTES);
    if (link == INVALID_HANDLE_VALUE)
        return false;
    static_assert(MAXIMUM_REPARSE_DATA_BUFFER_SIZE % sizeof(DWORD) == 0);
    DWORD buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE / sizeof(DWORD)];
    DWORD got = 0;
    bool done = ::DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer,
                                  &got, nullptr);
    const auto& data = *reinterpret_cast<const SSymbolicLinkData*>(buffer);
    // Junctions and the other reparse points are no symbolic links.
    if (done && data.tag != IO_REPARSE_TAG_SYMLINK)
    {
        ::SetLastError(ERROR_NOT_A_REPARSE_POINT);
        done = false;
    }
    if (done)
        target = TargetOf(data);
    return CloseAfter(link, done);
}

bool CLink::CreateSymbolicIn(const COpenFolder& folder, const std::string& name,
                             const std::string& target)
{
    const std::string path = folder.PathOf(name);
    if (!CSystemError::CheckName(path) || !CSystemError::CheckName(target))
        return false;
    std::string native = target;
    std::replace(native.begin(), native.end(), '/', '\\');
    const DWORD attributes = ::GetFileAttributesA(ResolvedFrom(path, native).c_str());
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    return ::CreateSymbolicLinkW(Widen(path).c_str(), Widen(native).c_str(), flags) != 0;
}

bool CLink::CreateHardIn(const COpenFolder& targetFolder, const std::string& targetName,
                         const COpenFolder& folder, const std::string& name)
{
    const std::string targetPath = targetFolder.PathOf(targetName);
    const std::string path = folder.PathOf(name);
    return CSystemError::CheckName(targetPath) && CSystemError::CheckName(path) &&
           ::CreateHardLinkA(path.c_str(), targetPath.c_str(), nullptr);
}

bool CLink::CreateFifoIn(const COpenFolder&, const std::string&, unsigned)
{
    CSystemError::SetLast(ERROR_NOT_SUPPORTED);
    return false;
}

bool CLink::SetTimeIn(const COpenFolder& folder, const std::string& name, std::int64_t mtime)
{
    const std::string path = folder.PathOf(name);
    if (!CSystemError::CheckName(path))
        return false;
    const HANDLE item = OpenItself(path, FILE_WRITE_ATTRIBUTES);
    if (item == INVALID_HANDLE_VALUE)
        return false;
    const FILETIME time = FileTimeOf(mtime);
    return CloseAfter(item, ::SetFileTime(item, nullptr, nullptr, &time));
}

#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// How a call reaches a name: from the held folder, or, with none held, as
// the whole path from the current folder.
struct SLookup
{
    int at;
    std::string name; // as the call takes it
    std::string path; // the whole path, which failures speak of
};

SLookup LookupOf(const COpenFolder& folder, const std::string& name)
{
    if (folder.GetHandle() == -1)
        return {AT_FDCWD, folder.PathOf(name), folder.PathOf(name)};
    return {folder.GetHandle(), name, folder.PathOf(name)};
}

bool Fail(int err, const std::string& path)
{
    CFileStatus::SetLastFromMaking(err, path);
    return false;
}

} // namespace

bool CLink::ReadIn(const COpenFolder& folder, const std::string& name, std::string& target)
{
    const SLookup link = LookupOf(folder, name);
    if (!CSystemError::CheckName(link.name))
        return false;
    // The system cuts a target short to the buffer without saying so: only
    // a target shorter than the buffer is known to be whole.
    std::string buffer(256, '\0');
    for (;;)
    {
        const ssize_t length =
            ::readlinkat(link.at, link.name.c_str(), buffer.data(), buffer.size());
        if (length == -1 && errno == EINVAL)
        {
            CSystemError::SetLast(ERROR_NOT_A_REPARSE_POINT);
            return false;
        }
        if (length == -1)
            return Fail(errno, link.path);
        if (static_cast<std::size_t>(length) < buffer.size())
        {
            buffer.resize(static_cast<std::size_t>(length));
            target = std::move(buffer);
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool CLink::CreateSymbolicIn(const COpenFolder& folder, const std::string& name,
                             const std::string& target)
{
    const SLookup link = LookupOf(folder, name);
    if (!CSystemError::CheckName(link.name) || !CSystemError::CheckName(target))
        return false;
    if (::symlinkat(target.c_str(), link.at, link.name.c_str()) == 0)
        return true;
    return Fail(errno, link.path);
}

bool CLink::CreateHardIn(const COpenFolder& targetFolder, const std::string& targetName,
                         const COpenFolder& folder, const std::string& name)
{
    const SLookup target = LookupOf(targetFolder, targetName);
    const SLookup link = LookupOf(folder, name);
    if (!CSystemError::CheckName(target.name) || !CSystemError::CheckName(link.name))
        return false;
    if (::linkat(target.at, target.name.c_str(), link.at, link.name.c_str(), 0) == 0)
        return true;
    // Windows says ERROR_PATH_NOT_FOUND when either folder is missing.
    const int err = errno;
    Fail(err, target.path);
    if (CSystemError::GetLast() == ERROR_FILE_NOT_FOUND)
        Fail(err, link.path);
    return false;
}

bool CLink::CreateFifoIn(const COpenFolder& folder, const std::string& name, unsigned mode)
{
    const SLookup fifo = LookupOf(folder, name);
    if (!CSystemError::CheckName(fifo.name))
        return false;
    if (::mkfifoat(fifo.at, fifo.name.c_str(), static_cast<mode_t>(mode & 0777)) == 0)
        return true;
    return Fail(errno, fifo.path);
}

bool CLink::SetTimeIn(const COpenFolder& folder, const std::string& name, std::int64_t mtime)
{
    const SLookup item = LookupOf(folder, name);
    if (!CSystemError::CheckName(item.name))
        return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(mtime), 0}};
    if (::utimensat(item.at, item.name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    return Fail(errno, item.path);
}

#endif
