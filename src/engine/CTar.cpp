#include "engine/CTar.h"

#include "core/COsException.h"
#include "devices/CCompressedFileDevice.h"
#include "devices/CCompressedTapeDevice.h"
#include "devices/CTarFileDevice.h"
#include "devices/CTarTapeDevice.h"
#include "engine/CExtractedFile.h"
#include "engine/CFileEntrys.h"
#include "engine/CMemberDescriber.h"
#include "engine/CMemberPath.h"
#include "engine/COpenAhead.h"
#include "engine/CTarExtendedHeader.h"
#include "engine/CTarMessages.h"
#include "engine/CWildCard.h"
#include "platform/CFile.h"
#include "platform/CFileStatus.h"
#include "platform/CFolder.h"
#include "platform/CSystemError.h"
#include "platform/CUmask.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace
{
// Long names and extended headers are read whole; one bigger than this is
// no honest header and is passed over as damaged.
constexpr std::uint64_t kMaxMetadataSize = 1024 * 1024;

const char kNotOpen[] = "Archive not open.";

bool IsZero(const CTarHeader& record)
{
    const auto& bytes = record.Bytes();
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

std::uint64_t DataRecords(std::uint64_t size)
{
    return size / TAR_RECORD_SIZE + (size % TAR_RECORD_SIZE != 0 ? 1 : 0);
}

// Headers that describe the member after them rather than one of their own:
// GNU long names and link targets, POSIX extended and global headers.
bool IsMetadata(char type)
{
    return type == 'L' || type == 'K' || type == 'x' || type == 'g';
}

// Headers of other writers that are neither members nor about the member
// after them: a volume label, and vendor metadata (ACLs, an old form of
// extended header, inode data). Their data is passed over.
bool IsNoMember(char type)
{
    return type == 'V' || type == 'A' || type == 'X' || type == 'I';
}

bool IsLink(char type)
{
    return type == '1' || type == '2';
}

// A count of records to step back over, as a seek takes it.
std::int64_t SeekCount(std::uint64_t records)
{
    return static_cast<std::int64_t>(
        std::min<std::uint64_t>(records, std::numeric_limits<std::int64_t>::max()));
}

// What of a member's mode is applied: the permission bits the umask leaves.
// Set-user-id, set-group-id and sticky from an archive are never honoured.
unsigned RestoredMode(std::uint32_t mode, unsigned umask)
{
    return mode & 0777 & ~umask;
}

} // namespace

CTar::~CTar()
{
    Close();
    UnadviseAll();
}

std::unique_ptr<CTarDevice> CTar::MakeDevice(const std::string& name, bool tape, bool fresh)
{
    if (tape)
        return std::make_unique<CTarTapeDevice>();
    const ECodecKind asked = m_settings.m_compression;
    const ECodecKind kind = fresh ? CCompressedFileDevice::KindOfNew(name, asked)
                                  : CCompressedFileDevice::KindOf(name, asked);
    if (kind != ECodecKind::None)
        return std::make_unique<CCompressedFileDevice>(asked, m_settings.m_nCompressionLevel);
    return std::make_unique<CTarFileDevice>();
}

void CTar::Open(const std::string& name, int blockingFactor, bool compression)
{
    Attach(name, false);
    m_pDevice->Open(name, blockingFactor, compression);
    if (m_bTape)
        ReadCompressedTape();
}

void CTar::OpenNew(const std::string& name)
{
    Attach(name, true);
    m_pDevice->OpenNew(name);
}

void CTar::Attach(const std::string& name, bool fresh)
{
    Close();
    m_bEmpty = false;
    m_bSwap = false;
    m_bTape = CTarDevice::IsTapeName(name);
    m_pDevice = MakeDevice(name, m_bTape, fresh);
    if (!m_pDevice->Advise(this, &CTar::OnDeviceEvent))
        throw CGenericException("Failed to establish advisory link with archive.");
}

// A tape is never written compressed here, but another program's
// compressed archive on one reads like any other.
void CTar::ReadCompressedTape()
{
    const ECodecKind kind = CCompressedTapeDevice::KindOnTape(*m_pDevice);
    if (kind == ECodecKind::None)
        return;
    m_pDevice->Unadvise(this);
    m_pDevice = std::make_unique<CCompressedTapeDevice>(std::move(m_pDevice), kind);
    if (!m_pDevice->Advise(this, &CTar::OnDeviceEvent))
        throw CGenericException("Failed to establish advisory link with archive.");
}

void CTar::Close()
{
    m_pDevice.reset();
}

bool CTar::IsOpen() const
{
    return m_pDevice && m_pDevice->IsOpen();
}

bool CTar::IsByteSwapped() const
{
    return IsOpen() && m_bSwap;
}

std::string CTar::GetDeviceName() const
{
    return m_pDevice ? m_pDevice->GetName() : std::string();
}

bool CTar::IsCatalogued(char type)
{
    return type == '\0' || (type >= '0' && type <= '7');
}

CTarDevice& CTar::Device() const
{
    if (!m_pDevice)
        throw CGenericException(kNotOpen);
    return *m_pDevice;
}

void CTar::Send(SArchiveEvent& event)
{
    FireEvent(&event, false);
}

void CTar::SendProblem(const std::string& message, const std::string& name)
{
    SArchiveEvent event;
    event.nKind = TAR_EVENT_PROBLEM;
    event.strName = name;
    event.strMessage = message;
    Send(event);
}

int CTar::OnDeviceEvent(void* record)
{
    const auto* event = static_cast<const SDeviceEvent*>(record);
    if (event->nKind == SDeviceEvent::DEVICE_EVENT_ACTIVITY)
    {
        SArchiveEvent tick;
        tick.nKind = TAR_EVENT_TICK;
        Send(tick);
        return 0;
    }
    m_event.dwDone += static_cast<std::uint64_t>(event->nBytes);
    if (m_bReporting)
        Send(m_event);
    return 0;
}

// ---------------------------------------------------------------- scanning

void CTar::List()
{
    m_bReporting = false;
    Device();
    SScan scan;
    Scan(scan);
}

void CTar::Scan(SScan& scan)
{
    m_bReporting = false;
    CTarDevice& device = Device();
    m_bEmpty = true;
    m_bSwap = false;
    device.Seek(0, CTarDevice::SEEK_FROM_START);
    const std::uint64_t size = device.GetSize();
    if (size != 0 && size < TAR_RECORD_SIZE)
        throw CGenericException("This is not a valid tar file.");

    const std::int32_t limit = m_settings.m_nTerminatingRecords;
    std::uint32_t read = 0;
    CTarHeader record;
    while (scan.zeros < limit)
    {
        if (!device.ReadRecord(record.Bytes().data()))
            break;
        ++read;
        const ETarHeaderKind kind = record.Classify();
        if (kind != ETarHeaderKind::NotHeader)
            m_bSwap = kind == ETarHeaderKind::ValidSwapped;
        if (m_bSwap)
            record.SwapBytePairs();
        if (kind == ETarHeaderKind::NotHeader)
        {
            if (read == 1 && !IsZero(record))
                RefuseFirstRecord(record);
            ++scan.zeros;
            continue;
        }
        const EStep step = ScanHeader(scan, record);
        if (step == EStep::Finished)
            return;
        if (step == EStep::End)
            break;
    }
    EndScan(scan);
}

// The device stays where a write appends: on the first of the records that
// end the archive, or on headers that no member follows, which would
// otherwise give their name to the first member appended.
void CTar::EndScan(SScan& scan)
{
    // Damaged data that nothing came before is no archive at all; after
    // members it ends the archive there, as a cut file does.
    const std::string fault = Device().CheckEnd();
    if (!fault.empty() && m_bEmpty)
        throw CGenericException(fault);
    if (!fault.empty())
        SendProblem(fault);
    const SPending& pending = scan.pending;
    if (pending.records > 0)
        SendProblem(CTarMessages::Format(CTarMessages::kNoMember, {pending.header}), pending.header);
    const std::int64_t back = SeekCount(pending.records + static_cast<std::uint64_t>(scan.zeros));
    if (back > 0)
        Device().Seek(-back, CTarDevice::SEEK_FROM_CURRENT);
}

CTar::EStep CTar::ScanHeader(SScan& scan, const CTarHeader& header)
{
    m_bEmpty = false;
    scan.zeros = 0;
    if (IsMetadata(header.GetType()))
        return ScanMetadata(scan, header);
    if (IsNoMember(header.GetType()))
        return PassOver(scan, header);
    SArchiveEvent event;
    event.strName = header.GetName();
    event.dwTotal = header.GetSize();
    event.time = header.GetTime();
    event.chType = header.GetType();
    if (IsLink(event.chType))
        event.strLinkTarget = header.GetLinkName();
    // Old writers put the size of its target into a hard link's header, with
    // no data after it; only an extended header's size gives one data.
    if (event.chType == '1')
        event.dwTotal = 0;
    std::uint64_t metadata = scan.pending.records;
    TakePending(scan, event);
    std::uint64_t records = DataRecords(event.dwTotal);
    if (event.chType == 'S')
        scan.sparse.emplace();
    if (scan.sparse)
    {
        const EStep step = ReadSparse(scan, header, event, records, metadata);
        if (step != EStep::Next)
            return step;
    }
    // A member whose map is damaged has been told of: its data is passed over.
    const bool readable = !scan.sparse || !scan.sparse->m_bDamaged;
    if (scan.mode == EScanMode::Extract && IsWanted(scan, event.strName, event.chType) && readable)
    {
        ExtractMember(scan, event, records, header.GetMode());
        return scan.indexed && scan.wanted.empty() ? EStep::Finished : EStep::Next;
    }
    if (!SkipRecords(records))
    {
        SendProblem(CTarMessages::Format(CTarMessages::kArchiveEnds, {event.strName}),
                    event.strName);
        // The member's data runs past the end: the append point is its header,
        // or the first header describing it.
        scan.zeros = SeekCount(metadata + 1);
        return EStep::End;
    }
    if (scan.mode == EScanMode::List)
    {
        event.nKind = TAR_EVENT_LISTED;
        event.dwDone = event.dwTotal;
        Send(event);
    }
    return EStep::Next;
}

CTar::EStep CTar::ScanMetadata(SScan& scan, const CTarHeader& header)
{
    SPending& pending = scan.pending;
    if (pending.records == 0)
        pending.header = header.GetName();
    ++pending.records;
    const std::uint64_t size = header.GetSize();
    std::string data;
    std::uint64_t read = 0;
    bool whole;
    if (size > kMaxMetadataSize)
    {
        pending.damaged = true;
        whole = SkipRecords(DataRecords(size));
    }
    else
    {
        whole = ReadData(size, data, read);
    }
    if (!whole)
    {
        SendProblem(CTarMessages::Format(CTarMessages::kArchiveEnds, {pending.header}),
                    pending.header);
        scan.zeros = SeekCount(pending.records + read);
        pending = SPending();
        return EStep::End;
    }
    pending.records += DataRecords(size);
    TakeMetadata(header.GetType(), data, pending);
    return EStep::Next;
}

CTar::EStep CTar::PassOver(SScan& scan, const CTarHeader& header)
{
    if (SkipRecords(DataRecords(header.GetSize())))
        return EStep::Next;
    const std::string name = header.GetName();
    SendProblem(CTarMessages::Format(CTarMessages::kArchiveEnds, {name}), name);
    scan.zeros = SeekCount(scan.pending.records + 1);
    return EStep::End;
}

// Reads the data of a header into memory; false when the archive ends first,
// with read the records it still had.
bool CTar::ReadData(std::uint64_t size, std::string& data, std::uint64_t& read)
{
    CTarHeader record;
    data.reserve(size);
    while (data.size() < size)
    {
        if (!ReadRecord(record))
            return false;
        ++read;
        const auto* bytes = reinterpret_cast<const char*>(record.Bytes().data());
        data.append(bytes, std::min<std::uint64_t>(size - data.size(), TAR_RECORD_SIZE));
    }
    return true;
}

bool CTar::ReadRecord(CTarHeader& record)
{
    if (!Device().ReadRecord(record.Bytes().data()))
        return false;
    if (m_bSwap)
        record.SwapBytePairs();
    return true;
}

// The member is listed and extracted as the file it stands for, under the
// name and with the size the map gives, whatever writer stored it.
CTar::EStep CTar::ReadSparse(SScan& scan, const CTarHeader& header, SArchiveEvent& event,
                             std::uint64_t& records, std::uint64_t& metadata)
{
    CSparseMap& map = *scan.sparse;
    std::uint64_t read = 0;
    bool whole = true;
    if (header.GetType() == 'S')
        whole = ReadExtensions(header, map, read);
    else if (map.m_bInData && !map.m_bDamaged)
        whole = ReadDataMap(map, records, read);
    if (!whole)
    {
        SendProblem(CTarMessages::Format(CTarMessages::kArchiveEnds, {event.strName}),
                    event.strName);
        scan.zeros = SeekCount(metadata + 1 + read);
        return EStep::End;
    }
    // A map stored in the data fills whole records before the pieces.
    const std::uint64_t stored = map.m_bInData ? (records - read) * TAR_RECORD_SIZE : event.dwTotal;
    if (map.m_bInData)
        records -= read;
    metadata += read;
    if (!map.Fits(stored))
        map.m_bDamaged = true;
    event.chType = '0';
    event.dwTotal = map.m_nRealSize;
    if (map.m_bDamaged)
        SendProblem(CTarMessages::Format(CTarMessages::kDamagedSparseMap, {event.strName}),
                    event.strName);
    return EStep::Next;
}

// An old-style sparse member's map goes on in records of its own between
// its header and its data, which its size does not count.
bool CTar::ReadExtensions(const CTarHeader& header, CSparseMap& map, std::uint64_t& read)
{
    map.m_nRealSize = header.GetSparseRealSize();
    CTarHeader record;
    for (bool more = header.AddSparseEntries(false, map); more;
         more = record.AddSparseEntries(true, map))
    {
        if (!ReadRecord(record))
            return false;
        ++read;
    }
    return true;
}

// Read a record at a time until the map is whole: a map that needs more
// records than the member's data holds is damaged.
bool CTar::ReadDataMap(CSparseMap& map, std::uint64_t records, std::uint64_t& read)
{
    std::string text;
    CTarHeader record;
    CSparseMap::EDataMap state = CSparseMap::EDataMap::Incomplete;
    while (state == CSparseMap::EDataMap::Incomplete && read < records)
    {
        if (!ReadRecord(record))
            return false;
        ++read;
        text.append(reinterpret_cast<const char*>(record.Bytes().data()), TAR_RECORD_SIZE);
        std::size_t used = 0;
        state = map.ReadDataMap(text, used);
        text.erase(0, used);
    }
    map.m_bDamaged = state != CSparseMap::EDataMap::Whole;
    return true;
}

// A global header ('g') speaks for every member at once: it is passed over.
void CTar::TakeMetadata(char type, const std::string& data, SPending& pending)
{
    // Names end at their first NUL, as the system would end them.
    if (type == 'L' || type == 'K')
    {
        (type == 'L' ? pending.name : pending.linkTarget) = data.substr(0, data.find('\0'));
        return;
    }
    if (type != 'x')
        return;
    CTarExtendedHeader extended;
    if (!extended.Parse(data))
    {
        pending.damaged = true;
        return;
    }
    if (extended.m_path)
        pending.name = extended.m_path;
    if (extended.m_linkPath)
        pending.linkTarget = extended.m_linkPath;
    if (extended.m_size)
        pending.size = extended.m_size;
    if (extended.m_time)
        pending.time = extended.m_time;
    if (extended.m_sparseName)
        pending.sparseName = extended.m_sparseName;
    if (extended.m_sparse)
        pending.sparse = extended.m_sparse;
}

// What the headers before the member said replaces what its own header says.
void CTar::TakePending(SScan& scan, SArchiveEvent& event)
{
    const SPending pending = std::exchange(scan.pending, SPending());
    if (pending.name)
        event.strName = CTarHeader::ToNativeName(*pending.name);
    // Only a file has holes; the name its pieces are stored under is not
    // its own.
    const bool file = event.chType == '0' || event.chType == '\0' || event.chType == '7';
    scan.sparse = file ? pending.sparse : std::nullopt;
    if (scan.sparse && pending.sparseName)
        event.strName = CTarHeader::ToNativeName(*pending.sparseName);
    if (pending.linkTarget && IsLink(event.chType))
        event.strLinkTarget = *pending.linkTarget;
    if (pending.size)
        event.dwTotal = *pending.size;
    if (pending.time)
        event.time = *pending.time;
    if (pending.damaged)
        SendProblem(CTarMessages::Format(CTarMessages::kDamagedHeader, {event.strName}),
                    event.strName);
}

void CTar::RefuseFirstRecord(const CTarHeader& record) const
{
    std::string text = std::string("This is not a valid tar ") + (m_bTape ? "tape." : "file.");
    const auto& bytes = record.Bytes();
    const bool backup = std::equal(bytes.begin(), bytes.begin() + 4, "tape",
                                   [](std::uint8_t b, char c) { return std::tolower(b) == c; });
    if (m_bTape && backup)
        text += "  The tape appears to be a Windows NT backup.";
    throw CGenericException(text);
}

bool CTar::SkipRecords(std::uint64_t count)
{
    if (count == 0)
        return true;
    // No medium holds more bytes than a seek can count.
    if (count >
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) / TAR_RECORD_SIZE)
        return false;
    return Device().Seek(static_cast<std::int64_t>(count), CTarDevice::SEEK_FROM_CURRENT);
}

