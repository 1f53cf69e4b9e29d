#include "platform/CSimhTape.h"

#include "platform/CSystemError.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace
{

constexpr std::uint32_t kWordSize = 4;
constexpr std::uint32_t kTapeMark = 0x00000000;
constexpr std::uint32_t kEndOfMedium = 0xFFFFFFFF;
constexpr std::uint32_t kEraseGap = 0xFFFFFFFE;
// What is left where a gap was written over half a length word.
constexpr std::uint32_t kHalfGap = 0xFFFEFFFF;

// The top four bits of a length word give the record's class: good data,
// data recorded with an error, or the marks and gaps above. Records of the
// other classes carry data for other uses and are passed over like gaps.
constexpr std::uint32_t kLengthMask = 0x0FFFFFFF;
constexpr std::uint32_t kGoodClass = 0x0;
constexpr std::uint32_t kBadClass = 0x8;
constexpr std::uint32_t kMarkClass = 0xF;
// A drive's block length is a 24-bit count: a longer record was never written
// by one, however the image came to hold it.
constexpr std::uint32_t kLargestBlock = 0x00FFFFFF;

std::uint32_t WordOf(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void AppendWord(std::string& out, std::uint32_t word)
{
    for (unsigned shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((word >> shift) & 0xFF);
}

std::uint64_t Padded(std::uint32_t length)
{
    return length + (length & 1u);
}

bool Fail(DWORD code)
{
    CSystemError::SetLast(code);
    return false;
}

// Hands a record over in the caller's buffer, if the buffer can take it.
template <typename TRecord> DWORD Deliver(const TRecord& record, DWORD* size, void* info)
{
    const bool fits = *size >= sizeof(TRecord);
    *size = sizeof(TRecord);
    if (!fits)
        return ERROR_INVALID_PARAMETER;
    std::memcpy(info, &record, sizeof(TRecord));
    return ERROR_SUCCESS;
}

} // namespace

CSimhTape::CSimhTape(std::string imagePath) : m_strImagePath(std::move(imagePath))
{
}

bool CSimhTape::Open(const std::string& /*name*/)
{
    Close();
    m_bReadOnlyImage = false;
    if (!m_file.Open(m_strImagePath, CFile::modeReadWrite))
    {
        if (CSystemError::GetLast() != ERROR_ACCESS_DENIED ||
            !m_file.Open(m_strImagePath, CFile::modeRead))
            return false;
        m_bReadOnlyImage = true;
    }
    Forget();
    return true;
}

void CSimhTape::Close()
{
    m_file.Close();
}

bool CSimhTape::IsOpen() const
{
    return m_file.IsOpen();
}

DWORD CSimhTape::PrepareTape(DWORD operation, bool /*immediate*/)
{
    if (const DWORD status = Ready(false))
        return status;
    return Reported(Prepare(operation));
}

DWORD CSimhTape::GetTapeParameters(DWORD operation, DWORD* size, void* info)
{
    if (const DWORD status = Ready(true))
        return status;
    return Reported(GetParameters(operation, size, info));
}

DWORD CSimhTape::SetTapeParameters(DWORD operation, const void* info)
{
    if (const DWORD status = Usable())
        return status;
    return SetParameters(operation, info);
}

DWORD CSimhTape::GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                                 DWORD* offsetHigh)
{
    if (const DWORD status = Ready(true))
        return status;
    return Reported(Position(positionType, partition, offsetLow, offsetHigh));
}

DWORD CSimhTape::SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow,
                                 DWORD offsetHigh, bool /*immediate*/)
{
    if (const DWORD status = Ready(true))
        return status;
    const std::uint64_t block = static_cast<std::uint64_t>(offsetHigh) << 32 | offsetLow;
    return Reported(Locate(positionMethod, partition, block));
}

