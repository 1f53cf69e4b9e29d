#include "devices/CTarFileDevice.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CTarHeader.h"
#include "platform/CSystemError.h"

#include <algorithm>
#include <array>
#include <cstring>

static_assert(CTarDevice::RECORD_SIZE == TAR_RECORD_SIZE);

namespace
{


// The read-ahead doubles with each refill up to this many records, and
// pending writes go to the file once they reach it.
constexpr std::uint32_t kBufferRecords = 128;
// A forward seek shorter than this past what was read ahead reads on rather
// than reading afresh at its target: copying a page costs about what the
// call of a fresh read does, and that read starts small again.
constexpr std::uint64_t kReadOnLimit = 4096;

} // namespace

CTarFileDevice::~CTarFileDevice()
{
    Close();
}

void CTarFileDevice::Open(const std::string& name, int /*blockingFactor*/, bool /*compression*/)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    Close();
    if (IsTapeName(name))
        throw CGenericException("Tape device opened with file device object");
    // An archive on read-only media or in a write-protected file can still be
    // listed and extracted; only a write then fails.
    m_access = OpenDiskFile(m_file, name, CFile::osSequentialScan, m_bCreated);
    m_strName = name;
}

void CTarFileDevice::OpenNew(const std::string& name)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    Close();
    HoldReplaced(m_replaced, name);
    CreateBeside(m_file, name);
    m_bNew = m_bCreated = true;
    m_access = EDiskAccess::ReadWrite;
    m_strName = name;
}

void CTarFileDevice::ClaimWrite()
{
    if (m_access != EDiskAccess::InUse)
        return;
    Settle();
    ForgetReadAhead();
    m_access = OpenDiskFile(m_file, m_strName, CFile::osSequentialScan, m_bCreated);
    if (m_access == EDiskAccess::InUse)
        throw CGenericException(kInUse);
}

void CTarFileDevice::Close()
{
    // An operation that failed or was cancelled midway has already said so:
    // what its records could still give the file is kept if it can be.
    try
    {
        Settle();
    }
    catch (...)
    {
    }
    m_pending.clear();
    ForgetReadAhead();
    CloseDiskFiles(m_file, m_replaced, m_bNew);
    m_strName.clear();
}

bool CTarFileDevice::IsOpen() const
{
    return m_file.IsOpen();
}

// A short or failed read takes nothing from the read-ahead, so the position
// stays at the start of the record and a write after it stays on the grid.
bool CTarFileDevice::ReadRecord(unsigned char* record)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    FlushWrites();
    if (!FillReadAhead())
    {
        std::memset(record, 0, RECORD_SIZE);
        return false;
    }
    std::memcpy(record, m_readAhead.data() + m_nReadPos, RECORD_SIZE);
    m_nReadPos += RECORD_SIZE;
    Notify(SDeviceEvent::DEVICE_EVENT_READ, RECORD_SIZE);
    return true;
}

// One operation, and each record read is told of, as by ReadRecord.
std::uint32_t CTarFileDevice::ReadRecords(unsigned char* records, std::uint32_t count)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    FlushWrites();
    std::uint32_t read = 0;
    while (read < count && FillReadAhead())
    {
        const auto ready = static_cast<std::uint32_t>((m_nReadLength - m_nReadPos) / RECORD_SIZE);
        const std::uint32_t taken = std::min(ready, count - read);
        std::memcpy(records + std::size_t{read} * RECORD_SIZE, m_readAhead.data() + m_nReadPos,
                    std::size_t{taken} * RECORD_SIZE);
        m_nReadPos += std::size_t{taken} * RECORD_SIZE;
        read += taken;
        for (std::uint32_t i = 0; i < taken; ++i)
            Notify(SDeviceEvent::DEVICE_EVENT_READ, RECORD_SIZE);
    }
    return read;
}

bool CTarFileDevice::FillReadAhead()
{
    if (m_nReadLength - m_nReadPos >= RECORD_SIZE)
        return true;
    if (!m_bReading)
    {
        if (!m_file.GetPosition(m_nAheadAt))
            throw COsException();
        m_bReading = true;
    }
    // A partial record left at the end moves to the front; the file may
    // have grown since.
    if (m_nReadPos > 0)
        std::memmove(m_readAhead.data(), m_readAhead.data() + m_nReadPos, m_nReadLength - m_nReadPos);
    m_nAheadAt += m_nReadPos;
    m_nReadLength -= m_nReadPos;
    m_nReadPos = 0;
    ReadMore();
    return m_nReadLength >= RECORD_SIZE;
}