// -------------------------------------------------------------- extracting

void CTar::Extract(const CWildCard* specs, const std::vector<std::uint32_t>* indexes,
                   const std::string& destination)
{
    m_bReporting = false;
    Device();
    if (specs == nullptr || indexes == nullptr)
        throw CGenericException("Invalid parameters.");
    if (!specs->GetSpecs().empty() && !indexes->empty())
        throw CGenericException("Must use either a file spec. or a file indexes to extract.");
    SScan scan;
    scan.mode = EScanMode::Extract;
    scan.destination = std::make_unique<CDestination>(destination);
    if (!indexes->empty())
    {
        scan.wanted.insert(indexes->begin(), indexes->end());
        scan.indexed = true;
    }
    else
    {
        scan.matcher.CopySpecs(*specs);
    }
    // Read before the writer's thread starts: where the system tells the
    // mask only by setting it, it is 0 for a moment.
    scan.umask = CUmask::Read();
    scan.behind = std::make_unique<CWriteBehind>();
    // A cancel or a failure passes by the folders: they stay writable, so
    // that trying again can fill them. The members read before it are
    // finished all the same, and their problems told; nothing those bring
    // back can stop what is already stopping.
    try
    {
        Scan(scan);
    }
    catch (...)
    {
        try
        {
            FinishWrites(scan);
        }
        catch (...)
        {
        }
        throw;
    }
    FinishWrites(scan);
    MakeSymbolicLinks(scan);
    RestoreFolders(scan);
}

