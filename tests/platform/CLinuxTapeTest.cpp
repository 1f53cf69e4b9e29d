// The Linux SCSI tape driver exists only off Windows.
#ifndef _WIN32
#include "platform/CLinuxTape.h"

#include "platform/CSystemError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr int kDescriptor = 7;
// The driver's status bits, each alone.
constexpr long kOnline = GMT_ONLINE(~0L);
constexpr long kDoorOpen = GMT_DR_OPEN(~0L);
constexpr long kWriteProtected = GMT_WR_PROT(~0L);
constexpr long kEndOfData = GMT_EOD(~0L);
constexpr long kEndOfTape = GMT_EOT(~0L);

// What one read or write meets: so many bytes moved, or an errno.
struct SOutcome
{
    ssize_t bytes;
    int err;
};

using Operation = std::pair<int, int>; // mt_op, mt_count

ssize_t Answer(const SOutcome& outcome)
{
    errno = outcome.err;
    return outcome.err != 0 ? -1 : outcome.bytes;
}

int Refuse(int err)
{
    errno = err;
    return -1;
}

// The driver as each test sets it up: answers from its fields and records
// what it is asked.
struct SFakeDriver
{
    int openError = 0;
    int operationError = 0;
    long gstat = kOnline;
    long dsreg = 0;
    long position = 0;
    std::deque<SOutcome> reads;
    SOutcome write{0, 0};

    std::string openedPath;
    int openFlags = 0;
    int closes = 0;
    int transfers = 0;
    std::vector<Operation> operations;

    CLinuxTape::SSystemCalls Calls()
    {
        CLinuxTape::SSystemCalls calls;
        calls.open = [this](const char* path, int flags)
        {
            openedPath = path;
            openFlags = flags;
            return openError != 0 ? Refuse(openError) : kDescriptor;
        };
        calls.close = [this](int fd)
        {
            EXPECT_EQ(fd, kDescriptor);
            ++closes;
            return 0;
        };
        calls.operate = [this](int, mtop& operation)
        {
            operations.emplace_back(operation.mt_op, operation.mt_count);
            return operationError != 0 ? Refuse(operationError) : 0;
        };
        calls.getStatus = [this](int, mtget& status)
        {
            status.mt_gstat = gstat;
            status.mt_dsreg = dsreg;
            return 0;
        };
        calls.getPosition = [this](int, mtpos& answer)
        {
            answer.mt_blkno = position;
            return 0;
        };
        calls.read = [this](int, void* buffer, std::size_t count)
        {
            ++transfers;
            const SOutcome outcome = reads.front();
            reads.pop_front();
            if (outcome.err == 0)
                std::memset(buffer, 'x', std::min(count, static_cast<std::size_t>(outcome.bytes)));
            return Answer(outcome);
        };
        calls.write = [this](int, const void*, std::size_t)
        {
            ++transfers;
            return Answer(write);
        };
        return calls;
    }
};

class CLinuxTapeTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_tape.Open("\\\\.\\tape3")); }

    TAPE_GET_DRIVE_PARAMETERS Drive()
    {
        TAPE_GET_DRIVE_PARAMETERS drive{};
        DWORD size = sizeof drive;
        EXPECT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive),
                  ERROR_SUCCESS);
        return drive;
    }

    DWORD Media(TAPE_GET_MEDIA_PARAMETERS& media)
    {
        DWORD size = sizeof media;
        return m_tape.GetTapeParameters(GET_TAPE_MEDIA_INFORMATION, &size, &media);
    }

    DWORD SetCompression(bool on)
    {
        TAPE_SET_DRIVE_PARAMETERS drive{};
        drive.Compression = on;
        return m_tape.SetTapeParameters(SET_TAPE_DRIVE_INFORMATION, &drive);
    }

    SFakeDriver m_driver;
    CLinuxTape m_tape{"/dev/nst3", m_driver.Calls()};
};

} // namespace