bool CSimhTape::Read(void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (const DWORD status = Usable())
        return Fail(status);
    if (std::exchange(m_faults.bWrongBlockLength, false))
        return Fail(ERROR_INVALID_BLOCK_LENGTH);
    char* const bytes = static_cast<char*>(buffer);
    if (m_nBlockSize == 0)
        return ReadBlock(bytes, count, false, done);
    if (count % m_nBlockSize != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    while (done < count)
    {
        DWORD got = 0;
        if (!ReadBlock(bytes + done, m_nBlockSize, true, got))
            return false;
        done += got;
    }
    return true;
}

bool CSimhTape::Write(const void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (const DWORD status = Usable())
        return Fail(status);
    if (m_bReadOnlyImage || m_bWriteProtected)
        return Fail(ERROR_WRITE_PROTECT);
    if (count == 0)
        return true;
    const DWORD size = m_nBlockSize != 0 ? m_nBlockSize : count;
    if (count % size != 0 || size < m_nMinimumBlockSize || size > m_nMaximumBlockSize ||
        size > kLargestBlock)
        return Fail(ERROR_INVALID_PARAMETER);
    return WriteBlocks(static_cast<const char*>(buffer), size, count / size, done);
}

void CSimhTape::SetBlockLimits(DWORD minimum, DWORD defaultSize, DWORD maximum)
{
    m_nMinimumBlockSize = minimum;
    m_nDefaultBlockSize = defaultSize;
    m_nMaximumBlockSize = maximum;
}

void CSimhTape::SetFeatures(DWORD low, DWORD high)
{
    m_dwFeaturesLow = low;
    m_dwFeaturesHigh = high & ~TAPE_DRIVE_HIGH_FEATURES;
}

void CSimhTape::SetFixedBlockMedium(DWORD blockSize)
{
    m_nFixedMedium = blockSize;
    if (blockSize != 0)
        m_nBlockSize = blockSize;
}

void CSimhTape::SetWriteProtected(bool writeProtected)
{
    m_bWriteProtected = writeProtected;
}

void CSimhTape::SetCapacity(std::uint64_t bytes)
{
    m_nCapacity = bytes;
}

bool CSimhTape::WriteImage(const std::string& path, const std::vector<std::string>& blocks)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite))
        return false;
    for (const std::string& block : blocks)
    {
        if (block.size() > kLargestBlock)
            return Fail(ERROR_INVALID_PARAMETER);
        const std::string record = Encode(block.data(), static_cast<DWORD>(block.size()));
        if (!file.Write(record.data(), static_cast<std::uint32_t>(record.size())))
            return false;
    }
    return file.Close();
}

bool CSimhTape::ReadImage(const std::string& path, std::vector<std::string>& blocks)
{
    CSimhTape tape(path);
    if (!tape.Open(path))
        return false;
    blocks.clear();
    for (std::uint64_t index = 0;; ++index)
    {
        const DWORD status = tape.Reach(index + 1);
        if (status == ERROR_NO_DATA_DETECTED || status == ERROR_END_OF_MEDIA)
            return true;
        if (status != ERROR_SUCCESS)
            return Fail(status);
        const SRecord& record = tape.m_records[index];
        if (record.eKind == EKind::bad)
            return Fail(ERROR_CRC);
        std::string& block = blocks.emplace_back(record.nLength, '\0');
        if (!tape.ReadData(record, block.data()))
            return false;
    }
}

// Scans on until count records are known or the end is found.
DWORD CSimhTape::Reach(std::uint64_t count)
{
    while (m_records.size() < count)
    {
        if (m_eEnd != EEnd::unknown)
            return EndStatus();
        if (const DWORD status = ScanItem())
            return status;
    }
    return ERROR_SUCCESS;
}

// One step along the image: a record, a gap, or the end. Only a failure of
// the image file answers other than 0; a damaged image is an end of its own.
DWORD CSimhTape::ScanItem()
{
    unsigned char bytes[kWordSize];
    DWORD got = 0;
    if (!ReadAt(m_nScanOffset, bytes, kWordSize, got))
        return CSystemError::GetLast();
    if (got < kWordSize)
    {
        m_eEnd = got == 0 ? EEnd::data : EEnd::damaged;
        return ERROR_SUCCESS;
    }
    const std::uint32_t word = WordOf(bytes);
    if (word == kTapeMark)
    {
        m_records.push_back({m_nScanOffset, 0, EKind::mark});
        m_nScanOffset += kWordSize;
    }
    else if (word == kEraseGap)
        m_nScanOffset += kWordSize;
    else if (word == kHalfGap)
        m_nScanOffset += kWordSize / 2;
    else if (word == kEndOfMedium)
        m_eEnd = EEnd::medium;
    else if (word >> 28 == kMarkClass)
        m_eEnd = EEnd::damaged;
    else
        return ScanDataRecord(word);
    return ERROR_SUCCESS;
}