template <typename TStep> void CTar::Attempt(const std::string& path, TStep step)
{
    try
    {
        step();
    }
    catch (const COsException& e)
    {
        SendProblem(CTarMessages::FileFailure(path, e), path);
    }
    catch (const CException& e)
    {
        SendProblem(CTarMessages::MessageOf(e), path);
    }
}

// In archive order, once nothing else is left to write.
void CTar::MakeSymbolicLinks(SScan& scan)
{
    for (const CMemberLinks::SSymbolic& link : scan.links.Deferred())
    {
        if (!link.superseded)
            Attempt(link.path, [&] { CMemberLinks::MakeSymbolic(*scan.destination, link); });
    }
}

// Deepest first, so that no folder's bits shut out the ones below it, and
// after every file and link, so that nothing made inside moves a folder's
// time again.
void CTar::RestoreFolders(SScan& scan)
{
    std::stable_sort(scan.folders.begin(), scan.folders.end(),
                     [](const SFolderMember& a, const SFolderMember& b)
                     { return a.components.size() > b.components.size(); });
    for (const SFolderMember& folder : scan.folders)
        Attempt(folder.path, [&] { RestoreFolder(scan, folder); });
}

// Reached again from the destination, as its members were: whatever stands
// in its place now is never followed.
void CTar::RestoreFolder(SScan& scan, const SFolderMember& folder)
{
    const std::vector<std::string>& names = folder.components;
    const auto parent = scan.destination->Reach(names, names.size() - 1, false, folder.path);
    std::optional<unsigned> mode;
    if (folder.mode)
        mode = RestoredMode(*folder.mode, scan.umask);
    if (!CFolder::SetTimeAndModeIn(*parent, names.back(), folder.time, mode))
        throw COsException();
}