TEST_F(CLinuxTapeTest, OpensItsDeviceForReadingAndWritingWithoutWaitingForATape)
{
    EXPECT_EQ(m_driver.openedPath, "/dev/nst3");
    EXPECT_EQ(m_driver.openFlags & O_ACCMODE, O_RDWR);
    EXPECT_NE(m_driver.openFlags & O_NONBLOCK, 0);
    EXPECT_TRUE(m_tape.IsOpen());

    m_tape.Close();
    m_tape.Close();
    EXPECT_FALSE(m_tape.IsOpen());
    EXPECT_EQ(m_driver.closes, 1);
}

TEST(CLinuxTape, AFailedOpenLeavesTheSystemsCode)
{
    // A refused device is no write protection: that is for the tape calls.
    const std::pair<int, DWORD> cases[] = {
        {ENOENT, ERROR_FILE_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED}, {EBUSY, ERROR_BUSY}};
    for (const auto& [err, code] : cases)
    {
        SFakeDriver driver;
        driver.openError = err;
        CLinuxTape tape("/dev/nst0", driver.Calls());
        EXPECT_FALSE(tape.Open("\\\\.\\tape0")) << err;
        EXPECT_EQ(CSystemError::GetLast(), code) << err;
        EXPECT_FALSE(tape.IsOpen()) << err;
    }
}