// The file's read stops short only at the file's end. A read that fails (a
// bad sector) is an error, never the end: taken for one, it would end a
// listing early and put an append over every member after it.
void CTarFileDevice::ReadMore()
{
    m_readAhead.resize(m_nReadPos + std::size_t{m_nAheadRecords} * RECORD_SIZE);
    m_nAheadRecords = std::min(m_nAheadRecords * 2, kBufferRecords);
    std::uint32_t got = 0;
    const auto room = static_cast<std::uint32_t>(m_readAhead.size() - m_nReadLength);
    if (!m_file.ReadAt(m_nAheadAt + m_nReadLength, m_readAhead.data() + m_nReadLength, room, got))
        throw COsException();
    m_nReadLength += got;
}

void CTarFileDevice::DropReadAhead()
{
    if (!m_bReading)
        return;
    const std::uint64_t position = m_nAheadAt + m_nReadPos;
    ForgetReadAhead();
    MoveTo(position);
}

void CTarFileDevice::ForgetReadAhead()
{
    RestartAt(0);
    m_bReading = false;
}

void CTarFileDevice::RestartAt(std::uint64_t position)
{
    m_nAheadAt = position;
    m_nReadPos = m_nReadLength = 0;
    m_nAheadRecords = kFirstAheadRecords;
}

void CTarFileDevice::FlushWrites()
{
    if (m_pending.empty())
        return;
    const bool written = m_file.Write(m_pending.data(), static_cast<std::uint32_t>(m_pending.size()));
    m_pending.clear();
    if (!written)
        throw COsException();
}

void CTarFileDevice::Settle()
{
    FlushWrites();
    DropReadAhead();
}

template <typename TWrite> bool CTarFileDevice::Writing(TWrite write)
{
    try
    {
        return write();
    }
    catch (...)
    {
        // Whatever ended the member is the failure to report.
        try
        {
            FlushWrites();
        }
        catch (...)
        {
        }
        throw;
    }
}

// A disk file always holds the standard layout: the swapped one exists for
// tape drives that deliver it, and this device writes every record as it is
// given. The records stay pending past the member, so many small members
// reach the file in one write.
bool CTarFileDevice::WriteEntry(const unsigned char* header, bool /*swapBytes*/, CFile* contents)
{
    return Writing(
        [&]
        {
            BufferRecord(header, 0);
            return !contents || BufferContents(*contents, SizeOf(header), true);
        });
}

bool CTarFileDevice::WriteData(CFile& contents, std::uint64_t size, bool /*swapBytes*/)
{
    return Writing([&] { return BufferContents(contents, size, false); });
}

void CTarFileDevice::WriteEnd()
{
    static constexpr Record kZeros{};
    BufferRecord(kZeros.data(), 0);
    BufferRecord(kZeros.data(), 0);
    FlushWrites();
    if (!m_bNew)
        return;
    m_bNew = m_bCreated = false;
    m_access = PutNewInPlace(m_replaced, m_file, m_strName);
    MoveTo(GetSize());
}

void CTarFileDevice::WriteRecord(const unsigned char* record, std::int32_t payload)
{
    BufferRecord(record, payload);
    FlushWrites();
}

// Each piece is read straight into the pending records, as one operation,
// and each of its records is told of.
bool CTarFileDevice::BufferContents(CFile& contents, std::uint64_t size, bool toEnd)
{
    constexpr std::size_t kCapacity = std::size_t{kBufferRecords} * RECORD_SIZE;
    m_pending.reserve(kCapacity + 1);
    bool exact = true;
    std::uint64_t written = 0;
    do
    {
        Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
        DropReadAhead();
        if (m_pending.size() == kCapacity)
            FlushWrites();
        const auto wanted = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(size - written, kCapacity - m_pending.size()));
        const bool last = toEnd && written + wanted == size;
        const std::size_t at = m_pending.size();
        const std::size_t records = (std::size_t{wanted} + RECORD_SIZE - 1) / RECORD_SIZE;
        m_pending.resize(at + records * RECORD_SIZE + 1);
        try
        {
            exact = ReadPiece(contents, m_pending.data() + at, wanted, last) && exact;
        }
        catch (...)
        {
            m_pending.resize(at);
            throw;
        }
        m_pending.resize(at + records * RECORD_SIZE);
        for (std::uint32_t offset = 0; offset < wanted; offset += RECORD_SIZE)
            Notify(SDeviceEvent::DEVICE_EVENT_WRITTEN,
                   static_cast<std::int32_t>(std::min(wanted - offset, RECORD_SIZE)));
        written += wanted;
    } while (written < size);
    return exact;
}