// Rows count the members a listing puts in the catalogue, so a row the user
// selected is the member shown in it, whatever else lies between members.
bool CTar::IsWanted(SScan& scan, const std::string& name, char type)
{
    const bool row = IsCatalogued(type) && scan.wanted.erase(scan.catalogued++) > 0;
    return row || scan.matcher.Match(name);
}

void CTar::ExtractMember(SScan& scan, SArchiveEvent event, std::uint64_t records,
                         std::optional<std::uint32_t> mode)
{
    const std::string member = event.strName;
    const auto components = CMemberPath::Split(member);
    if (!components)
    {
        SendProblem(CTarMessages::Format(CTarMessages::kLeavesDestination, {member}), member);
        SkipRecords(records);
        return;
    }
    SendWriteProblems(scan);
    event.strName = CMemberPath::Join(scan.destination->GetPath(), *components);
    event.nKind = TAR_EVENT_EXTRACTED;
    event.dwDone = 0;
    event.strMessage.clear();
    Send(event);

    std::uint64_t read = 0;
    try
    {
        WriteMember(scan, member, *components, event, records, read, mode);
    }
    catch (const CException& e)
    {
        event.nKind = TAR_EVENT_PROBLEM;
        event.strMessage = CTarMessages::MessageOf(e);
        Send(event);
    }
    if (read < records)
        SkipRecords(records - read);
}

