#include "devices/CCompressedTapeDevice.h"

#include "codec/CCodecKind.h"
#include "codec/CDecoder.h"
#include "core/CException.h"
#include "core/CGenericException.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace
{
// Records read from the tape at a time, and the most a decompressed piece holds.
constexpr std::uint32_t kInputRecords = 128;
constexpr std::size_t kPieceSize = 1024 * 1024;
} // namespace

CCompressedTapeDevice::CCompressedTapeDevice(std::unique_ptr<CTarDevice> tape, ECodecKind kind)
    : m_tape(std::move(tape)), m_kind(kind), m_decoder(CDecoder::Make(kind))
{
    m_tape->Advise(this, &CCompressedTapeDevice::OnTapeEvent);
}

CCompressedTapeDevice::~CCompressedTapeDevice()
{
    UnadviseAll();
}

ECodecKind CCompressedTapeDevice::KindOnTape(CTarDevice& tape)
{
    Record first{};
    bool read = false;
    // A first block that cannot be read is left to the operation, which
    // meets it itself if it reads there (an erase does not).
    try
    {
        read = tape.ReadRecord(first.data());
    }
    catch (const CException&)
    {
    }
    tape.Seek(0, SEEK_FROM_START);
    return read ? CCodecKind::Detect(first.data(), first.size()) : ECodecKind::None;
}

// The tape's operations reach the engine as this device's; its records
// only while they are the engine's records.
int CCompressedTapeDevice::OnTapeEvent(void* record)
{
    const auto* event = static_cast<const SDeviceEvent*>(record);
    if (!Compressed() || event->nKind == SDeviceEvent::DEVICE_EVENT_ACTIVITY)
        Notify(event->nKind, event->nBytes);
    return 0;
}

void CCompressedTapeDevice::Open(const std::string& name, int blockingFactor, bool compression)
{
    m_tape->Open(name, blockingFactor, compression);
    if (Compressed())
        Restart();
}

void CCompressedTapeDevice::Close()
{
    m_tape->Close();
}

bool CCompressedTapeDevice::IsOpen() const
{
    return m_tape->IsOpen();
}

bool CCompressedTapeDevice::ReadRecord(unsigned char* record)
{
    return ReadRecords(record, 1) == 1;
}

std::uint32_t CCompressedTapeDevice::ReadRecords(unsigned char* records, std::uint32_t count)
{
    if (!Compressed())
        return m_tape->ReadRecords(records, count);
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    const std::uint32_t read =
        EndRead(records, count, Take(records, std::size_t{count} * RECORD_SIZE));
    m_nPosition += read;
    return read;
}

bool CCompressedTapeDevice::Seek(std::int64_t records, ESeekOrigin origin)
{
    if (!Compressed())
        return m_tape->Seek(records, origin);
    Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
    const std::int64_t from =
        origin == SEEK_FROM_CURRENT ? static_cast<std::int64_t>(m_nPosition) : 0;
    const auto to = static_cast<std::uint64_t>(std::max<std::int64_t>(from + records, 0));
    if (to < m_nPosition || (to == 0 && origin == SEEK_FROM_START))
        Restart();
    const std::uint64_t wanted = (to - m_nPosition) * RECORD_SIZE;
    if (Drop(wanted) < wanted)
        return false;
    m_nPosition = to;
    return true;
}

void CCompressedTapeDevice::Restart()
{
    m_tape->Seek(0, SEEK_FROM_START);
    m_decoder = CDecoder::Make(m_kind);
    m_input.clear();
    m_output.clear();
    m_nUsed = m_nTaken = 0;
    m_bFull = m_bEnded = false;
    m_nPosition = 0;
    m_strFault.clear();
}

std::size_t CCompressedTapeDevice::Take(unsigned char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size)
    {
        if (m_nTaken == m_output.size() && !Fill())
            break;
        const std::size_t count = std::min(size - done, m_output.size() - m_nTaken);
        if (buffer != nullptr)
            std::memcpy(buffer + done, m_output.data() + m_nTaken, count);
        m_nTaken += count;
        done += count;
    }
    return done;
}

std::uint64_t CCompressedTapeDevice::Drop(std::uint64_t size)
{
    std::uint64_t done = 0;
    while (done < size)
    {
        Notify(SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0);
        const auto step =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kPieceSize));
        const std::size_t got = Take(nullptr, step);
        done += got;
        if (got < step)
            break;
    }
    return done;
}

// Damaged data ends the data, as a cut archive does, and CheckEnd tells it;
// the tape's own failures are errors.
bool CCompressedTapeDevice::Fill()
{
    if (!m_strFault.empty())
        return false;
    try
    {
        for (;;)
        {
            if (m_nUsed == m_input.size() && !m_bFull)
            {
                if (m_bEnded)
                    return false;
                m_input.resize(std::size_t{kInputRecords} * RECORD_SIZE);
                const std::uint32_t got = m_tape->ReadRecords(m_input.data(), kInputRecords);
                m_input.resize(std::size_t{got} * RECORD_SIZE);
                m_nUsed = 0;
                if (got == 0)
                {
                    m_bEnded = true;
                    m_decoder->Finish();
                    return false;
                }
            }
            m_output.clear();
            m_nTaken = 0;
            m_nUsed += m_decoder->Decode(m_input.data() + m_nUsed, m_input.size() - m_nUsed,
                                         m_output, kPieceSize);
            m_bFull = m_output.size() == kPieceSize;
            if (!m_output.empty())
                return true;
        }
    }
    catch (const CGenericException& e)
    {
        m_strFault = e.GetText();
        return false;
    }
}

std::string CCompressedTapeDevice::CheckEnd()
{
    if (!Compressed())
        return m_tape->CheckEnd();
    Drop(UINT64_MAX);
    return std::exchange(m_strFault, {});
}

void CCompressedTapeDevice::RequirePlain() const
{
    if (Compressed())
        throw CGenericException(kNotWritable);
}

bool CCompressedTapeDevice::WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents)
{
    RequirePlain();
    return m_tape->WriteEntry(header, swapBytes, contents);
}

bool CCompressedTapeDevice::WriteData(CFile& contents, std::uint64_t size, bool swapBytes)
{
    RequirePlain();
    return m_tape->WriteData(contents, size, swapBytes);
}

void CCompressedTapeDevice::WriteEnd()
{
    RequirePlain();
    m_tape->WriteEnd();
}

void CCompressedTapeDevice::BeginAppend()
{
    RequirePlain();
    m_tape->BeginAppend();
}

void CCompressedTapeDevice::AbandonAppend()
{
    m_tape->AbandonAppend();
}

// An empty tape is an ordinary one.
void CCompressedTapeDevice::Erase()
{
    m_tape->Erase();
    m_decoder.reset();
}

std::string CCompressedTapeDevice::GetName() const
{
    return m_tape->GetName();
}

std::uint64_t CCompressedTapeDevice::GetSize()
{
    return m_tape->GetSize();
}

bool CCompressedTapeDevice::CanEject()
{
    return m_tape->CanEject();
}

void CCompressedTapeDevice::Eject()
{
    m_tape->Eject();
}
