#include "platform/CFile.h"

#include "platform/CFileStatus.h"
#include "platform/CSystemError.h"

#include <algorithm>
#include <string_view>
#include <utility>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
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
      m_nFlags(std::exchange(other.m_nFlags, 0u)), m_strPath(std::exchange(other.m_strPath, {}))
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
    return released;
}

bool CFile::CheckAccess(bool write) const
{
    if (!IsOpen())
    {
        CSystemError::SetLast(ERROR_INVALID_HANDLE);
        return false;
    }
    const unsigned access = m_nFlags & (modeWrite | modeReadWrite);
    if (access == (write ? modeRead : modeWrite))
    {
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
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
    if (flags & CFile::modeNoFollow)
        result |= O_NOFOLLOW;
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

bool IsFolder(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

bool Fail(int err)
{
    CSystemError::SetLastFromErrno(err);
    return false;
}

} // namespace

bool CFile::Open(const std::string& path, unsigned flags)
{
    Close();
    const int openFlags = OpenFlags(flags);
    if (openFlags == -1)
    {
        CSystemError::SetLast(ERROR_INVALID_PARAMETER);
        return false;
    }
    int fd;
    do
        fd = ::open(path.c_str(), openFlags, 0666);
    while (fd == -1 && errno == EINTR);
    if (fd == -1)
    {
        CFileStatus::SetLastFromErrno(errno, path);
        return false;
    }
    // POSIX opens a folder for reading; Windows refuses a folder as a file.
    if (IsFolder(fd))
    {
        ::close(fd);
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        return false;
    }
    if (flags & osSequentialScan)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL); // only a hint: a refusal changes nothing
    m_hFile = fd;
    m_nFlags = flags;
    m_strPath = path;
    return true;
}

bool CFile::Read(void* buffer, std::uint32_t count, std::uint32_t& done)
{
    done = 0;
    if (!CheckAccess(false))
        return false;
    auto* bytes = static_cast<char*>(buffer);
    // Pipes and signals deliver less than asked before the end; only 0 is the end.
    while (done < count)
    {
        const ssize_t got = ::read(Descriptor(m_hFile), bytes + done, count - done);
        if (got == 0)
            break;
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            return Fail(errno);
        }
        done += static_cast<std::uint32_t>(got);
    }
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

bool CFile::WriteString(const std::string& text)
{
    // A line feed is this host's line end, so text mode writes the bytes as
    // they are. Write takes 32-bit counts, so a huge text goes in pieces.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    std::string_view rest(text);
    while (!rest.empty())
    {
        const std::size_t piece = std::min(rest.size(), kPiece);
        if (!Write(rest.data(), static_cast<std::uint32_t>(piece)))
            return false;
        rest.remove_prefix(piece);
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

bool CFile::Flush()
{
    // Devices and pipes hold nothing to synchronise and say so with EINVAL.
    if (::fsync(Descriptor(m_hFile)) == -1 && errno != EINVAL)
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