void CTar::WriteMember(SScan& scan, const std::string& member,
                       const std::vector<std::string>& components, SArchiveEvent& event,
                       std::uint64_t records, std::uint64_t& read,
                       std::optional<std::uint32_t> mode)
{
    const char type = event.chType;
    CDestination& destination = *scan.destination;
    if (type == '5')
    {
        destination.Reach(components, components.size(), true, member);
        scan.links.NoteMember(components);
        // The destination itself is the user's folder, not the archive's.
        if (!components.empty())
            scan.folders.push_back({components, event.strName, event.time, mode});
        return;
    }
    // Device members are listed but never made: making one takes privilege
    // and would open hardware to whoever can reach the folder.
    if (!IsCatalogued(type) || type == '3' || type == '4')
    {
        event.nKind = TAR_EVENT_PROBLEM;
        event.strMessage = CTarMessages::Format(CTarMessages::kUnsupportedType,
                                                {event.strName, GetTypeName(type)});
        Send(event);
        return;
    }
    // A file cannot take the place of the folder it would be extracted into.
    if (components.empty())
    {
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        throw CGenericException(CTarMessages::FileFailure(event.strName, COsException()));
    }
    std::optional<unsigned> restored;
    if (mode)
        restored = RestoredMode(*mode, scan.umask);
    switch (type)
    {
    case '1':
        // Its target must be in place, not waiting to be written.
        FinishWrites(scan);
        scan.links.MakeHard(destination, components, event.strName, event.strLinkTarget);
        return;
    case '2':
        scan.links.DeferSymbolic({components, event.strName, event.strLinkTarget, event.time});
        return;
    case '6':
        scan.links.MakeFifo(destination, components, event.strName, restored.value_or(0666),
                            event.time);
        return;
    default:
        ExtractFile(scan, member, components, event, records, read, restored);
    }
}

