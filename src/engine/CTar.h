#pragma once
#include "core/CEventHandler.h"
#include "devices/CTarDevice.h"
#include "engine/COpenAhead.h"
#include "engine/CDestination.h"
#include "engine/CMemberLinks.h"
#include "engine/CSparseMap.h"
#include "engine/CTarHeader.h"
#include "engine/CTarSettings.h"
#include "engine/CWildCard.h"
#include "engine/CWriteBehind.h"
#include "engine/SArchiveEvent.h"
#include "platform/WinTape.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class CFile;
class CMemberDescriber;
struct STarMember;
class CFileEntrys;
struct SFileEntry;

// The archive engine: one per document. Opens an archive on a device, scans
// it, lists, extracts and appends members and erases it, telling its client
// (the document) of every member, every step and every problem through
// SArchiveEvent. Failures that stop an operation are exceptions; a member that
// cannot be handled is a TAR_EVENT_PROBLEM and the operation goes on. A client
// cancels by throwing from its TAR_EVENT_TICK handler; that throw passes
// through unchanged. Runs on the document's worker thread.
class CTar : public CEventHandler
{
public:
    CTar() = default;
    ~CTar() override;

    // Makes the device for the name (a tape for names holding "\\.\tape")
    // and opens it. The blocking factor and compression go to the device.
    void Open(const std::string& name, int blockingFactor, bool compression);
    // Opens the named disk file as a new, empty archive that takes the place
    // of what it holds once a write ends whole; until then, and after a
    // failed or cancelled one, the old archive stays as it was.
    void OpenNew(const std::string& name);
    void Close();
    bool IsOpen() const;
    bool IsByteSwapped() const;
    std::string GetDeviceName() const;

    // Reports every member as TAR_EVENT_LISTED and leaves the device at the
    // point where a write appends.
    void List();
    // Extracts the members whose names match specs, or the catalogue rows in
    // indexes (the rows a list reports for catalogued types); one of the two
    // must be empty. An empty destination extracts below the current folder.
    // Files and folders get their member's time and permission bits (less
    // the umask; never set-user-id, set-group-id or sticky); folders get
    // theirs once the scan is over, so that writing into them changes
    // nothing afterwards. A cancel or a failure leaves the folders as made.
    void Extract(const CWildCard* specs, const std::vector<std::uint32_t>* indexes,
                 const std::string& destination);
    // Appends the entries (the one at indexFileEntry only to an empty
    // archive) and the end marker. True when a member was written. A write
    // that fails or is cancelled leaves a disk archive as it was before
    // (a new one removed, so the engine is then closed); a tape keeps what
    // reached it, and the failure's message says so.
    bool Write(const CFileEntrys& entries, bool relative, int indexFileEntry);
    void Erase();
    bool CanEject();
    void Eject();
    // What the tape drive of the open archive and its medium report.
    void GetTapeInfo(TAPE_GET_DRIVE_PARAMETERS& drive, TAPE_GET_MEDIA_PARAMETERS& media);

    static const char* GetTypeName(char type) { return CTarHeader::GetTypeName(type); }
    // Whether a member of this type belongs in the catalogue: files,
    // folders, links, FIFOs and devices.
    static bool IsCatalogued(char type);

    CTarSettings m_settings;
    bool m_bTape = false;
    bool m_bEmpty = false;
    bool m_bSwap = false;

protected:
    // Tests substitute devices here. A disk file whose data is compressed,
    // or a new one asked to be, gets a device that compresses; fresh says
    // the archive is new, whatever the file holds now.
    virtual std::unique_ptr<CTarDevice> MakeDevice(const std::string& name, bool tape, bool fresh);

private:
    // Makes the device for the named medium and becomes its client.
    void Attach(const std::string& name, bool fresh);
    void ReadCompressedTape();
    enum class EScanMode
    {
        List,
        Extract
    };
    // What the scan does after a header.
    enum class EStep
    {
        Next,    // read the next header
        End,     // the archive ends here
        Finished // every wanted member is out: stop where we are
    };

    // What long-name and extended headers said of the member after them.
    struct SPending
    {
        std::optional<std::string> name; // in archive form
        std::optional<std::string> linkTarget;
        std::optional<std::uint64_t> size;
        std::optional<std::uint32_t> time;
        std::optional<std::string> sparseName;
        std::optional<CSparseMap> sparse;
        bool damaged = false;
        std::string header;        // the first such header's own name
        std::uint64_t records = 0; // theirs, data included
    };

    // A folder member written, to be given its time and mode at the end.
    struct SFolderMember
    {
        std::vector<std::string> components; // below the destination
        std::string path;
        std::uint32_t time = 0;
        std::optional<std::uint32_t> mode;
    };

