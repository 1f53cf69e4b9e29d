#ifndef _WIN32
#include "platform/CLinuxTape.h"

#include "platform/CSystemError.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace
{

// The driver does not tell the block limits it learnt from the drive.
// Variable blocks may be as short as one byte. 256 KiB stays within what the
// driver moves in one transfer with its default scatter/gather limit (256
// segments of at least a page each), so a blank tape is never given blocks
// the driver refuses. A block of one record is what every drive that holds
// tar archives takes.
constexpr DWORD kMinimumBlockSize = 1;
constexpr DWORD kMaximumBlockSize = 256 * 1024;
constexpr DWORD kDefaultBlockSize = 512;

// What this class does with the driver's calls, and no more.
constexpr DWORD kFeaturesLow = TAPE_DRIVE_FIXED_BLOCK | TAPE_DRIVE_VARIABLE_BLOCK |
                               TAPE_DRIVE_WRITE_PROTECT | TAPE_DRIVE_GET_LOGICAL_BLK |
                               TAPE_DRIVE_EJECT_MEDIA;
constexpr DWORD kFeaturesHigh = TAPE_DRIVE_LOAD_UNLOAD | TAPE_DRIVE_TENSION |
                                TAPE_DRIVE_LOCK_UNLOCK | TAPE_DRIVE_SET_BLOCK_SIZE |
                                TAPE_DRIVE_LOGICAL_BLK | TAPE_DRIVE_END_OF_DATA;

struct SPrepareOperation
{
    DWORD operation;
    short request;
};

const SPrepareOperation kPrepareOperations[] = {
    {TAPE_LOAD, MTLOAD}, {TAPE_UNLOAD, MTUNLOAD}, {TAPE_TENSION, MTRETEN},
    {TAPE_LOCK, MTLOCK}, {TAPE_UNLOCK, MTUNLOCK},
};

// The driver's commands wait on a lock that a signal interrupts before
// anything has happened, so the call is simply made again.
template <typename Call> auto Retrying(Call call)
{
    auto result = call();
    while (result == -1 && errno == EINTR)
        result = call();
    return result;
}

bool Fail(DWORD code)
{
    CSystemError::SetLast(code);
    return false;
}

// Whether the drive holds a tape it can use.
DWORD Readiness(const mtget& status)
{
    if (GMT_DR_OPEN(status.mt_gstat))
        return ERROR_NO_MEDIA_IN_DRIVE;
    if (!GMT_ONLINE(status.mt_gstat))
        return ERROR_NOT_READY;
    return ERROR_SUCCESS;
}

// A record too small is refused with the size it needs.
template <typename Record> DWORD Deliver(const Record& record, DWORD* size, void* info)
{
    if (!size || !info)
        return ERROR_INVALID_PARAMETER;
    if (*size < sizeof record)
    {
        *size = sizeof record;
        return ERROR_INVALID_PARAMETER;
    }
    std::memcpy(info, &record, sizeof record);
    *size = sizeof record;
    return ERROR_SUCCESS;
}

} // namespace

CLinuxTape::SSystemCalls CLinuxTape::SSystemCalls::Host()
{
    SSystemCalls calls;
    calls.open = [](const char* path, int flags) { return ::open(path, flags); };
    calls.close = [](int fd) { return ::close(fd); };
    calls.operate = [](int fd, mtop& operation) { return ::ioctl(fd, MTIOCTOP, &operation); };
    calls.getStatus = [](int fd, mtget& status) { return ::ioctl(fd, MTIOCGET, &status); };
    calls.getPosition = [](int fd, mtpos& position) { return ::ioctl(fd, MTIOCPOS, &position); };
    calls.read = [](int fd, void* buffer, std::size_t count) { return ::read(fd, buffer, count); };
    calls.write = [](int fd, const void* buffer, std::size_t count)
    { return ::write(fd, buffer, count); };
    return calls;
}

CLinuxTape::CLinuxTape(std::string devicePath, SSystemCalls calls)
    : m_strDevicePath(std::move(devicePath)), m_calls(std::move(calls))
{
}

CLinuxTape::~CLinuxTape()
{
    Close();
}

bool CLinuxTape::Open(const std::string& /*name*/)
{
    Close();
    // Without O_NONBLOCK the driver waits for a tape and then refuses a drive
    // without one, and a write-protected tape opened for writing. With it the
    // drive opens as a Windows drive does and the tape calls report the
    // state, so that the caller can wait for a tape being loaded.
    const int fd = Retrying(
        [&] { return m_calls.open(m_strDevicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); });
    if (fd == -1)
    {
        CSystemError::SetLastFromErrno(errno);
        return false;
    }
    m_fd = fd;
    return true;
}

