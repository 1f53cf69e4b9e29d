#pragma once
// The SCSI tape driver's interface exists only on POSIX hosts; Windows builds
// reach their drives through CWin32Tape instead.
#ifndef _WIN32
#include "platform/CTapeApi.h"

#include <sys/mtio.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

// A drive of the Linux SCSI tape driver, reached through its non-rewinding
// device (/dev/nstN) and spoken to in the Windows tape interface: the
// driver's errors become the Windows statuses, and the drive and media
// records are made up from what the driver reports. Whoever makes the object
// owns the open device; the destructor closes it.
//
// Every system call goes through SSystemCalls, so that tests can put a drive
// of their own behind it.
class CLinuxTape : public CTapeApi
{
public:
    // The calls made of the system. Each answers as the system call does:
    // -1 with errno set on failure.
    struct SSystemCalls
    {
        std::function<int(const char* path, int flags)> open;
        std::function<int(int fd)> close;
        std::function<int(int fd, mtop& operation)> operate;     // MTIOCTOP
        std::function<int(int fd, mtget& status)> getStatus;     // MTIOCGET
        std::function<int(int fd, mtpos& position)> getPosition; // MTIOCPOS
        std::function<ssize_t(int fd, void* buffer, std::size_t count)> read;
        std::function<ssize_t(int fd, const void* buffer, std::size_t count)> write;

        // The host's own calls.
        static SSystemCalls Host();
    };

    explicit CLinuxTape(std::string devicePath, SSystemCalls calls = SSystemCalls::Host());
    ~CLinuxTape() override;
    CLinuxTape(const CLinuxTape&) = delete;
    CLinuxTape& operator=(const CLinuxTape&) = delete;

    // Opens the device given at construction; the name is the Windows one
    // the caller knows the drive by. A drive without a ready tape opens, as
    // on Windows: the tape calls then report it.
    bool Open(const std::string& name) override;
    void Close() override;
    bool IsOpen() const override;

    // The driver carries out every command before it answers, so immediate
    // is not honoured (and the drive record does not claim it).
    DWORD PrepareTape(DWORD operation, bool immediate) override;
    DWORD GetTapeParameters(DWORD operation, DWORD* size, void* info) override;
    // Sets the media block size (0 for variable blocks) and, of the drive
    // settings, compression alone.
    DWORD SetTapeParameters(DWORD operation, const void* info) override;
    // Logical positions only, in one partition.
    DWORD GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                          DWORD* offsetHigh) override;
    DWORD SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow, DWORD offsetHigh,
                          bool immediate) override;

    bool Read(void* buffer, DWORD count, DWORD& done) override;
    // A write cut short by the end of the tape fails with ERROR_END_OF_MEDIA,
    // done counting what went to tape.
    bool Write(const void* buffer, DWORD count, DWORD& done) override;

private:
    // What the call that failed was doing: the driver's errno means
    // different things for each.
    enum class ECall
    {
        operation,
        read,
        write
    };
    enum class ECompression
    {
        off,
        on,
        unavailable
    };

    DWORD Operate(short operation, int count);
    bool GetStatus(mtget& status);
    DWORD StatusFor(int err, ECall call);
    DWORD StatusAfterIoError(ECall call);
    DWORD StatusAtMark();

    TAPE_GET_DRIVE_PARAMETERS DriveParameters() const;
    DWORD GetMediaParameters(TAPE_GET_MEDIA_PARAMETERS& media);
    DWORD SetBlockSize(DWORD bytes);
    DWORD SetDriveParameters(const TAPE_SET_DRIVE_PARAMETERS& drive);

    std::string m_strDevicePath;
    SSystemCalls m_calls;
    int m_fd = -1;
    // Off until set: the driver cannot say what the drive is doing. A drive
    // that refuses to switch has none, for as long as this object lives.
    ECompression m_eCompression = ECompression::off;
};
#endif
