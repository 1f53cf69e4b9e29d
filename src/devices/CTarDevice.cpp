#include "devices/CTarDevice.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CExtractedFile.h"
#include "engine/CTarHeader.h"
#include "platform/CFile.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace
{
// Bytes of a member's file read at a time; a whole number of records.
constexpr std::uint32_t kStageChunk = 64 * 1024;
static_assert(kStageChunk % CTarDevice::RECORD_SIZE == 0);
} // namespace

std::uint32_t CTarDevice::ReadRecords(unsigned char* records, std::uint32_t count)
{
    std::uint32_t read = 0;
    while (read < count && ReadRecord(records + std::size_t{read} * RECORD_SIZE))
        ++read;
    return read;
}

void CTarDevice::BeginAppend()
{
}

void CTarDevice::AbandonAppend()
{
}

void CTarDevice::OpenNew(const std::string& /*name*/)
{
    throw CGenericException("A new archive is written in place of another on a disk only.");
}

void CTarDevice::ClaimWrite()
{
}

CTarDevice::EDiskAccess CTarDevice::OpenDiskFile(CFile& file, const std::string& name,
                                                 unsigned hints, bool& created)
{
    created = false;
    const unsigned writing = CFile::modeReadWrite | CFile::shareDenyWrite | hints;
    // Made by another between the two calls, it is opened as it is.
    for (int tries = 0; tries < 3; ++tries)
    {
        if (file.Open(name, writing))
            return EDiskAccess::ReadWrite;
        if (CSystemError::GetLast() != ERROR_FILE_NOT_FOUND)
            break;
        if (file.Open(name, CFile::modeCreate | CFile::modeCreateNew | writing))
        {
            created = true;
            return EDiskAccess::ReadWrite;
        }
        if (CSystemError::GetLast() != ERROR_FILE_EXISTS)
            throw COsException();
    }
    const COsException failure;
    const bool held = CSystemError::GetLast() == ERROR_SHARING_VIOLATION;
    if (file.Open(name, CFile::modeRead | hints))
        return held ? EDiskAccess::InUse : EDiskAccess::ReadOnly;
    throw failure;
}

void CTarDevice::HoldReplaced(CFile& old, const std::string& name)
{
    if (old.Open(name, CFile::modeReadWrite | CFile::shareDenyWrite))
        return;
    switch (CSystemError::GetLast())
    {
    case ERROR_FILE_NOT_FOUND:
        return;
    case ERROR_SHARING_VIOLATION:
        throw CGenericException(kInUse);
    default:
        throw COsException();
    }
}

void CTarDevice::CreateBeside(CFile& file, const std::string& name)
{
    const std::size_t slash = name.find_last_of(kHostSeparator);
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    for (int i = 0; i < CExtractedFile::kBesideTries; ++i)
    {
        if (file.Open(folder + CExtractedFile::BesideName(),
                      CFile::modeCreate | CFile::modeCreateNew | CFile::modeReadWrite |
                          CFile::shareDenyWrite))
            return;
        if (CSystemError::GetLast() != ERROR_FILE_EXISTS)
            break;
    }
    throw COsException();
}

CTarDevice::EDiskAccess CTarDevice::PutInPlace(CFile& old, CFile& made, const std::string& name,
                                               CFile& archive)
{
    const std::string madeName = made.GetFilePath();
    old.Close();
    const bool renamed = made.Close() && CFile::Rename(madeName, name);
    const COsException failure;
    if (!renamed)
        CFile::Remove(madeName);
    bool created = false;
    const EDiskAccess access = OpenDiskFile(archive, name, 0, created);
    if (!renamed)
        throw failure;
    return access;
}

CTarDevice::EDiskAccess CTarDevice::PutNewInPlace(CFile& old, CFile& made, const std::string& name)
{
    try
    {
        return PutInPlace(old, made, name, made);
    }
    catch (...)
    {
        Close();
        throw;
    }
}

void CTarDevice::CloseDiskFiles(CFile& file, CFile& replaced, bool& fresh)
{
    const std::string unfinished = fresh ? file.GetFilePath() : std::string();
    file.Close();
    replaced.Close();
    if (fresh)
        CFile::Remove(unfinished);
    fresh = false;
}

std::uint32_t CTarDevice::EndRead(unsigned char* records, std::uint32_t count, std::size_t bytes)
{
    const auto read = static_cast<std::uint32_t>(bytes / RECORD_SIZE);
    std::memset(records + std::size_t{read} * RECORD_SIZE, 0,
                std::size_t{count - read} * RECORD_SIZE);
    for (std::uint32_t i = 0; i < read; ++i)
        Notify(SDeviceEvent::DEVICE_EVENT_READ, RECORD_SIZE);
    return read;
}

std::string CTarDevice::CheckEnd()
{
    return {};
}

bool CTarDevice::CanEject()
{
    return false;
}

void CTarDevice::Eject()
{
    throw CGenericException("Eject not supported on this device.");
}

bool CTarDevice::IsTapeName(const std::string& name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("\\\\.\\tape") != std::string::npos;
}

void CTarDevice::Notify(std::int32_t kind, std::int32_t bytes)
{
    SDeviceEvent event{kind, bytes};
    FireEvent(&event, false);
}

bool CTarDevice::StageEntry(const unsigned char* header, CFile* contents, const RecordSink& put)
{
    Record staging{};
    std::copy_n(header, RECORD_SIZE, staging.begin());
    put(staging, 0);
    return !contents || StageData(*contents, SizeOf(header), true, put);
}

bool CTarDevice::StageData(CFile& contents, std::uint64_t size, bool toEnd, const RecordSink& put)
{
    Record staging{};
    // The file is read in pieces of many records, each handed on record by
    // record.
    std::vector<unsigned char> chunk;
    bool exact = true;
    std::uint64_t written = 0;
    do
    {
        const auto wanted =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(size - written, kStageChunk));
        const bool last = toEnd && written + wanted == size;
        chunk.assign(wanted + RECORD_SIZE, 0);
        exact = ReadPiece(contents, chunk.data(), wanted, last) && exact;
        for (std::uint32_t offset = 0; offset < wanted; offset += RECORD_SIZE)
        {
            const std::uint32_t payload = std::min(wanted - offset, RECORD_SIZE);
            std::copy_n(chunk.begin() + offset, RECORD_SIZE, staging.begin());
            put(staging, static_cast<std::int32_t>(payload));
        }
        written += wanted;
    } while (written < size);
    return exact;
}

// The header decides how many records follow: had the data run longer or
// shorter than it says, no later header could be found.
std::uint64_t CTarDevice::SizeOf(const unsigned char* header)
{
    CTarHeader decoded;
    std::copy_n(header, RECORD_SIZE, decoded.Bytes().begin());
    return decoded.GetSize();
}

// Zeroed beforehand, so that a file that shrank pads with zeros rather than
// with bytes read before. Asking for one byte more than the size finds a
// file that changed size without asking the system for its length.
bool CTarDevice::ReadPiece(CFile& contents, unsigned char* piece, std::uint32_t wanted, bool last)
{
    // The file's read stops short only at the file's end.
    std::uint32_t got = 0;
    if (!contents.Read(piece, wanted + (last ? 1 : 0), got))
        throw COsException();
    if (got > wanted)
    {
        // The file grew: the byte past the size stays out of the member,
        // and the file where the member ends.
        piece[wanted] = 0;
        if (!contents.Seek(-1, CFile::current))
            throw COsException();
    }
    return got == wanted;
}