DWORD CSimhTape::ScanDataRecord(std::uint32_t word)
{
    const std::uint32_t length = word & kLengthMask;
    const std::uint32_t recordClass = word >> 28;
    const bool isBlock = recordClass == kGoodClass || recordClass == kBadClass;
    const std::uint64_t trailer = m_nScanOffset + kWordSize + Padded(length);
    unsigned char bytes[kWordSize];
    DWORD got = 0;
    if (!ReadAt(trailer, bytes, kWordSize, got))
        return CSystemError::GetLast();
    // A record cut short, a trailer that disagrees or a block longer than a
    // drive writes: nothing after it can be trusted.
    if (got < kWordSize || WordOf(bytes) != word || (isBlock && length > kLargestBlock))
    {
        m_eEnd = EEnd::damaged;
        return ERROR_SUCCESS;
    }
    const std::uint64_t offset = std::exchange(m_nScanOffset, trailer + kWordSize);
    if (isBlock)
        m_records.push_back({offset, length, recordClass == kGoodClass ? EKind::data : EKind::bad});
    return ERROR_SUCCESS;
}

DWORD CSimhTape::EndStatus() const
{
    switch (m_eEnd)
    {
    case EEnd::data:
        return ERROR_NO_DATA_DETECTED;
    case EEnd::medium:
        return ERROR_END_OF_MEDIA;
    case EEnd::damaged:
        return ERROR_CRC;
    case EEnd::unknown:
        break;
    }
    return ERROR_SUCCESS;
}

std::uint64_t CSimhTape::EndOf(std::uint64_t index) const
{
    const SRecord& record = m_records[index];
    if (record.eKind == EKind::mark)
        return record.nOffset + kWordSize;
    return record.nOffset + 2 * kWordSize + Padded(record.nLength);
}

// Whoever changed the image while it was out of the drive may have changed
// anything on it.
void CSimhTape::Forget()
{
    m_records.clear();
    m_nScanOffset = 0;
    m_eEnd = EEnd::unknown;
    m_nPosition = 0;
}

// What a status call meets before it does anything.
DWORD CSimhTape::Ready(bool needsMedium)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    if (m_faults.nNotReady > 0)
    {
        --m_faults.nNotReady;
        return ERROR_NOT_READY;
    }
    return needsMedium && m_bEjected ? ERROR_NO_MEDIA_IN_DRIVE : ERROR_SUCCESS;
}

DWORD CSimhTape::Usable() const
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return m_bEjected ? ERROR_NO_MEDIA_IN_DRIVE : ERROR_SUCCESS;
}

DWORD CSimhTape::Reported(DWORD status)
{
    if (status != ERROR_SUCCESS)
        return status;
    if (std::exchange(m_faults.bMediaChanged, false))
        return ERROR_MEDIA_CHANGED;
    if (std::exchange(m_faults.bBusReset, false))
        return ERROR_BUS_RESET;
    return ERROR_SUCCESS;
}

DWORD CSimhTape::Prepare(DWORD operation)
{
    switch (operation)
    {
    case TAPE_LOAD:
        m_bEjected = false;
        Forget();
        return ERROR_SUCCESS;
    case TAPE_UNLOAD:
        if (m_bEjected)
            return ERROR_NO_MEDIA_IN_DRIVE;
        m_bEjected = true;
        return ERROR_SUCCESS;
    case TAPE_LOCK:
    case TAPE_UNLOCK:
        return ERROR_SUCCESS;
    default:
        return m_bEjected ? ERROR_NO_MEDIA_IN_DRIVE : ERROR_INVALID_FUNCTION;
    }
}

