#pragma once
#include "core/CEventHandler.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class CFile;

// What a device tells its clients (the archive engine) with FireEvent.
struct SDeviceEvent
{
    enum : std::int32_t
    {
        DEVICE_EVENT_READ = 0,    // a record was read; nBytes 512
        DEVICE_EVENT_WRITTEN = 1, // a record was written; nBytes its payload count
        DEVICE_EVENT_ACTIVITY = 2 // a device operation begins; nBytes 0
    };

    std::int32_t nKind;
    std::int32_t nBytes;
};

// A medium holding one archive, read and written in 512-byte records: a disk
// file or a tape. The archive engine owns the one device of an open archive
// and is its client; it learns of every record moved and of every operation
// as it begins, and may throw from the activity event to cancel.
class CTarDevice : public CEventHandler
{
public:
    static constexpr std::uint32_t RECORD_SIZE = 512;

    enum ESeekOrigin
    {
        SEEK_FROM_START = 0,
        SEEK_FROM_CURRENT = 1,
    };

    static constexpr char kInUse[] = "The archive is in use by another program.";

    // Closes whatever was held, then opens the named medium at record 0.
    virtual void Open(const std::string& name, int blockingFactor, bool compression) = 0;
    // Closes whatever was held, then opens the named disk file as an empty
    // archive that takes the place of what the file holds. The old archive
    // stays as it was, held against other writers, until WriteEnd makes the
    // new one whole; a failure, a cancel or a close before that removes the
    // new one. Only a disk file can do this: other media raise.
    virtual void OpenNew(const std::string& name);
    // Before a write: raises kInUse while another writer holds the archive.
    // Asks again first, since that one may have let go since the open.
    virtual void ClaimWrite();
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // False at the end of the data (or a short last record), with the buffer
    // cleared. A read that fails raises the system's error: taken for the
    // end, it would cut a listing short and let an append overwrite what
    // follows.
    virtual bool ReadRecord(unsigned char* record) = 0;
    // Up to count records into records, as ReadRecord would read them one
    // by one, but as one operation where the medium allows; the number read,
    // fewer only at the end of the data.
    virtual std::uint32_t ReadRecords(unsigned char* records, std::uint32_t count);
    // The header record, then, with contents, as many data records as the
    // size in that header needs, read from the contents' current position.
    // False when the contents held more or fewer bytes than that size; they
    // are left positioned just past the bytes archived.
    virtual bool WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents) = 0;
    // Data records for size bytes of contents from its current position,
    // the last one padded, as WriteEntry writes them after a header: the
    // pieces of a member stored in parts. False when the contents held
    // fewer bytes; whether they go on past them is not asked.
    virtual bool WriteData(CFile& contents, std::uint64_t size, bool swapBytes) = 0;
    // The end-of-archive marker: two zero records, and everything buffered.
    virtual void WriteEnd() = 0;
    // False when the medium says the target cannot be reached.
    virtual bool Seek(std::int64_t records, ESeekOrigin origin) = 0;
    virtual std::string GetName() const = 0;
    // Leaves an empty archive, positioned at record 0.
    virtual void Erase() = 0;
    virtual std::uint64_t GetSize() = 0;
    // What the medium holds now is what AbandonAppend goes back to. A medium
    // that keeps whatever reached it (a tape) ignores both.
    virtual void BeginAppend();
    // After a write that failed or was cancelled: the archive cut back to
    // what it held at BeginAppend with its end marker again, or, when it
    // held nothing, the medium closed and removed. Never raises and tells
    // no client: what ended the write is the failure to report.
    virtual void AbandonAppend();
    // Where a scan ends: why the data ended early, when it was damaged
    // rather than at its end (a compressed stream that cannot be
    // decompressed on); empty when it was not. A medium whose checks come
    // at its very end reads on to it first. Told once.
    virtual std::string CheckEnd();
    virtual bool CanEject();
    // Raises "Eject not supported on this device." unless the medium can.
    virtual void Eject();

    // Whether a name, in any case, names a tape drive ("\\.\tape...").
    static bool IsTapeName(const std::string& name);

protected:
    using Record = std::array<unsigned char, RECORD_SIZE>;
    // Hands a staged record and its payload count to the medium.
    using RecordSink = std::function<void(Record& record, std::int32_t payload)>;

    // Tells every client; a client may throw from the activity event.
    void Notify(std::int32_t kind, std::int32_t bytes);

    // Stages the header, then as many data records as the size in that header
    // needs, read from the contents' current position, and hands each to put.
    // False when the contents were longer or shorter than that size.
    bool StageEntry(const unsigned char* header, CFile* contents, const RecordSink& put);
    // The data records of StageEntry; a file that grew is found only when
    // toEnd says the data ends with the file.
    bool StageData(CFile& contents, std::uint64_t size, bool toEnd, const RecordSink& put);
    enum class EDiskAccess
    {
        ReadWrite,
        ReadOnly, // write-protected
        InUse,    // another writer holds it
    };
    // Opens a disk archive for reading and writing, held against other
    // writers, or, when it is write-protected or held, for reading only,
    // with the hints (CFile::os flags); a missing one is made, and created
    // says so, so that only a file made here is ever removed again. Raises
    // what failed.
    static EDiskAccess OpenDiskFile(CFile& file, const std::string& name, unsigned hints,
                                    bool& created);
    // Holds the disk file a new archive is to replace, so that no other
    // writer changes it meanwhile; a missing one needs no holding. Raises
    // kInUse when another writer holds it, or what else failed: a
    // write-protected file is never replaced.
    static void HoldReplaced(CFile& old, const std::string& name);
    // Makes a file of a fresh name in the named file's folder, for reading
    // and writing, held against other writers. Raises what failed.
    static void CreateBeside(CFile& file, const std::string& name);
    // Puts the file made beside the named archive in its place, and opens
    // the archive there again into archive, which may be either of the
    // two. Windows replaces no file that is open, so both are closed for
    // the rename; after a failed one the file made is removed and the old
    // archive opened again. Raises what failed.
    static EDiskAccess PutInPlace(CFile& old, CFile& made, const std::string& name, CFile& archive);
    // The same for a new archive made whole in made, which then holds the
    // archive; after a failure the device is closed, with nothing left to
    // abandon and the old archive as it was.
    EDiskAccess PutNewInPlace(CFile& old, CFile& made, const std::string& name);
    // Closes a disk archive's file and the old one it was to replace: a new
    // archive (fresh) never made whole goes, and the old one stays.
    static void CloseDiskFiles(CFile& file, CFile& replaced, bool& fresh);
    // Ends a read of count records into records, of which bytes came: a
    // piece of a record at the end is no record, the rest of the buffer is
    // cleared and each record read is told. The number of records read.
    std::uint32_t EndRead(unsigned char* records, std::uint32_t count, std::size_t bytes);
    // The size of the member a header record describes.
    static std::uint64_t SizeOf(const unsigned char* header);
    // Reads the next wanted bytes of a member's file into piece, which holds
    // wanted + 1 bytes, all zero. The last piece of a member (last) also
    // finds a file that grew; it is left where the member ends. False when
    // the file held fewer bytes than wanted, or more after the last piece.
    static bool ReadPiece(CFile& contents, unsigned char* piece, std::uint32_t wanted, bool last);
};