void CTar::ExtractFile(SScan& scan, const std::string& member,
                       const std::vector<std::string>& components, SArchiveEvent& event,
                       std::uint64_t records, std::uint64_t& read, std::optional<unsigned> restored)
{
    // Members come folder by folder: the folder stays held while they last.
    auto folder = scan.destination->Reach(components, components.size() - 1, true, member);
    // Made here, so that a file that cannot be made is told in its place;
    // written, dated and put in place by the writer.
    CWriteBehind& behind = *scan.behind;
    auto file = std::make_unique<CExtractedFile>(std::move(folder), components.back(),
                                                 event.strName, restored.value_or(0666));
    if (scan.sparse)
        file->LeaveHoles(std::move(*scan.sparse));
    behind.Begin(std::move(file), event, restored);
    scan.links.NoteFile(components);
    try
    {
        CopyData(behind, event, records, read);
    }
    catch (...)
    {
        behind.Abandon();
        throw;
    }
    behind.End();
}

void CTar::FinishWrites(SScan& scan)
{
    scan.behind->Drain();
    SendWriteProblems(scan);
}

void CTar::SendWriteProblems(SScan& scan)
{
    for (SArchiveEvent& problem : scan.behind->TakeProblems())
        Send(problem);
}

void CTar::CopyData(CWriteBehind& behind, SArchiveEvent& event, std::uint64_t records,
                    std::uint64_t& read)
{
    CTarDevice& device = Device();
    // Data goes to the writer in pieces of many records, each read at once.
    constexpr std::uint64_t kPieceRecords = CWriteBehind::kPieceSize / TAR_RECORD_SIZE;
    while (read < records)
    {
        const std::uint64_t left = records - read;
        const auto wanted = static_cast<std::uint32_t>(std::min(left, kPieceRecords));
        std::vector<unsigned char> piece = behind.NewPiece(left * TAR_RECORD_SIZE);
        piece.resize(std::size_t{wanted} * TAR_RECORD_SIZE);
        const std::uint32_t got = device.ReadRecords(piece.data(), wanted);
        if (m_bSwap)
            CTarHeader::SwapBytePairs(std::span(piece.data(), std::size_t{got} * TAR_RECORD_SIZE));
        // The last record holds the member's last bytes and padding.
        piece.resize(static_cast<std::size_t>(
            std::min(std::uint64_t{got} * TAR_RECORD_SIZE, event.dwTotal - event.dwDone)));
        if (!piece.empty())
            behind.Write(std::move(piece));
        for (std::uint32_t i = 0; i < got; ++i, ++read)
        {
            event.dwDone += std::min<std::uint64_t>(TAR_RECORD_SIZE, event.dwTotal - event.dwDone);
            Send(event);
        }
        // An archive that ends inside a member ends the member too: making
        // up the rest as zeros would let a damaged header fill the disk.
        if (got < wanted)
            throw CGenericException(CTarMessages::Format(CTarMessages::kArchiveEnds, {event.strName}));
    }
    // A sparse member's holes are done without reading.
    if (event.dwDone < event.dwTotal)
    {
        event.dwDone = event.dwTotal;
        Send(event);
    }
}

