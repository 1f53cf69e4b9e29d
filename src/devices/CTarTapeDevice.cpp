#include "devices/CTarTapeDevice.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"
#include "core/COsException.h"
#include "engine/CTarHeader.h"
#include "platform/CFile.h"
#include "platform/CSystemError.h"
#include "platform/CTapeDrives.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <new>
#include <thread>

namespace
{

bool Has(DWORD word, DWORD feature)
{
    return (word & feature) == feature;
}

// Blocking factors beyond this would not fit a 32-bit transfer.
constexpr std::int64_t kLargestBlockingFactor = 0x7FFFFF;

// The largest block the buffer can take for a blocking factor.
std::uint32_t BufferCapacity(int blockingFactor)
{
    const std::int64_t records =
        std::clamp<std::int64_t>(blockingFactor, 0, kLargestBlockingFactor);
    return static_cast<std::uint32_t>(records * CTarDevice::RECORD_SIZE);
}

std::vector<unsigned char> ZeroedBuffer(std::uint32_t bytes)
{
    try
    {
        return std::vector<unsigned char>(bytes, 0);
    }
    catch (const std::bad_alloc&)
    {
        throw CMemoryException();
    }
}

// What a read meets at the end of what is recorded, as opposed to a read that
// failed: a bad block must not pass for the end of the archive.
bool EndsRecording(DWORD status)
{
    return status == ERROR_FILEMARK_DETECTED || status == ERROR_SETMARK_DETECTED ||
           status == ERROR_NO_DATA_DETECTED || status == ERROR_END_OF_MEDIA ||
           status == ERROR_EOM_OVERFLOW;
}

void Wait(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

CTarTapeDevice::CTarTapeDevice()
    : CTarTapeDevice([](const std::string& name) { return CTapeDrives::ForName(name); }, &Wait)
{
}

CTarTapeDevice::CTarTapeDevice(TapeFactory factory, WaitFunction wait)
    : m_factory(std::move(factory)), m_wait(std::move(wait))
{
}

CTarTapeDevice::~CTarTapeDevice()
{
    Close();
}

// ------------------------------------------------------------------ opening

void CTarTapeDevice::Open(const std::string& name, int blockingFactor, bool compression)
{
    m_bCompression = compression;
    for (int attempt = 1;; ++attempt)
    {
        try
        {
            OpenAttempt(name, blockingFactor);
            return;
        }
        catch (const CException&)
        {
            // A drive still loading its tape says it is not ready; any other
            // failure will not go away by waiting.
            if (m_dwLastStatus != ERROR_NOT_READY)
            {
                Close();
                throw;
            }
            m_wait(NOT_READY_WAIT_MS);
            if (attempt == OPEN_ATTEMPTS)
            {
                Close();
                m_dwLastStatus = ERROR_NOT_READY;
                throw COsException(ERROR_NOT_READY);
            }
        }
    }
}

void CTarTapeDevice::OpenAttempt(const std::string& name, int blockingFactor)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    ReleaseTape();
    if (!IsTapeName(name))
        throw CGenericException("This is not a tape device.");
    m_pTape = m_factory(name);
    if (!m_pTape)
        throw COsException(ERROR_FILE_NOT_FOUND);
    if (!m_pTape->Open(name))
    {
        const DWORD error = CSystemError::GetLast();
        m_pTape.reset();
        throw COsException(error);
    }
    m_strName = name;

    CheckStatus(Tape().PrepareTape(TAPE_LOAD, false));
    GetParameters(m_drive, m_media);
    GetParameters(m_drive, m_media);
    SetDriveOptions();
    // Variable blocks first, so that the block size can be read off the tape.
    SetBlockSize(0);
    GetParameters(m_drive, m_media);
    GetParameters(m_drive, m_media);

    bool readTape = false;
    const std::uint32_t blockSize = ChooseBlockSize(blockingFactor, readTape);
    CheckBlockSize(blockSize, blockingFactor);
    if (!SetBlockSize(blockSize) && !SetBlockSize(m_drive.DefaultBlockSize))
        throw COsException();
    m_nBlockingFactor = blockingFactor;
    m_nRecord = 0;
    UseBlockSize(blockSize);
    MarkUntrusted();
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    Rewind();
}

void CTarTapeDevice::SetDriveOptions()
{
    TAPE_SET_DRIVE_PARAMETERS options{};
    options.ECC = m_drive.ECC;
    options.Compression = Has(m_drive.FeaturesLow, TAPE_DRIVE_COMPRESSION)
                              ? static_cast<BOOLEAN>(m_bCompression ? 1 : 0)
                              : m_drive.Compression;
    options.DataPadding = m_drive.DataPadding;
    // Setmarks would end reads that should go on to the end marker.
    options.ReportSetmarks =
        Has(m_drive.FeaturesHigh, TAPE_DRIVE_SET_REPORT_SMKS) ? 0 : m_drive.ReportSetmarks;
    options.EOTWarningZoneSize =
        Has(m_drive.FeaturesLow, TAPE_DRIVE_EOT_WZ_SIZE) ? 0 : m_drive.EOTWarningZoneSize;
    // A drive that refuses an option still reads and writes.
    Tape().SetTapeParameters(SET_TAPE_DRIVE_INFORMATION, &options);
}

std::uint32_t CTarTapeDevice::ChooseBlockSize(int blockingFactor, bool& readTape)
{
    readTape = false;
    if (m_media.BlockSize != 0)
        return m_media.BlockSize;

    const std::uint32_t capacity = BufferCapacity(blockingFactor);
    std::vector<unsigned char> probe = ZeroedBuffer(capacity);
    MarkUntrusted();
    Rewind();
    readTape = true;
    DWORD done = 0;
    // Only what arrived matters: a blank tape and a block too large for the
    // probe both deliver nothing.
    Tape().Read(probe.data(), capacity, done);
    if (done == 0)
        return std::min<std::uint32_t>(capacity, m_drive.MaximumBlockSize);
    // A drive in fixed-block mode may have read several blocks at once.
    const auto blocks = static_cast<std::uint32_t>(GetLogicalPosition());
    return done / std::max<std::uint32_t>(blocks, 1);
}

// Every record must lie whole in one block, and a whole block must fit the
// buffer: a medium whose blocks break either is not used at all.
void CTarTapeDevice::CheckBlockSize(std::uint32_t blockSize, int blockingFactor)
{
    if (blockSize == 0)
        throw CGenericException("The tape drive reports no usable block size.");
    if (blockSize % RECORD_SIZE != 0 || blockSize > BufferCapacity(blockingFactor))
        throw CGenericException("The tape's block size of " + std::to_string(blockSize) +
                                " bytes cannot be used with a blocking factor of " +
                                std::to_string(blockingFactor) + ".");
}

// The size and the buffer change together, and only once the buffer is
// there, so that no transfer ever outgrows it.
void CTarTapeDevice::UseBlockSize(std::uint32_t blockSize)
{
    m_buffer = ZeroedBuffer(blockSize);
    m_nBlockSize = blockSize;
}

void CTarTapeDevice::Close()
{
    ReleaseTape();
    m_strName.clear();
}

void CTarTapeDevice::ReleaseTape()
{
    if (m_pTape)
        m_pTape->Close();
    m_pTape.reset();
    m_buffer = std::vector<unsigned char>();
    MarkUntrusted();
}

bool CTarTapeDevice::IsOpen() const
{
    return m_pTape != nullptr;
}

std::string CTarTapeDevice::GetName() const
{
    return m_strName;
}

std::uint64_t CTarTapeDevice::GetSize()
{
    return TAPE_SIZE;
}

// ----------------------------------------------------------- drive queries

void CTarTapeDevice::GetParameters(TAPE_GET_DRIVE_PARAMETERS& drive,
                                   TAPE_GET_MEDIA_PARAMETERS& media)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    CTapeApi& tape = Tape();
    drive = {};
    auto size = static_cast<DWORD>(sizeof drive);
    CheckStatus(tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive));
    // The high feature constants carry this bit, so each test of the high
    // word can compare with the constant itself.
    m_drive.FeaturesHigh |= TAPE_DRIVE_HIGH_FEATURES;
    media = {};
    size = static_cast<DWORD>(sizeof media);
    CheckStatus(tape.GetTapeParameters(GET_TAPE_MEDIA_INFORMATION, &size, &media));
}

