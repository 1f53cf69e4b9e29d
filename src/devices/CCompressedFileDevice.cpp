#include "devices/CCompressedFileDevice.h"

#include "codec/CCodecKind.h"
#include "codec/CDecoder.h"
#include "codec/CEncoder.h"
#include "core/CGenericException.h"
#include "core/COsException.h"
#include "devices/CDecodeAhead.h"
#include "engine/CExtractedFile.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace
{

// Records go to the encoder in pieces of this size, so that its threads
// have work enough to share.
constexpr std::size_t kInputSize = 1024 * 1024;
// A stream shows its kind in its first six bytes at most.
constexpr std::uint32_t kMagicSize = 6;
// Data passed over by a forward seek is dropped in pieces of this size.
constexpr std::size_t kDropSize = 64 * 1024;

} // namespace

CCompressedFileDevice::CCompressedFileDevice(ECodecKind kind, int level)
    : m_kind(kind), m_nLevel(level)
{
}

CCompressedFileDevice::~CCompressedFileDevice()
{
    Close();
}

ECodecKind CCompressedFileDevice::KindOf(const std::string& name, ECodecKind asked)
{
    CFile file;
    std::array<unsigned char, kMagicSize> magic{};
    std::uint32_t got = 0;
    if (file.Open(name, CFile::modeRead) && file.Read(magic.data(), kMagicSize, got) && got > 0)
        return CCodecKind::Detect(magic.data(), got);
    return KindOfNew(name, asked);
}

ECodecKind CCompressedFileDevice::KindOfNew(const std::string& name, ECodecKind asked)
{
    return asked != ECodecKind::None ? asked : CCodecKind::FromName(name);
}

void CCompressedFileDevice::Open(const std::string& name, int /*blockingFactor*/,
                                 bool /*compression*/)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    Close();
    // A write-protected archive can still be listed and extracted; it is
    // never replaced by a new file beside it either.
    m_access = OpenDiskFile(m_file, name, 0, m_bCreated);
    m_strName = name;
    m_kind = KindOf(name, m_kind);
    RequireCodec();
}

void CCompressedFileDevice::OpenNew(const std::string& name)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    Close();
    m_kind = KindOfNew(name, m_kind);
    RequireCodec();
    HoldReplaced(m_replaced, name);
    CreateBeside(m_file, name);
    m_bNew = m_bCreated = true;
    m_access = EDiskAccess::ReadWrite;
    m_strName = name;
}

void CCompressedFileDevice::RequireCodec() const
{
    if (!CCodecKind::IsAvailable(m_kind))
        throw CGenericException(std::string("This build of Vorkant cannot read ") +
                                CCodecKind::Name(m_kind) + "-compressed archives.");
}

void CCompressedFileDevice::ClaimWrite()
{
    if (m_access != EDiskAccess::InUse)
        return;
    m_reader.reset();
    m_access = OpenDiskFile(m_file, m_strName, 0, m_bCreated);
    RequireWritable();
}

void CCompressedFileDevice::Close()
{
    StopWriting();
    m_reader.reset();
    m_nReaderAt = m_nPosition = 0;
    m_strFault.clear();
    CloseDiskFiles(m_file, m_replaced, m_bNew);
    m_strName.clear();
}

bool CCompressedFileDevice::IsOpen() const
{
    return m_file.IsOpen();
}

bool CCompressedFileDevice::ReadRecord(unsigned char* record)
{
    return ReadRecords(record, 1) == 1;
}

std::uint32_t CCompressedFileDevice::ReadRecords(unsigned char* records, std::uint32_t count)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    Reader();
    const std::uint32_t read =
        EndRead(records, count, Take(records, std::size_t{count} * RECORD_SIZE));
    m_nPosition += read;
    return read;
}

CDecodeAhead& CCompressedFileDevice::Reader()
{
    const std::uint64_t wanted = m_nPosition * RECORD_SIZE;
    if (!m_reader || m_nReaderAt > wanted)
    {
        m_reader.reset();
        m_reader = std::make_unique<CDecodeAhead>(m_file.GetFilePath(), m_kind);
        m_nReaderAt = 0;
    }
    Drop(wanted - m_nReaderAt);
    return *m_reader;
}

std::uint64_t CCompressedFileDevice::Drop(std::uint64_t size)
{
    if (size == 0)
        return 0;
    std::vector<unsigned char> dropped(kDropSize);
    std::uint64_t done = 0;
    while (done < size)
    {
        Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kDropSize));
        // Read on after a short piece: the next read tells damage from the end.
        const std::size_t got = Take(dropped.data(), step);
        done += got;
        if (got == 0)
            break;
    }
    return done;
}

// Damaged data ends the data, as a cut file does, and is told by CheckEnd;
// a file that cannot be read is an error.
std::size_t CCompressedFileDevice::Take(unsigned char* buffer, std::size_t size)
{
    if (!m_strFault.empty())
        return 0;
    try
    {
        const std::size_t got = m_reader->Read(buffer, size);
        m_nReaderAt += got;
        return got;
    }
    catch (const CGenericException& e)
    {
        m_strFault = e.GetText();
        return 0;
    }
}

// A stream's last checks, and damage in data the scan never needed, are
// found only by decompressing all of it; what follows the archive's end is
// normally a few records of padding.
std::string CCompressedFileDevice::CheckEnd()
{
    if (m_reader)
        Drop(UINT64_MAX);
    return std::exchange(m_strFault, {});
}

