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

constexpr unsigned kOpenOrCreate =
    CFile::modeCreate | CFile::modeNoTruncate | CFile::osSequentialScan;

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
    if (!m_file.Open(name, kOpenOrCreate | CFile::modeReadWrite) &&
        !m_file.Open(name, kOpenOrCreate | CFile::modeRead))
        throw COsException();
    m_strName = name;
}

void CTarFileDevice::Close()
{
    m_file.Close();
    m_strName.clear();
}

bool CTarFileDevice::IsOpen() const
{
    return m_file.IsOpen();
}

bool CTarFileDevice::ReadRecord(unsigned char* record)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    std::uint32_t done = 0;
    if (m_file.Read(record, RECORD_SIZE, done) && done == RECORD_SIZE)
    {
        Notify(SDeviceEvent::DEVICE_EVENT_READ, RECORD_SIZE);
        return true;
    }
    std::memset(record, 0, RECORD_SIZE);
    // The engine appends where its scan stopped; left after a partial record,
    // every member written there would be off the record grid. A failure to
    // step back changes nothing the caller can act on, so it is not raised.
    if (done > 0)
        m_file.Seek(-static_cast<std::int64_t>(done), CFile::current);
    return false;
}

void CTarFileDevice::WriteEntry(const unsigned char* header, bool /*swapBytes*/, CFile* contents)
{
    // A disk file always holds the standard layout: the swapped one exists
    // for tape drives that deliver it, and this device writes every record
    // as it is given.
    StageEntry(header, contents,
               [this](Record& record, std::int32_t payload)
               { WriteRecord(record.data(), payload); });
}

void CTarFileDevice::WriteEnd()
{
    static constexpr Record kZeros{};
    WriteRecord(kZeros.data(), 0);
    WriteRecord(kZeros.data(), 0);
}

void CTarFileDevice::WriteRecord(const unsigned char* record, std::int32_t payload)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    if (!m_file.Write(record, RECORD_SIZE))
        throw COsException();
    Notify(SDeviceEvent::DEVICE_EVENT_WRITTEN, payload);
}

bool CTarFileDevice::Seek(std::int32_t records, ESeekOrigin origin)
{
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
    std::uint64_t length = 0;
    if (!m_file.GetLength(length))
        throw COsException();
    return length;
}

void CTarFileDevice::MoveTo(std::uint64_t position)
{
    if (!m_file.Seek(static_cast<std::int64_t>(position), CFile::begin))
        throw COsException();
}