void CTarTapeDevice::CheckStatus(DWORD status)
{
    m_dwLastStatus = status;
    // A new tape or a reset bus is news, not a failure: the drive works.
    if (status == ERROR_SUCCESS || status == ERROR_MEDIA_CHANGED || status == ERROR_BUS_RESET)
        return;
    throw COsException(status);
}

bool CTarTapeDevice::SetBlockSize(DWORD bytes)
{
    MarkUntrusted();
    GetParameters(m_drive, m_media);
    if (!Has(m_drive.FeaturesHigh, TAPE_DRIVE_SET_BLOCK_SIZE))
        return true;
    TAPE_SET_MEDIA_PARAMETERS media{};
    media.BlockSize = bytes;
    const DWORD result = Tape().SetTapeParameters(SET_TAPE_MEDIA_INFORMATION, &media);
    if (result != ERROR_SUCCESS)
    {
        // The caller may raise the drive's own reason.
        CSystemError::SetLast(result);
        return false;
    }
    GetParameters(m_drive, m_media);
    return true;
}

std::uint64_t CTarTapeDevice::GetLogicalPosition()
{
    DWORD partition = 0;
    DWORD low = 0;
    DWORD high = 0;
    CheckStatus(Tape().GetTapePosition(TAPE_LOGICAL_POSITION, &partition, &low, &high));
    return std::uint64_t{high} << 32 | low;
}