TEST(CLinuxTape, AClosedDriveRefusesEveryCall)
{
    SFakeDriver driver;
    CLinuxTape tape("/dev/nst0", driver.Calls());
    char buffer[512];
    DWORD done = 99;
    EXPECT_FALSE(tape.Read(buffer, sizeof buffer, done));
    EXPECT_EQ(CSystemError::GetLast(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(tape.Write(buffer, sizeof buffer, done));
    EXPECT_EQ(tape.PrepareTape(TAPE_LOAD, false), ERROR_INVALID_HANDLE);
    EXPECT_EQ(tape.SetTapePosition(TAPE_REWIND, 0, 0, 0, false), ERROR_INVALID_HANDLE);
    EXPECT_EQ(driver.transfers, 0);
    EXPECT_TRUE(driver.operations.empty());
}

TEST_F(CLinuxTapeTest, FailedReadsGiveTheWindowsStatuses)
{
    struct SCase
    {
        const char* what;
        SOutcome outcome;
        long gstat;
        DWORD code;
    };
    const SCase cases[] = {
        {"block larger than the buffer", {-1, ENOMEM}, kOnline, ERROR_INVALID_BLOCK_LENGTH},
        {"file mark", {0, 0}, kOnline, ERROR_FILEMARK_DETECTED},
        {"end of data", {0, 0}, kOnline | kEndOfData, ERROR_NO_DATA_DETECTED},
        {"read past the end of data", {-1, EIO}, kOnline | kEndOfData, ERROR_NO_DATA_DETECTED},
        {"drive not ready", {-1, EIO}, 0, ERROR_NOT_READY},
        {"door open", {-1, EIO}, kDoorOpen, ERROR_NO_MEDIA_IN_DRIVE},
        {"no tape", {-1, ENOMEDIUM}, kDoorOpen, ERROR_NO_MEDIA_IN_DRIVE},
        {"medium error", {-1, EIO}, kOnline, ERROR_IO_DEVICE},
    };
    for (const SCase& c : cases)
    {
        m_driver.reads = {c.outcome};
        m_driver.gstat = c.gstat;
        char buffer[1024];
        DWORD done = 99;
        EXPECT_FALSE(m_tape.Read(buffer, sizeof buffer, done)) << c.what;
        EXPECT_EQ(done, 0u) << c.what;
        EXPECT_EQ(CSystemError::GetLast(), c.code) << c.what;
    }
}

TEST_F(CLinuxTapeTest, AReadDeliversOneBlockAndIsMadeAgainWhenInterrupted)
{
    m_driver.reads = {{-1, EINTR}, {300, 0}};
    char buffer[1024];
    DWORD done = 0;
    EXPECT_TRUE(m_tape.Read(buffer, sizeof buffer, done));
    EXPECT_EQ(done, 300u);
    EXPECT_EQ(m_driver.transfers, 2);
}

TEST_F(CLinuxTapeTest, FailedWritesGiveTheWindowsStatuses)
{
    struct SCase
    {
        const char* what;
        SOutcome outcome;
        long gstat;
        DWORD code;
        DWORD done;
    };
    const SCase cases[] = {
        {"end of medium", {-1, ENOSPC}, kOnline, ERROR_END_OF_MEDIA, 0},
        {"past the end of medium", {-1, EIO}, kOnline | kEndOfTape, ERROR_END_OF_MEDIA, 0},
        {"cut short at the end of medium", {512, 0}, kOnline, ERROR_END_OF_MEDIA, 512},
        {"write protected tape", {-1, EACCES}, kOnline | kWriteProtected, ERROR_WRITE_PROTECT, 0},
        {"read-only device", {-1, EROFS}, kOnline, ERROR_WRITE_PROTECT, 0},
        {"drive not ready", {-1, EIO}, 0, ERROR_NOT_READY, 0},
    };
    for (const SCase& c : cases)
    {
        m_driver.write = c.outcome;
        m_driver.gstat = c.gstat;
        const char block[1024] = {};
        DWORD done = 99;
        EXPECT_FALSE(m_tape.Write(block, sizeof block, done)) << c.what;
        EXPECT_EQ(done, c.done) << c.what;
        EXPECT_EQ(CSystemError::GetLast(), c.code) << c.what;
    }
}

TEST_F(CLinuxTapeTest, AWholeBlockIsWritten)
{
    m_driver.write = {1024, 0};
    const char block[1024] = {};
    DWORD done = 0;
    EXPECT_TRUE(m_tape.Write(block, sizeof block, done));
    EXPECT_EQ(done, 1024u);
}

TEST_F(CLinuxTapeTest, PrepareTapeIssuesTheDriversOperations)
{
    const std::pair<DWORD, int> cases[] = {{TAPE_LOAD, MTLOAD},
                                           {TAPE_UNLOAD, MTUNLOAD},
                                           {TAPE_LOCK, MTLOCK},
                                           {TAPE_UNLOCK, MTUNLOCK},
                                           {TAPE_TENSION, MTRETEN}};
    for (const auto& [operation, request] : cases)
    {
        m_driver.operations.clear();
        EXPECT_EQ(m_tape.PrepareTape(operation, false), ERROR_SUCCESS) << operation;
        EXPECT_EQ(m_driver.operations, (std::vector<Operation>{{request, 1}})) << operation;
    }

    m_driver.operations.clear();
    EXPECT_EQ(m_tape.PrepareTape(TAPE_FORMAT, false), ERROR_INVALID_FUNCTION);
    EXPECT_TRUE(m_driver.operations.empty());
}

TEST_F(CLinuxTapeTest, AFailedOperationGivesTheDrivesState)
{
    // Loading answers not ready while a tape goes in: the caller waits then.
    struct SCase
    {
        int err;
        long gstat;
        DWORD code;
    };
    const SCase cases[] = {{EIO, 0, ERROR_NOT_READY},
                           {ENOMEDIUM, kDoorOpen, ERROR_NO_MEDIA_IN_DRIVE},
                           {EIO, kOnline, ERROR_IO_DEVICE},
                           {EINVAL, kOnline, ERROR_INVALID_PARAMETER}};
    for (const SCase& c : cases)
    {
        m_driver.operationError = c.err;
        m_driver.gstat = c.gstat;
        EXPECT_EQ(m_tape.PrepareTape(TAPE_LOAD, false), c.code) << c.err;
    }
}

TEST_F(CLinuxTapeTest, SetTapePositionIssuesTheDriversOperations)
{
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_REWIND, 0, 0, 0, false), ERROR_SUCCESS);
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_LOGICAL_BLOCK, 0, 1234, 0, false), ERROR_SUCCESS);
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_LOGICAL_BLOCK, 1, 7, 0, true), ERROR_SUCCESS);
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_SPACE_END_OF_DATA, 0, 0, 0, false), ERROR_SUCCESS);
    EXPECT_EQ(m_driver.operations,
              (std::vector<Operation>{{MTREW, 1}, {MTSEEK, 1234}, {MTSEEK, 7}, {MTEOM, 1}}));
}