bool CCompressedFileDevice::Seek(std::int64_t records, ESeekOrigin origin)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    const std::int64_t from =
        origin == SEEK_FROM_CURRENT ? static_cast<std::int64_t>(m_nPosition) : 0;
    const auto to = static_cast<std::uint64_t>(std::max<std::int64_t>(from + records, 0));
    if (to <= m_nPosition)
    {
        m_nPosition = to;
        return true;
    }
    Reader();
    const std::uint64_t wanted = (to - m_nPosition) * RECORD_SIZE;
    if (Drop(wanted) < wanted)
        return false;
    m_nPosition = to;
    return true;
}

std::string CCompressedFileDevice::GetName() const
{
    return m_strName;
}

std::uint64_t CCompressedFileDevice::GetSize()
{
    const std::uint64_t length = FileLength();
    if (length == 0)
        return 0;
    const std::size_t ahead = Reader().Ahead(RECORD_SIZE);
    return ahead < RECORD_SIZE ? ahead : std::max<std::uint64_t>(length, RECORD_SIZE);
}

std::uint64_t CCompressedFileDevice::FileLength() const
{
    std::uint64_t length = 0;
    if (!m_file.GetLength(length))
        throw COsException();
    return length;
}

void CCompressedFileDevice::Erase()
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    RequireWritable();
    m_reader.reset();
    m_nReaderAt = m_nPosition = 0;
    if (!m_file.SetLength(0))
        throw COsException();
    StartWriting(false);
    Compress(true);
    m_encoder.reset();
}

void CCompressedFileDevice::RequireWritable() const
{
    if (m_access == EDiskAccess::InUse)
        throw CGenericException(kInUse);
    if (m_access == EDiskAccess::ReadOnly)
        throw COsException(ERROR_ACCESS_DENIED);
}

void CCompressedFileDevice::BeginAppend()
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    RequireWritable();
    m_nAppendAt = m_nPosition;
    if (FileLength() == 0)
    {
        StartWriting(false);
        return;
    }
    StartWriting(true);
    CopyKept(m_nAppendAt);
}

void CCompressedFileDevice::StartWriting(bool beside)
{
    if (beside)
        CreateBeside(m_out, m_strName);
    m_bBeside = beside;
    m_encoder = CEncoder::Make(m_kind, m_nLevel, 0);
}

void CCompressedFileDevice::CopyKept(std::uint64_t records)
{
    m_nPosition = 0;
    std::vector<unsigned char> piece(kInputSize);
    for (std::uint64_t copied = 0; copied < records;)
    {
        const auto count = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(records - copied, kInputSize / RECORD_SIZE));
        const std::uint32_t got = ReadRecords(piece.data(), count);
        // What the scan read before is there to be read again, unless the
        // file changed since.
        if (got < count)
            throw CGenericException(m_strFault.empty() ? CDecoder::kCutShort : m_strFault);
        m_input.insert(m_input.end(), piece.begin(),
                       piece.begin() + std::size_t{got} * RECORD_SIZE);
        Compress(false);
        copied += got;
    }
}

CTarDevice::RecordSink CCompressedFileDevice::Writer()
{
    return [this](Record& record, std::int32_t payload) { Put(record.data(), payload); };
}

bool CCompressedFileDevice::WriteEntry(const unsigned char* header, bool /*swapBytes*/,
                                       CFile* contents)
{
    return StageEntry(header, contents, Writer());
}

bool CCompressedFileDevice::WriteData(CFile& contents, std::uint64_t size, bool /*swapBytes*/)
{
    return StageData(contents, size, false, Writer());
}

void CCompressedFileDevice::Put(const unsigned char* record, std::int32_t payload)
{
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    m_input.insert(m_input.end(), record, record + RECORD_SIZE);
    ++m_nPosition;
    if (m_input.size() >= kInputSize)
        Compress(false);
    Notify(SDeviceEvent::DEVICE_EVENT_WRITTEN, payload);
}

void CCompressedFileDevice::Compress(bool finish)
{
    m_encoder->Encode(m_input.data(), m_input.size(), m_output);
    m_input.clear();
    if (finish)
        m_encoder->Finish(m_output);
    CFile& out = m_bBeside ? m_out : m_file;
    const bool written =
        m_output.empty() || out.Write(m_output.data(), static_cast<std::uint32_t>(m_output.size()));
    m_output.clear();
    if (!written)
        throw COsException();
}

// The stream ends, and a new file takes the archive's place; the next read
// decompresses what is there now.
void CCompressedFileDevice::WriteEnd()
{
    static constexpr Record kZeros{};
    Put(kZeros.data(), 0);
    Put(kZeros.data(), 0);
    Compress(true);
    m_encoder.reset();
    m_reader.reset();
    if (m_bBeside)
    {
        // After a failed rename the old archive is open again, and the
        // append is abandoned as any other.
        m_access = PutInPlace(m_file, m_out, m_strName, m_file);
        m_bBeside = false;
        return;
    }
    if (!m_bNew)
        return;
    m_bNew = m_bCreated = false;
    m_access = PutNewInPlace(m_replaced, m_file, m_strName);
}

void CCompressedFileDevice::AbandonAppend()
{
    const bool held = m_bBeside || m_nAppendAt > 0;
    StopWriting();
    if (!IsOpen())
        return;
    m_nPosition = m_nAppendAt;
    if (held)
        return;
    // A file made for this write goes; one that was empty before it stays so.
    if (!m_bCreated)
    {
        m_file.SetLength(0);
        return;
    }
    const std::string made = m_file.GetFilePath();
    Close();
    CFile::Remove(made);
}

void CCompressedFileDevice::StopWriting()
{
    m_encoder.reset();
    m_input.clear();
    m_output.clear();
    if (!m_bBeside)
        return;
    const std::string made = m_out.GetFilePath();
    m_out.Close();
    if (!made.empty())
        CFile::Remove(made);
    m_bBeside = false;
}