void CTarFileDevice::BufferRecord(const unsigned char* record, std::int32_t payload)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    DropReadAhead();
    m_pending.insert(m_pending.end(), record, record + RECORD_SIZE);
    if (m_pending.size() >= std::size_t{kBufferRecords} * RECORD_SIZE)
        FlushWrites();
    Notify(SDeviceEvent::DEVICE_EVENT_WRITTEN, payload);
}

bool CTarFileDevice::Seek(std::int64_t records, ESeekOrigin origin)
{
    if (origin == SEEK_FROM_CURRENT && records >= 0 && m_pending.empty())
    {
        const std::uint64_t distance = std::uint64_t(records) * RECORD_SIZE;
        const bool near = distance < m_nReadLength - m_nReadPos + kReadOnLimit;
        if (near || m_bReading)
        {
            Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
            return near ? SkipAhead(distance) : LeapAhead(distance);
        }
    }
    Settle();
    std::uint64_t current = 0;
    if (!m_file.GetPosition(current))
        throw COsException();
    const std::int64_t distance = std::int64_t{records} * RECORD_SIZE;
    const std::int64_t target =
        origin == SEEK_FROM_CURRENT ? static_cast<std::int64_t>(current) + distance : distance;
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    if (target > 0 && static_cast<std::uint64_t>(target) > GetSize())
        return false;
    MoveTo(target > 0 ? static_cast<std::uint64_t>(target) : 0);
    return true;
}

bool CTarFileDevice::SkipAhead(std::uint64_t distance)
{
    std::uint64_t left = distance;
    for (;;)
    {
        const std::size_t held = m_nReadLength - m_nReadPos;
        if (left <= held)
        {
            m_nReadPos += static_cast<std::size_t>(left);
            return true;
        }
        left -= held;
        m_nReadPos = m_nReadLength;
        FillReadAhead();
        if (m_nReadLength == m_nReadPos)
            break;
    }
    // The target lies past the end: back to where the seek began, with
    // nothing read ahead.
    RestartAt(m_nAheadAt + m_nReadPos - (distance - left));
    return false;
}

// The read starts at the byte before the target, so that the same call
// tells whether the target lies within the file.
bool CTarFileDevice::LeapAhead(std::uint64_t distance)
{
    const std::uint64_t from = m_nAheadAt + m_nReadPos;
    RestartAt(from + distance - 1);
    m_nReadPos = 1;
    ReadMore();
    if (m_nReadLength > 0)
        return true;
    RestartAt(from);
    return false;
}

std::string CTarFileDevice::GetName() const
{
    return m_strName;
}

void CTarFileDevice::Erase()
{
    Seek(0, SEEK_FROM_START);
    // A file of no bytes is an empty archive to the engine, so no end marker
    // is written.
    if (!m_file.SetLength(0))
        throw COsException();
}

std::uint64_t CTarFileDevice::GetSize()
{
    if (!IsOpen())
    {
        CSystemError::SetLast(ERROR_INVALID_HANDLE);
        throw COsException();
    }
    FlushWrites();
    std::uint64_t length = 0;
    if (!m_file.GetLength(length))
        throw COsException();
    return length;
}

void CTarFileDevice::BeginAppend()
{
    Settle();
    if (!m_file.GetPosition(m_nAppendStart) || !m_file.GetLength(m_nAppendLength))
        throw COsException();
}

void CTarFileDevice::AbandonAppend()
{
    if (!IsOpen())
        return;
    // Records not yet in the file go with the rest of the append.
    m_pending.clear();
    ForgetReadAhead();
    // A file made for this write goes; one that was empty before it stays so.
    if (m_nAppendLength == 0 && m_bCreated)
    {
        const std::string made = m_file.GetFilePath();
        Close();
        CFile::Remove(made);
        return;
    }
    if (m_nAppendLength == 0)
    {
        if (m_file.SetLength(0))
            m_file.Seek(0, CFile::begin);
        return;
    }
    static constexpr std::array<unsigned char, 2 * RECORD_SIZE> kEndMarker{};
    if (m_file.SetLength(m_nAppendStart) && m_file.Write(kEndMarker.data(), kEndMarker.size()))
        m_file.Seek(static_cast<std::int64_t>(m_nAppendStart), CFile::begin);
}

void CTarFileDevice::MoveTo(std::uint64_t position)
{
    if (!m_file.Seek(static_cast<std::int64_t>(position), CFile::begin))
        throw COsException();
}