void CTarTapeDevice::Rewind()
{
    CheckStatus(Tape().SetTapePosition(TAPE_REWIND, 0, 0, 0, false));
}

void CTarTapeDevice::PositionTo(std::uint32_t block)
{
    const DWORD result = Tape().SetTapePosition(TAPE_LOGICAL_BLOCK, 0, block, 0, false);
    // Some drives refuse a logical position at the very start, where a
    // rewind has left them anyway.
    if (result != ERROR_SUCCESS && block != 0)
        throw COsException(result);
}

void CTarTapeDevice::MarkUntrusted()
{
    m_nBufferedBlock = -1;
    m_nBufferState = -1;
}

void CTarTapeDevice::RequireOpen() const
{
    // What the system answers for a call on a closed handle.
    if (!m_pTape)
        throw COsException(ERROR_INVALID_HANDLE);
}

CTapeApi& CTarTapeDevice::Tape() const
{
    RequireOpen();
    return *m_pTape;
}

std::int32_t CTarTapeDevice::RecordsPerBlock() const
{
    return static_cast<std::int32_t>(m_nBlockSize / RECORD_SIZE);
}

bool CTarTapeDevice::CanEject()
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    if (!IsOpen())
        return false;
    // Records of its own: m_drive and m_media stay as the worker last read them.
    TAPE_GET_DRIVE_PARAMETERS drive{};
    TAPE_GET_MEDIA_PARAMETERS media{};
    GetParameters(drive, media);
    return Has(drive.FeaturesLow, TAPE_DRIVE_EJECT_MEDIA);
}

void CTarTapeDevice::Eject()
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    CTapeApi& tape = Tape();
    // A drive that cannot unload or unlock is still closed: the user takes
    // the tape out by hand.
    tape.PrepareTape(TAPE_UNLOAD, false);
    tape.PrepareTape(TAPE_UNLOCK, false);
    Close();
}

// ------------------------------------------------------------------ records

bool CTarTapeDevice::ReadRecord(unsigned char* record)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    RequireOpen();
    const std::int32_t perBlock = RecordsPerBlock();
    const std::int64_t block = m_nRecord / perBlock;
    if (block != m_nBufferedBlock || m_nBufferState != 0)
    {
        DWORD done = 0;
        if (!ReadBlock(done))
        {
            std::fill_n(record, RECORD_SIZE, 0);
            return false;
        }
        m_nBufferedBlock = block;
        m_nBufferState = 0;
    }
    std::copy_n(m_buffer.begin() + std::ptrdiff_t{m_nRecord % perBlock} * RECORD_SIZE, RECORD_SIZE,
                record);
    ++m_nRecord;
    Notify(SDeviceEvent::DEVICE_EVENT_READ, RECORD_SIZE);
    return true;
}

bool CTarTapeDevice::ReadBlock(DWORD& done)
{
    done = 0;
    const bool read = Tape().Read(m_buffer.data(), m_nBlockSize, done);
    if (done == m_nBlockSize)
        return true;
    // Whatever part of a block arrived is not that block.
    MarkUntrusted();
    if (read)
        return false;
    const DWORD status = CSystemError::GetLast();
    if (status == ERROR_INVALID_BLOCK_LENGTH)
        throw CGenericException("Incorrect blocking factor.");
    if (!EndsRecording(status))
        throw COsException(status);
    return false;
}

void CTarTapeDevice::LoadBlock(std::int64_t block)
{
    PositionTo(static_cast<std::uint32_t>(block));
    DWORD done = 0;
    // A block beyond the end of the data holds nothing yet.
    if (!ReadBlock(done))
        std::fill(m_buffer.begin() + done, m_buffer.end(), 0);
    PositionTo(static_cast<std::uint32_t>(block));
    m_nBufferedBlock = block;
    m_nBufferState = -1;
}