TEST_F(CLinuxTapeTest, PositionsTheDriverCannotReachAreRefusedUntried)
{
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_LOGICAL_BLOCK, 0, 0, 1, false), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_LOGICAL_BLOCK, 0, 0x80000000u, 0, false),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_LOGICAL_BLOCK, 2, 0, 0, false), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m_tape.SetTapePosition(TAPE_SPACE_FILEMARKS, 0, 1, 0, false), ERROR_INVALID_FUNCTION);
    EXPECT_TRUE(m_driver.operations.empty());
}

TEST_F(CLinuxTapeTest, TheLogicalPositionIsTheDriversAllSixtyFourBits)
{
    m_driver.position = sizeof(long) > 4 ? static_cast<long>(0x100000002LL) : 2;
    DWORD partition = 9;
    DWORD low = 0;
    DWORD high = 9;
    EXPECT_EQ(m_tape.GetTapePosition(TAPE_LOGICAL_POSITION, &partition, &low, &high),
              ERROR_SUCCESS);
    EXPECT_EQ(partition, 0u);
    EXPECT_EQ(low, 2u);
    EXPECT_EQ(high, sizeof(long) > 4 ? 1u : 0u);
    EXPECT_EQ(m_tape.GetTapePosition(TAPE_ABSOLUTE_POSITION, &partition, &low, &high),
              ERROR_INVALID_FUNCTION);
}