DWORD CSimhTape::GetParameters(DWORD operation, DWORD* size, void* info) const
{
    if (size == nullptr || info == nullptr)
        return ERROR_INVALID_PARAMETER;
    switch (operation)
    {
    case GET_TAPE_DRIVE_INFORMATION:
    {
        TAPE_GET_DRIVE_PARAMETERS drive{};
        FillDrive(drive);
        return Deliver(drive, size, info);
    }
    case GET_TAPE_MEDIA_INFORMATION:
    {
        TAPE_GET_MEDIA_PARAMETERS media{};
        if (!FillMedia(media))
            return CSystemError::GetLast();
        return Deliver(media, size, info);
    }
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

DWORD CSimhTape::SetParameters(DWORD operation, const void* info)
{
    if (info == nullptr)
        return ERROR_INVALID_PARAMETER;
    switch (operation)
    {
    case SET_TAPE_MEDIA_INFORMATION:
    {
        const DWORD size = static_cast<const TAPE_SET_MEDIA_PARAMETERS*>(info)->BlockSize;
        if (!BlockSizeAllowed(size))
            return ERROR_INVALID_PARAMETER;
        m_nBlockSize = size;
        return ERROR_SUCCESS;
    }
    case SET_TAPE_DRIVE_INFORMATION:
        m_options = *static_cast<const TAPE_SET_DRIVE_PARAMETERS*>(info);
        // A drive without compression cannot be told to compress.
        if ((m_dwFeaturesLow & TAPE_DRIVE_COMPRESSION) == 0)
            m_options.Compression = 0;
        return ERROR_SUCCESS;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

DWORD CSimhTape::Position(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                          DWORD* offsetHigh) const
{
    if (positionType != TAPE_LOGICAL_POSITION && positionType != TAPE_ABSOLUTE_POSITION)
        return ERROR_INVALID_FUNCTION;
    if (partition == nullptr || offsetLow == nullptr || offsetHigh == nullptr)
        return ERROR_INVALID_PARAMETER;
    *partition = 0; // the tape is not partitioned
    *offsetLow = static_cast<DWORD>(m_nPosition & 0xFFFFFFFF);
    *offsetHigh = static_cast<DWORD>(m_nPosition >> 32);
    return ERROR_SUCCESS;
}

DWORD CSimhTape::Locate(DWORD positionMethod, DWORD partition, std::uint64_t block)
{
    switch (positionMethod)
    {
    case TAPE_REWIND:
        m_nPosition = 0;
        return ERROR_SUCCESS;
    case TAPE_ABSOLUTE_BLOCK:
    case TAPE_LOGICAL_BLOCK:
        if (partition > 1)
            return ERROR_INVALID_PARAMETER;
        break;
    case TAPE_SPACE_END_OF_DATA:
        block = std::numeric_limits<std::uint64_t>::max();
        break;
    default:
        return ERROR_INVALID_FUNCTION;
    }
    const DWORD status = Reach(block);
    m_nPosition = std::min<std::uint64_t>(block, m_records.size());
    const bool atEnd = status == ERROR_NO_DATA_DETECTED || status == ERROR_END_OF_MEDIA;
    return positionMethod == TAPE_SPACE_END_OF_DATA && atEnd ? ERROR_SUCCESS : status;
}

bool CSimhTape::BlockSizeAllowed(DWORD size) const
{
    if (m_nFixedMedium != 0)
        return size == m_nFixedMedium;
    if (size == 0)
        return (m_dwFeaturesLow & TAPE_DRIVE_VARIABLE_BLOCK) != 0;
    return (m_dwFeaturesLow & TAPE_DRIVE_FIXED_BLOCK) != 0 && size >= m_nMinimumBlockSize &&
           size <= m_nMaximumBlockSize;
}

void CSimhTape::FillDrive(TAPE_GET_DRIVE_PARAMETERS& drive) const
{
    drive.ECC = m_options.ECC;
    drive.Compression = m_options.Compression;
    drive.DataPadding = m_options.DataPadding;
    drive.ReportSetmarks = m_options.ReportSetmarks;
    drive.DefaultBlockSize = m_nDefaultBlockSize;
    drive.MaximumBlockSize = m_nMaximumBlockSize;
    drive.MinimumBlockSize = m_nMinimumBlockSize;
    drive.MaximumPartitionCount = 1;
    drive.FeaturesLow = m_dwFeaturesLow;
    drive.FeaturesHigh = m_dwFeaturesHigh;
    drive.EOTWarningZoneSize = m_options.EOTWarningZoneSize;
}

bool CSimhTape::FillMedia(TAPE_GET_MEDIA_PARAMETERS& media) const
{
    std::uint64_t used = 0;
    if (!m_file.GetLength(used))
        return false;
    media.Capacity.QuadPart = static_cast<std::int64_t>(m_nCapacity);
    media.Remaining.QuadPart =
        static_cast<std::int64_t>(used < m_nCapacity ? m_nCapacity - used : 0);
    media.BlockSize = m_nBlockSize;
    media.PartitionCount = 1;
    media.WriteProtected = m_bReadOnlyImage || m_bWriteProtected;
    return true;
}

// The next block into buffer; exact asks for a block of exactly count bytes.
// The tape moves past the block whether or not its data can be delivered.
bool CSimhTape::ReadBlock(char* buffer, DWORD count, bool exact, DWORD& done)
{
    if (const DWORD status = Reach(m_nPosition + 1))
        return Fail(status);
    const SRecord& record = m_records[m_nPosition++];
    if (record.eKind == EKind::mark)
        return Fail(ERROR_FILEMARK_DETECTED);
    if (record.eKind == EKind::bad)
        return Fail(ERROR_CRC);
    if (record.nLength > count || (exact && record.nLength != count))
        return Fail(ERROR_INVALID_BLOCK_LENGTH);
    if (!ReadData(record, buffer))
        return false;
    done = record.nLength;
    return true;
}

bool CSimhTape::ReadData(const SRecord& record, char* buffer)
{
    DWORD got = 0;
    if (!ReadAt(record.nOffset + kWordSize, buffer, record.nLength, got))
        return false;
    // Only an image cut short behind the drive's back delivers less.
    return got == record.nLength || Fail(ERROR_CRC);
}

bool CSimhTape::ReadAt(std::uint64_t offset, void* buffer, DWORD count, DWORD& done)
{
    std::uint32_t got = 0;
    const bool read = m_file.Seek(static_cast<std::int64_t>(offset), CFile::begin) &&
                      m_file.Read(buffer, count, got);
    done = got;
    return read;
}

// Writing ends the recorded data at the position; the blocks then go on one
// by one, so that a failure leaves the ones before it on the tape.
bool CSimhTape::WriteBlocks(const char* data, DWORD size, DWORD count, DWORD& done)
{
    const std::uint64_t offset = m_nPosition == 0 ? 0 : EndOf(m_nPosition - 1);
    if (!m_file.SetLength(offset))
        return false;
    m_records.resize(m_nPosition);
    m_nScanOffset = offset;
    m_eEnd = EEnd::data;
    for (DWORD block = 0; block < count; ++block, data += size)
    {
        if (static_cast<std::int64_t>(m_nPosition) == m_faults.nWriteFailBlock)
        {
            m_faults.nWriteFailBlock = -1;
            return Fail(m_faults.dwWriteError);
        }
        const std::string record = Encode(data, size);
        if (m_nScanOffset + record.size() > m_nCapacity)
            return Fail(ERROR_END_OF_MEDIA);
        if (!m_file.Write(record.data(), static_cast<std::uint32_t>(record.size())))
            return false;
        m_records.push_back({m_nScanOffset, size, EKind::data});
        m_nScanOffset += record.size();
        ++m_nPosition;
        done += size;
    }
    return true;
}

std::string CSimhTape::Encode(const char* data, DWORD length)
{
    std::string record;
    AppendWord(record, length);
    if (length == 0)
        return record;
    record.reserve(2 * kWordSize + Padded(length));
    record.append(data, length);
    if (length % 2 != 0)
        record += '\0';
    AppendWord(record, length);
    return record;
}