// ----------------------------------------------------------------- writing

bool CTar::Write(const CFileEntrys& entries, bool relative, int indexFileEntry)
{
    CTarDevice& device = Device();
    // The append point is found with the archive held, so that no other
    // writer can move it before the append.
    device.ClaimWrite();
    SScan scan;
    Scan(scan);
    // Only a tape writes the swapped layout; a disk file always holds the
    // standard one, and the flag must say what the medium holds.
    if (m_bEmpty)
        m_bSwap = m_bTape && m_settings.m_bSgiFormat != 0;
    const bool wasEmpty = m_bEmpty;
    device.BeginAppend();
    try
    {
        return Append(entries, relative, indexFileEntry);
    }
    catch (...)
    {
        m_event.nKind = TAR_EVENT_NONE;
        m_bReporting = false;
        m_bEmpty = wasEmpty;
        device.AbandonAppend();
        if (m_bTape)
            RethrowForTape();
        throw;
    }
}

bool CTar::Append(const CFileEntrys& entries, bool relative, int indexFileEntry)
{
    m_bReporting = true;
    const int count = entries.GetCount();
    COpenAhead ahead(entries, count);
    CMemberDescriber describer(m_settings.m_bOwnPermissions != 0);
    int written = 0;
    for (int i = 0; i < count; ++i)
    {
        COpenAhead::SLooked& looked = ahead.Next();
        const bool indexFile = i == indexFileEntry;
        // The index file describes a whole new archive, never an addition.
        if (indexFile && !m_bEmpty)
            continue;
        if (WriteEntry(describer, looked, relative, indexFile))
            ++written;
    }
    m_event.nKind = TAR_EVENT_NONE;
    m_bReporting = false;
    if (written == 0)
        return false;
    CTarDevice& device = Device();
    device.WriteEnd();
    m_bEmpty = false;
    return device.Seek(-2, CTarDevice::SEEK_FROM_CURRENT);
}

// A tape keeps what reached it before the failure, which may end inside a
// member: the user must hear that the archive on it is no longer whole.
// A cancel passes unchanged.
void CTar::RethrowForTape()
{
    try
    {
        throw;
    }
    catch (const CException& e)
    {
        throw CGenericException(CTarMessages::MessageOf(e) + "  " + CTarMessages::kTapeEndsEarly);
    }
}

bool CTar::WriteEntry(CMemberDescriber& describer, COpenAhead::SLooked& looked, bool relative,
                      bool indexFile)
{
    const SFileEntry& entry = looked.entry;
    if (!looked.bFound)
    {
        CSystemError::SetLast(looked.dwError);
        SendProblem(CTarMessages::FileFailure(entry.strPath, COsException()));
        return false;
    }
    const std::string& stored = relative || indexFile ? entry.strName : entry.strPath;
    STarMember member;
    if (!describer.Describe(CTarHeader::ToArchiveName(stored, relative), looked.status,
                            entry.strLinkTarget, member))
    {
        SendProblem(CTarMessages::Unsupported(entry.strPath, looked.status));
        return false;
    }
    if (member.chType == '0')
        return WriteFile(entry, member, looked);
    const CTarHeader header = BeginMember(member);
    WriteExtended(header, CTarHeader::ExtendedData(member));
    m_event.nKind = TAR_EVENT_WRITTEN;
    Device().WriteEntry(header.Bytes().data(), m_bSwap, nullptr);
    return true;
}

CTarHeader CTar::BeginMember(const STarMember& member)
{
    CTarHeader header;
    header.Build(member, m_settings);
    m_event.strName = CTarHeader::ToNativeName(member.strName);
    m_event.dwTotal = member.dwSparseSize.value_or(header.GetSize());
    m_event.time = member.time;
    m_event.chType = member.chType;
    m_event.strLinkTarget = member.strLinkTarget;
    m_event.dwDone = 0;
    return header;
}