void CTarTapeDevice::WriteRecord(const unsigned char* record, std::int32_t payload, bool flush)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    RequireOpen();
    const std::int32_t perBlock = RecordsPerBlock();
    const std::int64_t block = m_nRecord / perBlock;
    const auto slot = static_cast<std::int32_t>(m_nRecord % perBlock);
    if (slot != 0 && block != m_nBufferedBlock)
        LoadBlock(block);
    // The buffer now holds this block as it will go to tape, no longer as read.
    m_nBufferedBlock = block;
    m_nBufferState = -1;
    auto place = m_buffer.begin() + std::ptrdiff_t{slot} * RECORD_SIZE;
    std::copy_n(record, RECORD_SIZE, place);
    if (flush || slot + 1 == perBlock)
    {
        if (flush)
            std::fill(place + RECORD_SIZE, m_buffer.end(), 0);
        WriteBlock(block);
    }
    ++m_nRecord;
    Notify(SDeviceEvent::DEVICE_EVENT_WRITTEN, payload);
}

void CTarTapeDevice::WriteBlock(std::int64_t block)
{
    // A block written before it was full goes out again over itself.
    if (GetLogicalPosition() != static_cast<std::uint64_t>(block))
        PositionTo(static_cast<std::uint32_t>(block));
    WriteBuffer();
}

void CTarTapeDevice::WriteBuffer()
{
    DWORD done = 0;
    const bool written = Tape().Write(m_buffer.data(), m_nBlockSize, done);
    if (written && done == m_nBlockSize)
        return;
    // A short write that the drive called a success is a failure all the same.
    if (written)
        CSystemError::SetLast(ERROR_WRITE_FAULT);
    throw COsException();
}

bool CTarTapeDevice::WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents)
{
    return StageEntry(header, contents, Stager(swapBytes));
}

bool CTarTapeDevice::WriteData(CFile& contents, std::uint64_t size, bool swapBytes)
{
    return StageData(contents, size, false, Stager(swapBytes));
}

CTarDevice::RecordSink CTarTapeDevice::Stager(bool swapBytes)
{
    return [this, swapBytes](Record& record, std::int32_t payload)
    { WriteStaged(record, payload, swapBytes); };
}

// The swapped layout exchanges the bytes of each pair throughout the record,
// data as well as header: that is how the drives that use it deliver them.
void CTarTapeDevice::WriteStaged(Record& staging, std::int32_t payload, bool swapBytes)
{
    if (swapBytes)
        CTarHeader::SwapBytePairs(staging);
    WriteRecord(staging.data(), payload, false);
}

void CTarTapeDevice::WriteEnd()
{
    static constexpr Record kZeros{};
    WriteRecord(kZeros.data(), 0, false);
    WriteRecord(kZeros.data(), 0, true);
}

bool CTarTapeDevice::Seek(std::int64_t records, ESeekOrigin origin)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    RequireOpen();
    std::int64_t target = records;
    if (origin == SEEK_FROM_CURRENT)
        target += m_nRecord;
    else if (records == 0)
        MarkUntrusted();
    const std::int64_t record = std::max<std::int64_t>(target, 0);
    const std::int64_t block = record / RecordsPerBlock();
    // Beyond what a block number counts no tape reaches.
    if (block > std::numeric_limits<std::uint32_t>::max())
        return false;
    // Within the block read last the records come from the buffer.
    if (record == 0 || block != m_nBufferedBlock || m_nBufferState != 0)
    {
        PositionTo(static_cast<std::uint32_t>(block));
        // The tape no longer stands after the buffered block: a read must
        // fetch the block from where the tape now is. The records stay, for
        // a write into that block.
        m_nBufferState = -1;
    }
    m_nRecord = record;
    return true;
}

// ------------------------------------------------------------------ erasing

void CTarTapeDevice::Erase()
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    m_nRecord = 0;
    Seek(0, SEEK_FROM_START);
    const std::uint32_t wanted =
        std::min<std::uint32_t>(BufferCapacity(m_nBlockingFactor), m_drive.MaximumBlockSize);
    // A drive that takes neither size writes the blocks it can.
    if (!SetBlockSize(wanted))
        SetBlockSize(m_drive.DefaultBlockSize);
    GetParameters(m_drive, m_media);
    bool readTape = false;
    const std::uint32_t blockSize = ChooseBlockSize(m_nBlockingFactor, readTape);
    CheckBlockSize(blockSize, m_nBlockingFactor);
    UseBlockSize(blockSize);
    if (readTape)
        Rewind();
    // Two zero blocks: an empty archive whose reader finds zeros throughout
    // the blocks it reads.
    WriteBuffer();
    WriteBuffer();
    Seek(0, SEEK_FROM_START);
}