void CLinuxTape::Close()
{
    if (!IsOpen())
        return;
    // Not retried: Linux releases the descriptor even when close is interrupted.
    m_calls.close(m_fd);
    m_fd = -1;
}

bool CLinuxTape::IsOpen() const
{
    return m_fd != -1;
}

DWORD CLinuxTape::PrepareTape(DWORD operation, bool /*immediate*/)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    for (const SPrepareOperation& entry : kPrepareOperations)
    {
        if (entry.operation == operation)
            return Operate(entry.request, 1);
    }
    return ERROR_INVALID_FUNCTION;
}

DWORD CLinuxTape::GetTapeParameters(DWORD operation, DWORD* size, void* info)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    switch (operation)
    {
    case GET_TAPE_DRIVE_INFORMATION:
        return Deliver(DriveParameters(), size, info);
    case GET_TAPE_MEDIA_INFORMATION:
    {
        TAPE_GET_MEDIA_PARAMETERS media{};
        const DWORD status = GetMediaParameters(media);
        return status == ERROR_SUCCESS ? Deliver(media, size, info) : status;
    }
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

DWORD CLinuxTape::SetTapeParameters(DWORD operation, const void* info)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    if (!info)
        return ERROR_INVALID_PARAMETER;
    switch (operation)
    {
    case SET_TAPE_MEDIA_INFORMATION:
        return SetBlockSize(static_cast<const TAPE_SET_MEDIA_PARAMETERS*>(info)->BlockSize);
    case SET_TAPE_DRIVE_INFORMATION:
        return SetDriveParameters(*static_cast<const TAPE_SET_DRIVE_PARAMETERS*>(info));
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

DWORD CLinuxTape::GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                                  DWORD* offsetHigh)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    // The driver's position is the one MTSEEK goes to: a logical block number
    // (on drives older than SCSI-2, and on newer ones unless the driver's
    // scsi2logical option is set, the drive's own block address).
    if (positionType != TAPE_LOGICAL_POSITION)
        return ERROR_INVALID_FUNCTION;
    mtpos position{};
    if (Retrying([&] { return m_calls.getPosition(m_fd, position); }) == -1)
        return StatusFor(errno, ECall::operation);
    const auto block = static_cast<std::uint64_t>(position.mt_blkno);
    // Windows numbers the partition 0 when a tape has only one.
    *partition = 0;
    *offsetLow = static_cast<DWORD>(block & 0xFFFFFFFFu);
    *offsetHigh = static_cast<DWORD>(block >> 32);
    return ERROR_SUCCESS;
}