TEST_F(CLinuxTapeTest, SetTapeParametersIssuesTheDriversOperations)
{
    TAPE_SET_MEDIA_PARAMETERS media{10240};
    EXPECT_EQ(m_tape.SetTapeParameters(SET_TAPE_MEDIA_INFORMATION, &media), ERROR_SUCCESS);
    media.BlockSize = 0;
    EXPECT_EQ(m_tape.SetTapeParameters(SET_TAPE_MEDIA_INFORMATION, &media), ERROR_SUCCESS);
    EXPECT_EQ(SetCompression(true), ERROR_SUCCESS);
    EXPECT_EQ(m_driver.operations,
              (std::vector<Operation>{{MTSETBLK, 10240}, {MTSETBLK, 0}, {MTCOMPRESSION, 1}}));

    m_driver.operations.clear();
    TAPE_SET_DRIVE_PARAMETERS drive{};
    drive.ECC = true;
    EXPECT_EQ(m_tape.SetTapeParameters(SET_TAPE_DRIVE_INFORMATION, &drive), ERROR_NOT_SUPPORTED);
    media.BlockSize = 0x1000000;
    EXPECT_EQ(m_tape.SetTapeParameters(SET_TAPE_MEDIA_INFORMATION, &media),
              ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(m_driver.operations.empty());
}

TEST_F(CLinuxTapeTest, TheDriveRecordClaimsWhatTheDriverDoes)
{
    const TAPE_GET_DRIVE_PARAMETERS drive = Drive();
    for (const DWORD feature :
         {TAPE_DRIVE_VARIABLE_BLOCK, TAPE_DRIVE_FIXED_BLOCK, TAPE_DRIVE_EJECT_MEDIA,
          TAPE_DRIVE_GET_LOGICAL_BLK, TAPE_DRIVE_WRITE_PROTECT, TAPE_DRIVE_COMPRESSION})
        EXPECT_EQ(drive.FeaturesLow & feature, feature) << std::hex << feature;
    EXPECT_EQ(drive.FeaturesLow & TAPE_DRIVE_EOT_WZ_SIZE, 0u);
    // As a driver gives it, without the marker bit of the high constants.
    EXPECT_EQ(drive.FeaturesHigh & TAPE_DRIVE_HIGH_FEATURES, 0u);
    const DWORD high = drive.FeaturesHigh | TAPE_DRIVE_HIGH_FEATURES;
    for (const DWORD feature :
         {TAPE_DRIVE_SET_BLOCK_SIZE, TAPE_DRIVE_LOGICAL_BLK, TAPE_DRIVE_LOAD_UNLOAD,
          TAPE_DRIVE_LOCK_UNLOCK, TAPE_DRIVE_END_OF_DATA, TAPE_DRIVE_SET_COMPRESSION})
        EXPECT_EQ(high & feature, feature) << std::hex << feature;
    EXPECT_NE(high & TAPE_DRIVE_SET_REPORT_SMKS, TAPE_DRIVE_SET_REPORT_SMKS);
    // A blank tape's blocks are as large as blocking factor 20 asks, and
    // every block size the device may fall back on is whole records.
    EXPECT_GE(drive.MaximumBlockSize, 20u * 512u);
    EXPECT_EQ(drive.MaximumBlockSize % 512, 0u);
    EXPECT_EQ(drive.DefaultBlockSize % 512, 0u);
    EXPECT_LE(drive.MinimumBlockSize, drive.DefaultBlockSize);
    EXPECT_LE(drive.DefaultBlockSize, drive.MaximumBlockSize);

    EXPECT_FALSE(drive.Compression);
    EXPECT_EQ(SetCompression(true), ERROR_SUCCESS);
    EXPECT_TRUE(Drive().Compression);
}

TEST_F(CLinuxTapeTest, ADriveThatCannotCompressStopsClaimingIt)
{
    m_driver.operationError = EIO;
    EXPECT_EQ(SetCompression(true), ERROR_NOT_SUPPORTED);
    const TAPE_GET_DRIVE_PARAMETERS drive = Drive();
    EXPECT_EQ(drive.FeaturesLow & TAPE_DRIVE_COMPRESSION, 0u);
    EXPECT_NE((drive.FeaturesHigh | TAPE_DRIVE_HIGH_FEATURES) & TAPE_DRIVE_SET_COMPRESSION,
              TAPE_DRIVE_SET_COMPRESSION);
    EXPECT_FALSE(drive.Compression);

    // Not compressing is what such a drive does anyway.
    m_driver.operations.clear();
    EXPECT_EQ(SetCompression(false), ERROR_SUCCESS);
    EXPECT_TRUE(m_driver.operations.empty());
}

TEST_F(CLinuxTapeTest, TheMediaRecordComesFromTheDriversStatus)
{
    // The density code sits above the block size.
    m_driver.dsreg = (0x44L << 24) | 1024;
    m_driver.gstat = kOnline | kWriteProtected;
    TAPE_GET_MEDIA_PARAMETERS media{};
    EXPECT_EQ(Media(media), ERROR_SUCCESS);
    EXPECT_EQ(media.BlockSize, 1024u);
    EXPECT_TRUE(media.WriteProtected);

    m_driver.dsreg = 0;
    m_driver.gstat = kOnline;
    EXPECT_EQ(Media(media), ERROR_SUCCESS);
    EXPECT_EQ(media.BlockSize, 0u);
    EXPECT_FALSE(media.WriteProtected);

    m_driver.gstat = 0;
    EXPECT_EQ(Media(media), ERROR_NOT_READY);
    m_driver.gstat = kDoorOpen;
    EXPECT_EQ(Media(media), ERROR_NO_MEDIA_IN_DRIVE);
}

TEST_F(CLinuxTapeTest, ARecordTooSmallIsRefusedWithTheSizeNeeded)
{
    TAPE_GET_DRIVE_PARAMETERS drive{};
    DWORD size = sizeof drive - 1;
    EXPECT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(size, sizeof drive);
}
#endif
