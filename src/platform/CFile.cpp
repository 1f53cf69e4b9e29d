#include "platform/CFile.h"

#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"

#include <algorithm>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include "platform/WinFileTime.h"

#include <windows.h>
#include <winioctl.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

CFile::CFile() = default;

CFile::~CFile()
{
    Close();
}

CFile::CFile(CFile&& other) noexcept
    : m_hFile(std::exchange(other.m_hFile, kInvalidHandle)),
      m_nFlags(std::exchange(other.m_nFlags, 0u)), m_strPath(std::exchange(other.m_strPath, {})),
      m_opened(other.m_opened), m_bOpenedKnown(std::exchange(other.m_bOpenedKnown, false))
{
}

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_hFile = std::exchange(other.m_hFile, kInvalidHandle);
        m_nFlags = std::exchange(other.m_nFlags, 0u);
        m_strPath = std::exchange(other.m_strPath, {});
        m_opened = other.m_opened;
        m_bOpenedKnown = std::exchange(other.m_bOpenedKnown, false);
    }
    return *this;
}

bool CFile::IsOpen() const
{
    return m_hFile != kInvalidHandle;
}

const std::string& CFile::GetFilePath() const
{
    return m_strPath;
}

bool CFile::Close()
{
    if (!IsOpen())
        return true;
    const bool released = ReleaseHandle();
    m_hFile = kInvalidHandle;
    m_nFlags = 0;
    m_strPath.clear();
    m_bOpenedKnown = false;
    return released;
}

bool CFile::Remove(const std::string& path)
{
    if (!CSystemError::CheckName(path))
        return false;
#ifdef _WIN32
    return ::DeleteFileA(path.c_str()) != 0;
#else
    if (::unlink(path.c_str()) == 0)
        return true;
    CSystemError::SetLastFromErrno(errno);
    return false;
#endif
}

bool CFile::RemoveIn(const COpenFolder& folder, const std::string& name)
{
#ifndef _WIN32
    if (folder.GetHandle() != -1)
    {
        if (!CSystemError::CheckName(name))
            return false;
        if (::unlinkat(folder.GetHandle(), name.c_str(), 0) == 0)
            return true;
        CSystemError::SetLastFromErrno(errno);
        return false;
    }
#endif
    return Remove(folder.PathOf(name));
}

bool CFile::Rename(const std::string& from, const std::string& to)
{
    if (!CSystemError::CheckName(from) || !CSystemError::CheckName(to))
        return false;
#ifdef _WIN32
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    CSystemError::SetLastFromErrno(errno);
    return false;
#endif
}

bool CFile::RenameIn(const COpenFolder& folder, const std::string& from, const std::string& to)
{
#ifndef _WIN32
    if (folder.GetHandle() != -1)
    {
        if (!CSystemError::CheckName(from) || !CSystemError::CheckName(to))
            return false;
        if (::renameat(folder.GetHandle(), from.c_str(), folder.GetHandle(), to.c_str()) == 0)
            return true;
        CSystemError::SetLastFromErrno(errno);
        return false;
    }
#endif
    return Rename(folder.PathOf(from), folder.PathOf(to));
}

bool CFile::CheckOpen() const
{
    if (IsOpen())
        return true;
    CSystemError::SetLast(ERROR_INVALID_HANDLE);
    return false;
}