DWORD CLinuxTape::SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow,
                                  DWORD offsetHigh, bool /*immediate*/)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    switch (positionMethod)
    {
    case TAPE_REWIND:
        return Operate(MTREW, 1);
    case TAPE_SPACE_END_OF_DATA:
        return Operate(MTEOM, 1);
    case TAPE_LOGICAL_BLOCK:
        // The one partition is 1, or 0 for the current one; the driver takes
        // the block number as an int.
        if (partition > 1 || offsetHigh != 0 || offsetLow > static_cast<DWORD>(INT_MAX))
            return ERROR_INVALID_PARAMETER;
        return Operate(MTSEEK, static_cast<int>(offsetLow));
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

bool CLinuxTape::Read(void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (!IsOpen())
        return Fail(ERROR_INVALID_HANDLE);
    // The driver answers a read of nothing with nothing, which would look
    // like a file mark.
    if (count == 0)
        return true;
    const ssize_t got = Retrying([&] { return m_calls.read(m_fd, buffer, count); });
    if (got == -1)
        return Fail(StatusFor(errno, ECall::read));
    if (got == 0)
        return Fail(StatusAtMark());
    done = static_cast<DWORD>(got);
    return true;
}

bool CLinuxTape::Write(const void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (!IsOpen())
        return Fail(ERROR_INVALID_HANDLE);
    const ssize_t put = Retrying([&] { return m_calls.write(m_fd, buffer, count); });
    if (put == -1)
        return Fail(StatusFor(errno, ECall::write));
    done = static_cast<DWORD>(put);
    // The driver stops short of the count only at the end of the tape.
    return done == count || Fail(ERROR_END_OF_MEDIA);
}

DWORD CLinuxTape::Operate(short operation, int count)
{
    mtop request{};
    request.mt_op = operation;
    request.mt_count = count;
    if (Retrying([&] { return m_calls.operate(m_fd, request); }) == -1)
        return StatusFor(errno, ECall::operation);
    return ERROR_SUCCESS;
}

bool CLinuxTape::GetStatus(mtget& status)
{
    return Retrying([&] { return m_calls.getStatus(m_fd, status); }) != -1;
}

DWORD CLinuxTape::StatusFor(int err, ECall call)
{
    switch (err)
    {
    case ENOMEM:
        // The driver's answer to a read whose block is larger than the count.
        if (call == ECall::read)
            return ERROR_INVALID_BLOCK_LENGTH;
        break;
    case ENOSPC:
        return ERROR_END_OF_MEDIA;
    case EACCES:
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EIO:
        return StatusAfterIoError(call);
    default:
        break;
    }
    return CSystemError::FromErrno(err);
}

// The driver answers EIO alike for a drive without a usable tape, for the
// end of the data or of the tape, and for a failed transfer; its status
// tells them apart.
DWORD CLinuxTape::StatusAfterIoError(ECall call)
{
    mtget status{};
    if (!GetStatus(status))
        return ERROR_IO_DEVICE;
    if (const DWORD readiness = Readiness(status); readiness != ERROR_SUCCESS)
        return readiness;
    if (call == ECall::read && GMT_EOD(status.mt_gstat))
        return ERROR_NO_DATA_DETECTED;
    if (call == ECall::write && GMT_EOT(status.mt_gstat))
        return ERROR_END_OF_MEDIA;
    return ERROR_IO_DEVICE;
}

// A read that delivers nothing has met a file mark, or the end of the data
// when the driver says so.
DWORD CLinuxTape::StatusAtMark()
{
    mtget status{};
    if (GetStatus(status) && GMT_EOD(status.mt_gstat))
        return ERROR_NO_DATA_DETECTED;
    return ERROR_FILEMARK_DETECTED;
}

TAPE_GET_DRIVE_PARAMETERS CLinuxTape::DriveParameters() const
{
    TAPE_GET_DRIVE_PARAMETERS drive{};
    drive.Compression = m_eCompression == ECompression::on;
    drive.DefaultBlockSize = kDefaultBlockSize;
    drive.MaximumBlockSize = kMaximumBlockSize;
    drive.MinimumBlockSize = kMinimumBlockSize;
    drive.FeaturesLow = kFeaturesLow;
    drive.FeaturesHigh = kFeaturesHigh;
    if (m_eCompression != ECompression::unavailable)
    {
        drive.FeaturesLow |= TAPE_DRIVE_COMPRESSION;
        drive.FeaturesHigh |= TAPE_DRIVE_SET_COMPRESSION;
    }
    // A driver's high word carries no marker bit: that is the caller's to set.
    drive.FeaturesHigh &= ~TAPE_DRIVE_HIGH_FEATURES;
    return drive;
}

DWORD CLinuxTape::GetMediaParameters(TAPE_GET_MEDIA_PARAMETERS& media)
{
    mtget status{};
    if (!GetStatus(status))
        return StatusFor(errno, ECall::operation);
    if (const DWORD readiness = Readiness(status); readiness != ERROR_SUCCESS)
        return readiness;
    media.BlockSize =
        static_cast<DWORD>((status.mt_dsreg & MT_ST_BLKSIZE_MASK) >> MT_ST_BLKSIZE_SHIFT);
    media.PartitionCount = 1;
    media.WriteProtected = GMT_WR_PROT(status.mt_gstat) != 0;
    return ERROR_SUCCESS;
}

DWORD CLinuxTape::SetBlockSize(DWORD bytes)
{
    // The driver keeps the block size in 24 bits.
    if (bytes > static_cast<DWORD>(MT_ST_BLKSIZE_MASK))
        return ERROR_INVALID_PARAMETER;
    return Operate(MTSETBLK, static_cast<int>(bytes));
}

DWORD CLinuxTape::SetDriveParameters(const TAPE_SET_DRIVE_PARAMETERS& drive)
{
    // The driver gives no control over the other settings; the drive record
    // reports them off.
    if (drive.ECC || drive.DataPadding || drive.ReportSetmarks || drive.EOTWarningZoneSize != 0)
        return ERROR_NOT_SUPPORTED;
    const bool wanted = drive.Compression != 0;
    if (m_eCompression != ECompression::unavailable)
    {
        const DWORD status = Operate(MTCOMPRESSION, wanted ? 1 : 0);
        // A ready drive that fails the switch has no compression to switch.
        if (status != ERROR_IO_DEVICE)
        {
            if (status == ERROR_SUCCESS)
                m_eCompression = wanted ? ECompression::on : ECompression::off;
            return status;
        }
        m_eCompression = ECompression::unavailable;
    }
    return wanted ? ERROR_NOT_SUPPORTED : ERROR_SUCCESS;
}
#endif