// What the member's own header cannot hold goes into an extended header
// before it. Those records are no member of their own and are not reported.
void CTar::WriteExtended(const CTarHeader& member, const std::string& data)
{
    if (data.empty())
        return;
    CTarHeader header;
    header.BuildExtended(member, data.size(), m_settings);
    const auto* bytes = reinterpret_cast<const char*>(header.Bytes().data());
    WriteRecords(std::string(bytes, TAR_RECORD_SIZE).append(data));
}

// Records that belong to no member's data are not reported.
void CTar::WriteRecords(const std::string& data)
{
    m_bReporting = false;
    for (std::size_t at = 0; at < data.size(); at += TAR_RECORD_SIZE)
    {
        CTarHeader record;
        const std::size_t count = std::min(TAR_RECORD_SIZE, data.size() - at);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), count, record.Bytes().begin());
        Device().WriteEntry(record.Bytes().data(), m_bSwap, nullptr);
    }
    m_bReporting = true;
}

bool CTar::WriteFile(const SFileEntry& entry, STarMember& member, COpenAhead::SLooked& looked)
{
    // Read once from start to end: the system's own read-ahead serves that
    // without a hint, which would cost a call per file. A folder entry
    // that has become a file since it was added is opened here.
    CFile& file = looked.file;
    if (!file.IsOpen() && !file.Open(entry.strPath, CFile::modeRead | CFile::modeNoWait))
    {
        SendProblem(CTarMessages::FileFailure(entry.strPath, COsException()));
        return false;
    }
    const std::optional<CSparseMap> holes = looked.status.m_bHoles && m_settings.m_bSparse != 0
                                                ? FindHoles(file, member.dwSize)
                                                : std::nullopt;
    if (holes)
    {
        member.dwSparseSize = member.dwSize;
        member.dwSize = DataRecords(holes->DataMapText().size()) * TAR_RECORD_SIZE + holes->DataSize();
    }
    const CTarHeader header = BeginMember(member);
    WriteExtended(header, CTarHeader::ExtendedData(member));
    m_event.nKind = TAR_EVENT_WRITTEN;
    // The member holds what its header says; a file that changed size since
    // it was looked at is archived cut or padded, and the user must hear of it.
    const bool exact = holes ? WriteSparse(header, *holes, file)
                             : Device().WriteEntry(header.Bytes().data(), m_bSwap, &file);
    if (!exact)
        SendProblem(CTarMessages::Format(CTarMessages::kChangedSize, {entry.strPath}),
                    entry.strPath);
    return true;
}

// A file the system cannot tell the holes of is stored whole, as one
// without holes is.
std::optional<CSparseMap> CTar::FindHoles(CFile& file, std::uint64_t size)
{
    std::vector<CFile::SRegion> regions;
    if (!file.GetDataRegions(size, regions))
        return std::nullopt;
    return CSparseMap::OfFile(regions, size);
}

// The map, then the data of each region, read where it lies; the holes
// between count as done.
bool CTar::WriteSparse(const CTarHeader& header, const CSparseMap& map, CFile& file)
{
    CTarDevice& device = Device();
    device.WriteEntry(header.Bytes().data(), m_bSwap, nullptr);
    WriteRecords(map.DataMapText());
    bool exact = true;
    std::uint64_t reached = 0;
    for (const CFile::SRegion& region : map.m_regions)
    {
        m_event.dwDone += region.offset - reached;
        reached = region.offset + region.size;
        if (region.size == 0)
            continue;
        if (!file.Seek(static_cast<std::int64_t>(region.offset), CFile::begin))
            throw COsException();
        exact = device.WriteData(file, region.size, m_bSwap) && exact;
    }
    // Data found in a hole since is not seen; a file cut or grown is.
    std::uint64_t length = 0;
    return exact && file.GetLength(length) && length == map.m_nRealSize;
}

// ------------------------------------------------------------------ others

void CTar::Erase()
{
    m_bReporting = false;
    Device().ClaimWrite();
    Device().Erase();
    m_bEmpty = true;
}

bool CTar::CanEject()
{
    return Device().CanEject();
}

void CTar::Eject()
{
    Device().Eject();
}

void CTar::GetTapeInfo(TAPE_GET_DRIVE_PARAMETERS& drive, TAPE_GET_MEDIA_PARAMETERS& media)
{
    CTarDevice* device = &Device();
    if (auto* compressed = dynamic_cast<CCompressedTapeDevice*>(device))
        device = &compressed->Tape();
    auto* tape = dynamic_cast<CTarTapeDevice*>(device);
    if (!tape)
        throw CGenericException("Tape device must be open to get tape device info.");
    tape->GetParameters(drive, media);
}