    struct SScan
    {
        EScanMode mode = EScanMode::List;
        CWildCard matcher;
        std::set<std::uint32_t> wanted;
        bool indexed = false; // members chosen by catalogue row
        std::unique_ptr<CDestination> destination;
        std::uint32_t catalogued = 0; // catalogue rows passed so far
        std::int64_t zeros = 0;       // consecutive records that are not headers
        SPending pending;
        std::optional<CSparseMap> sparse; // the member's, while it is read
        unsigned umask = 0;
        std::vector<SFolderMember> folders;
        CMemberLinks links;
        std::unique_ptr<CWriteBehind> behind; // writes what is extracted
    };

    int OnDeviceEvent(void* record);
    CTarDevice& Device() const;
    void Send(SArchiveEvent& event);
    void SendProblem(const std::string& message, const std::string& name = {});

    void Scan(SScan& scan);
    EStep ScanHeader(SScan& scan, const CTarHeader& header);
    EStep ScanMetadata(SScan& scan, const CTarHeader& header);
    // A header that is no member: its data passed over, or the scan's end
    // when the archive ends first.
    EStep PassOver(SScan& scan, const CTarHeader& header);
    bool ReadData(std::uint64_t size, std::string& data, std::uint64_t& read);
    // A sparse member's map: the event then tells the file's own size,
    // records what is left of the stored data, and metadata counts the
    // records of the map read after the header too.
    EStep ReadSparse(SScan& scan, const CTarHeader& header, SArchiveEvent& event,
                     std::uint64_t& records, std::uint64_t& metadata);
    // False when the archive ends first, with read the records it still had.
    bool ReadExtensions(const CTarHeader& header, CSparseMap& map, std::uint64_t& read);
    bool ReadDataMap(CSparseMap& map, std::uint64_t records, std::uint64_t& read);
    bool ReadRecord(CTarHeader& record);
    static void TakeMetadata(char type, const std::string& data, SPending& pending);
    void TakePending(SScan& scan, SArchiveEvent& event);
    void EndScan(SScan& scan);
    [[noreturn]] void RefuseFirstRecord(const CTarHeader& record) const;
    bool SkipRecords(std::uint64_t count);

    static bool IsWanted(SScan& scan, const std::string& name, char type);
    void ExtractMember(SScan& scan, SArchiveEvent event, std::uint64_t records,
                       std::optional<std::uint32_t> mode);
    void WriteMember(SScan& scan, const std::string& member,
                     const std::vector<std::string>& components, SArchiveEvent& event,
                     std::uint64_t records, std::uint64_t& read,
                     std::optional<std::uint32_t> mode);
    void ExtractFile(SScan& scan, const std::string& member,
                     const std::vector<std::string>& components, SArchiveEvent& event,
                     std::uint64_t records, std::uint64_t& read, std::optional<unsigned> mode);
    // The last steps of an extraction, each a problem of its own when it fails.
    template <typename TStep> void Attempt(const std::string& path, TStep step);
    void MakeSymbolicLinks(SScan& scan);
    void RestoreFolders(SScan& scan);
    static void RestoreFolder(SScan& scan, const SFolderMember& folder);
    void CopyData(CWriteBehind& behind, SArchiveEvent& event, std::uint64_t records,
                  std::uint64_t& read);
    // Waits for the writer to finish every member, then sends its problems.
    void FinishWrites(SScan& scan);
    // Sends the problems of the members the writer has finished.
    void SendWriteProblems(SScan& scan);

    bool Append(const CFileEntrys& entries, bool relative, int indexFileEntry);
    [[noreturn]] static void RethrowForTape();
    bool WriteEntry(CMemberDescriber& describer, COpenAhead::SLooked& looked, bool relative,
                    bool indexFile);
    // The header of a new member, which the events tell of from now on.
    CTarHeader BeginMember(const STarMember& member);
    void WriteExtended(const CTarHeader& member, const std::string& data);
    void WriteRecords(const std::string& data);
    bool WriteFile(const SFileEntry& entry, STarMember& member, COpenAhead::SLooked& looked);
    static std::optional<CSparseMap> FindHoles(CFile& file, std::uint64_t size);
    // False when the file was not the size it had.
    bool WriteSparse(const CTarHeader& header, const CSparseMap& map, CFile& file);

    std::unique_ptr<CTarDevice> m_pDevice;
    SArchiveEvent m_event{{}, 0, 0, '\0', {}, TAR_EVENT_NONE, 0, {}};
    bool m_bReporting = false;
};