bool CFile::CheckAccess(bool write) const
{
    if (!CheckOpen())
        return false;
    const unsigned access = m_nFlags & (modeWrite | modeReadWrite);
    if (access == (write ? modeRead : modeWrite))
    {
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

#ifdef _WIN32
namespace
{

std::string WithWindowsLineEnds(const std::string& text)
{
    std::string result;
    result.reserve(text.size() +
                   static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    for (const char c : text)
    {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

} // namespace
#endif

bool CFile::WriteString(const std::string& text)
{
#ifdef _WIN32
    if (m_nFlags & typeText)
        return WriteInPieces(WithWindowsLineEnds(text));
#endif
    // Elsewhere a line feed is the host's line end: text mode writes the bytes as they are.
    return WriteInPieces(text);
}

bool CFile::WriteInPieces(std::string_view text)
{
    // Write takes 32-bit counts, so a huge text goes in pieces.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    while (!text.empty())
    {
        const std::size_t piece = std::min(text.size(), kPiece);
        if (!Write(text.data(), static_cast<std::uint32_t>(piece)))
            return false;
        text.remove_prefix(piece);
    }
    return true;
}

bool CFile::Read(void* buffer, std::uint32_t count, std::uint32_t& done)
{
    return ReadFrom(nullptr, buffer, count, done);
}

bool CFile::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count, std::uint32_t& done)
{
    return ReadFrom(&offset, buffer, count, done);
}

#ifndef _WIN32

static_assert(sizeof(off_t) >= 8, "files beyond 2 GiB need a 64-bit off_t");

namespace
{

int Descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

// The open(2) flags for a mode, or -1 when the access bits ask for both
// write-only and read-write.
int OpenFlags(unsigned flags)
{
    int result = O_CLOEXEC;
    switch (flags & (CFile::modeWrite | CFile::modeReadWrite))
    {
    case CFile::modeRead:
        result |= O_RDONLY;
        break;
    case CFile::modeWrite:
        result |= O_WRONLY;
        break;
    case CFile::modeReadWrite:
        result |= O_RDWR;
        break;
    default:
        return -1;
    }
    if (flags & CFile::modeCreate)
        result |= (flags & CFile::modeNoTruncate) ? O_CREAT : O_CREAT | O_TRUNC;
    if ((flags & CFile::modeCreate) && (flags & CFile::modeCreateNew))
        result |= O_EXCL;
    if (flags & CFile::modeNoFollow)
        result |= O_NOFOLLOW;
    if (flags & CFile::modeNoWait)
        result |= O_NONBLOCK;
    return result;
}

int Whence(CFile::ESeek from)
{
    switch (from)
    {
    case CFile::begin:
        return SEEK_SET;
    case CFile::current:
        return SEEK_CUR;
    case CFile::end:
        return SEEK_END;
    }
    return -1; // lseek refuses it with EINVAL
}

bool Fail(int err)
{
    CSystemError::SetLastFromErrno(err);
    return false;
}

} // namespace

bool CFile::Open(const std::string& path, unsigned flags, unsigned createMode)
{
    return OpenAt(AT_FDCWD, path, path, flags, createMode);
}

bool CFile::OpenIn(const COpenFolder& folder, const std::string& name, unsigned flags,
                   unsigned createMode)
{
    const std::string path = folder.PathOf(name);
    if (folder.GetHandle() == -1)
        return Open(path, flags, createMode);
    return OpenAt(folder.GetHandle(), name, path, flags, createMode);
}

bool CFile::OpenAt(int folder, const std::string& name, const std::string& path, unsigned flags,
                   unsigned createMode)
{
    Close();
    if (!CSystemError::CheckName(name))
        return false;
    const int openFlags = OpenFlags(flags);
    if (openFlags == -1)
    {
        CSystemError::SetLast(ERROR_INVALID_PARAMETER);
        return false;
    }
    int fd;
    do
        fd = ::openat(folder, name.c_str(), openFlags, createMode & 0777);
    while (fd == -1 && errno == EINTR);
    if (fd == -1)
    {
        CFileStatus::SetLastFromErrno(errno, path);
        return false;
    }
    // POSIX opens a folder for reading (and refuses it for writing);
    // Windows refuses a folder as a file.
    struct stat st;
    const bool described = (openFlags & O_ACCMODE) == O_RDONLY && ::fstat(fd, &st) == 0;
    if (described && S_ISDIR(st.st_mode))
    {
        ::close(fd);
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        return false;
    }
    if (described)
        CFileStatus::Describe(st, m_opened);
    m_bOpenedKnown = described;
    // A file system that keeps no locks cannot keep writers out: the file
    // is opened all the same.
    if ((flags & shareDenyWrite) && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    {
        ::close(fd);
        CSystemError::SetLast(ERROR_SHARING_VIOLATION);
        return false;
    }
    if (flags & osSequentialScan)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL); // only a hint: a refusal changes nothing
    m_hFile = fd;
    m_nFlags = flags;
    m_strPath = path;
    return true;
}

bool CFile::ReadFrom(const std::uint64_t* offset, void* buffer, std::uint32_t count,
                     std::uint32_t& done)
{
    done = 0;
    if (!CheckAccess(false))
        return false;
    auto* bytes = static_cast<char*>(buffer);
    // Pipes and signals deliver less than asked before the end; only 0 is the end.
    while (done < count)
    {
        const ssize_t got = offset ? ::pread(Descriptor(m_hFile), bytes + done, count - done,
                                             static_cast<off_t>(*offset + done))
                                   : ::read(Descriptor(m_hFile), bytes + done, count - done);
        if (got == 0)
            break;
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            return Fail(errno);
        }
        done += static_cast<std::uint32_t>(got);
        // A regular file is short only at its end: no second call to hear it.
        if (done < count && m_bOpenedKnown && m_opened.m_bRegular)
            break;
    }
    return true;
}

bool CFile::GetStatus(CFileStatus& status) const
{
    if (!CheckOpen())
        return false;
    if (m_bOpenedKnown)
    {
        status = m_opened;
        return true;
    }
    struct stat st;
    if (::fstat(Descriptor(m_hFile), &st) == -1)
        return Fail(errno);
    CFileStatus::Describe(st, status);
    return true;
}

bool CFile::Write(const void* buffer, std::uint32_t count)
{
    if (!CheckAccess(true))
        return false;
    const auto* bytes = static_cast<const char*>(buffer);
    std::uint32_t done = 0;
    while (done < count)
    {
        const ssize_t put = ::write(Descriptor(m_hFile), bytes + done, count - done);
        if (put < 0)
        {
            if (errno == EINTR)
                continue;
            return Fail(errno);
        }
        // A device that takes nothing and reports no error is full, as a short
        // write on Windows means.
        if (put == 0)
        {
            CSystemError::SetLast(ERROR_DISK_FULL);
            return false;
        }
        done += static_cast<std::uint32_t>(put);
    }
    return true;
}

bool CFile::Seek(std::int64_t offset, ESeek from, std::uint64_t* newPosition)
{
    const off_t position = ::lseek(Descriptor(m_hFile), offset, Whence(from));
    if (position == -1)
    {
        // Windows names a move before the start apart from other bad arguments.
        if (errno == EINVAL && offset < 0)
            CSystemError::SetLast(ERROR_NEGATIVE_SEEK);
        else
            CSystemError::SetLastFromErrno(errno);
        return false;
    }
    if (newPosition)
        *newPosition = static_cast<std::uint64_t>(position);
    return true;
}

bool CFile::GetPosition(std::uint64_t& position) const
{
    const off_t result = ::lseek(Descriptor(m_hFile), 0, SEEK_CUR);
    if (result == -1)
        return Fail(errno);
    position = static_cast<std::uint64_t>(result);
    return true;
}

bool CFile::GetLength(std::uint64_t& length) const
{
    struct stat st;
    if (::fstat(Descriptor(m_hFile), &st) == -1)
        return Fail(errno);
    length = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool CFile::SetLength(std::uint64_t length)
{
    if (!CheckAccess(true))
        return false;
    const auto size = static_cast<off_t>(length);
    int result;
    do
        result = ::ftruncate(Descriptor(m_hFile), size);
    while (result == -1 && errno == EINTR);
    if (result == -1)
        return Fail(errno);
    // The Windows way of truncating moves the position to the new end; doing
    // the same here keeps a write after truncation from leaving a hole.
    return Seek(size, begin);
}

bool CFile::GetDataRegions(std::uint64_t length, std::vector<SRegion>& regions)
{
    regions.clear();
    if (!CheckOpen())
        return false;
    const int file = Descriptor(m_hFile);
    const auto end = static_cast<off_t>(length);
    for (off_t at = 0; at < end;)
    {
        const off_t data = ::lseek(file, at, SEEK_DATA);
        // Past the last data only a hole is left; a file system that cannot
        // tell holes refuses the question, and all of the file is data.
        if (data == -1 && errno == ENXIO)
            break;
        if (data == -1 && errno == EINVAL && at == 0)
        {
            regions.push_back({0, length});
            break;
        }
        if (data == -1)
            return Fail(errno);
        if (data >= end)
            break;
        const off_t hole = ::lseek(file, data, SEEK_HOLE);
        if (hole == -1)
            return Fail(errno);
        const off_t stop = std::min(hole, end);
        regions.push_back(
            {static_cast<std::uint64_t>(data), static_cast<std::uint64_t>(stop - data)});
        at = stop;
    }
    return Seek(0, begin);
}

void CFile::SetSparse()
{
}

bool CFile::Flush()
{
    // Devices and pipes hold nothing to synchronise and say so with EINVAL.
    if (::fsync(Descriptor(m_hFile)) == -1 && errno != EINVAL)
        return Fail(errno);
    return true;
}

bool CFile::SetTime(std::int64_t mtime)
{
    if (!CheckOpen())
        return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(mtime), 0}};
    if (::futimens(Descriptor(m_hFile), times) == -1)
        return Fail(errno);
    return true;
}

bool CFile::SetMode(unsigned mode)
{
    if (!CheckOpen())
        return false;
    if (::fchmod(Descriptor(m_hFile), static_cast<mode_t>(mode & 0777)) == -1)
        return Fail(errno);
    return true;
}

bool CFile::ReleaseHandle()
{
    // Linux releases the descriptor even when close is interrupted; retrying
    // could close a descriptor another thread has just been given.
    if (::close(Descriptor(m_hFile)) == -1 && errno != EINTR)
        return Fail(errno);
    return true;
}

#endif

#ifdef _WIN32

static_assert(CFile::begin == FILE_BEGIN && CFile::current == FILE_CURRENT &&
                  CFile::end == FILE_END,
              "the seek origins are handed to SetFilePointer as they are");

namespace
{

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The CreateFile access for a mode, or 0 when the access bits ask for both
// write-only and read-write.
DWORD DesiredAccess(unsigned flags)
{
    switch (flags & (CFile::modeWrite | CFile::modeReadWrite))
    {
    case CFile::modeRead:
        return GENERIC_READ;
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return 0;
    }
}

DWORD Disposition(unsigned flags)
{
    if (!(flags & CFile::modeCreate))
        return OPEN_EXISTING;
    if (flags & CFile::modeCreateNew)
        return CREATE_NEW;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

DWORD FlagsAndAttributes(unsigned flags)
{
    DWORD result = FILE_ATTRIBUTE_NORMAL;
    if (flags & CFile::osSequentialScan)
        result |= FILE_FLAG_SEQUENTIAL_SCAN;
    // A link that appears after Open has looked is opened as itself, never
    // followed.
    if (flags & CFile::modeNoFollow)
        result |= FILE_FLAG_OPEN_REPARSE_POINT;
    return result;
}

bool IsLink(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// SetFilePointer and GetFileSize answer 0xFFFFFFFF both for a failure and
// for a low part of that value; only a cleared last error tells them apart.
// A success leaves the caller's last error as it was.
template <typename Call> bool CallForLowPart(DWORD& low, Call call)
{
    const DWORD before = ::GetLastError();
    ::SetLastError(NO_ERROR);
    low = call();
    if (low == 0xFFFFFFFF && ::GetLastError() != NO_ERROR)
        return false;
    ::SetLastError(before);
    return true;
}

std::uint64_t Join(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// The system refuses a move before the start with ERROR_NEGATIVE_SEEK.
bool MovePointer(HANDLE file, std::int64_t distance, DWORD method, std::uint64_t* position)
{
    LONG high = static_cast<LONG>(distance >> 32);
    DWORD low = 0;
    const auto move = [&]
    { return ::SetFilePointer(file, static_cast<LONG>(distance & 0xFFFFFFFF), &high, method); };
    if (!CallForLowPart(low, move))
        return false;
    if (position)
        *position = Join(static_cast<DWORD>(high), low);
    return true;
}

} // namespace

bool CFile::OpenIn(const COpenFolder& folder, const std::string& name, unsigned flags,
                   unsigned createMode)
{
    return Open(folder.PathOf(name), flags, createMode);
}

bool CFile::Open(const std::string& path, unsigned flags, unsigned /*createMode*/)
{
    Close();
    if (!CSystemError::CheckName(path))
        return false;
    const DWORD access = DesiredAccess(flags);
    if (access == 0)
    {
        CSystemError::SetLast(ERROR_INVALID_PARAMETER);
        return false;
    }
    // Refused before anything is opened, so that creating through a link
    // creates nothing where it points.
    if ((flags & modeNoFollow) && IsLink(path))
    {
        CSystemError::SetLast(ERROR_CANT_RESOLVE_FILENAME);
        return false;
    }
    // Others may read and write the file meanwhile, as on every other host,
    // unless the caller keeps other writers out.
    const DWORD share =
        (flags & shareDenyWrite) ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE file = ::CreateFileA(path.c_str(), access, share, nullptr, Disposition(flags),
                                      FlagsAndAttributes(flags), nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    m_hFile = reinterpret_cast<std::intptr_t>(file);
    m_nFlags = flags;
    m_strPath = path;
    return true;
}

bool CFile::ReadFrom(const std::uint64_t* offset, void* buffer, std::uint32_t count,
                     std::uint32_t& done)
{
    done = 0;
    if (!CheckAccess(false))
        return false;
    auto* bytes = static_cast<char*>(buffer);
    // A pipe delivers less than asked before its end; only 0 is the end.
    while (done < count)
    {
        OVERLAPPED where{};
        if (offset)
        {
            where.Offset = static_cast<DWORD>(*offset + done);
            where.OffsetHigh = static_cast<DWORD>((*offset + done) >> 32);
        }
        DWORD got = 0;
        if (!::ReadFile(Handle(m_hFile), bytes + done, count - done, &got,
                        offset ? &where : nullptr))
        {
            // A pipe whose writer has gone has reached its end, and a read
            // at an offset says so at the end of the file.
            const DWORD error = ::GetLastError();
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
                break;
            return false;
        }
        if (got == 0)
            break;
        done += got;
    }
    return true;
}

bool CFile::GetStatus(CFileStatus& status) const
{
    if (!CheckOpen())
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(Handle(m_hFile), &info))
        return false;
    CFileStatus::Describe(info, status);
    return true;
}

bool CFile::Write(const void* buffer, std::uint32_t count)
{
    if (!CheckAccess(true))
        return false;
    const auto* bytes = static_cast<const char*>(buffer);
    std::uint32_t done = 0;
    while (done < count)
    {
        DWORD put = 0;
        if (!::WriteFile(Handle(m_hFile), bytes + done, count - done, &put, nullptr))
            return false;
        // A short write without an error means the device is full.
        if (put == 0)
        {
            CSystemError::SetLast(ERROR_DISK_FULL);
            return false;
        }
        done += put;
    }
    return true;
}

bool CFile::Seek(std::int64_t offset, ESeek from, std::uint64_t* newPosition)
{
    return CheckOpen() &&
           MovePointer(Handle(m_hFile), offset, static_cast<DWORD>(from), newPosition);
}

bool CFile::GetPosition(std::uint64_t& position) const
{
    return CheckOpen() && MovePointer(Handle(m_hFile), 0, FILE_CURRENT, &position);
}

bool CFile::GetLength(std::uint64_t& length) const
{
    if (!CheckOpen())
        return false;
    DWORD high = 0;
    DWORD low = 0;
    if (!CallForLowPart(low, [&] { return ::GetFileSize(Handle(m_hFile), &high); }))
        return false;
    length = Join(high, low);
    return true;
}

bool CFile::SetLength(std::uint64_t length)
{
    if (!CheckAccess(true))
        return false;
    // The file ends where the position is, which is then at the new end.
    return MovePointer(Handle(m_hFile), static_cast<std::int64_t>(length), FILE_BEGIN, nullptr) &&
           ::SetEndOfFile(Handle(m_hFile));
}

bool CFile::GetDataRegions(std::uint64_t length, std::vector<SRegion>& regions)
{
    regions.clear();
    if (!CheckOpen())
        return false;
    FILE_ALLOCATED_RANGE_BUFFER query{};
    query.Length.QuadPart = static_cast<LONGLONG>(length);
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> ranges(64);
    for (;;)
    {
        DWORD bytes = 0;
        const bool whole = ::DeviceIoControl(
            Handle(m_hFile), FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, ranges.data(),
            static_cast<DWORD>(ranges.size() * sizeof ranges[0]), &bytes, nullptr);
        const DWORD error = whole ? ERROR_SUCCESS : ::GetLastError();
        // A file system that keeps no holes does not know the question: all
        // of the file is data.
        if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED)
        {
            regions.assign(1, {0, length});
            return Seek(0, begin);
        }
        if (!whole && error != ERROR_MORE_DATA)
            return false;
        const std::size_t count = bytes / sizeof ranges[0];
        for (std::size_t i = 0; i < count; ++i)
        {
            const auto offset = static_cast<std::uint64_t>(ranges[i].FileOffset.QuadPart);
            const auto size = static_cast<std::uint64_t>(ranges[i].Length.QuadPart);
            if (offset < length)
                regions.push_back({offset, std::min(size, length - offset)});
        }
        if (whole || count == 0)
            return Seek(0, begin);
        const auto& last = ranges[count - 1];
        query.FileOffset.QuadPart = last.FileOffset.QuadPart + last.Length.QuadPart;
        query.Length.QuadPart = static_cast<LONGLONG>(length) - query.FileOffset.QuadPart;
    }
}

void CFile::SetSparse()
{
    DWORD bytes = 0;
    if (CheckOpen())
        ::DeviceIoControl(Handle(m_hFile), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes,
                          nullptr);
}

bool CFile::Flush()
{
    return CheckOpen() && ::FlushFileBuffers(Handle(m_hFile));
}

bool CFile::SetTime(std::int64_t mtime)
{
    if (!CheckOpen())
        return false;
    const FILETIME time = FileTimeOf(mtime);
    return ::SetFileTime(Handle(m_hFile), nullptr, nullptr, &time);
}

bool CFile::SetMode(unsigned mode)
{
    if (!CheckOpen())
        return false;
    if (mode & 0222)
        return true;
    // Times left at 0 are not changed.
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(Handle(m_hFile), FileBasicInfo, &info, sizeof info))
        return false;
    const DWORD attributes = info.FileAttributes & ~FILE_ATTRIBUTE_NORMAL;
    info = FILE_BASIC_INFO{};
    info.FileAttributes = attributes | FILE_ATTRIBUTE_READONLY;
    return ::SetFileInformationByHandle(Handle(m_hFile), FileBasicInfo, &info, sizeof info);
}

bool CFile::ReleaseHandle()
{
    return ::CloseHandle(Handle(m_hFile));
}

#endif
