#pragma once
#include "devices/CTarDevice.h"
#include "platform/CFile.h"

#include <cstdint>
#include <string>
#include <vector>

// An archive held in a disk file. The archive engine owns the device of an
// open archive; the device owns the open file. Records move in 512-byte units
// at the file's position, through two buffers that spare the system a call
// per record: reads go ahead of the engine (a little after a seek, and more
// the longer it reads on), and written records gather until they fill a
// piece. While it reads, the device keeps the engine's position itself and
// reads at offsets. A forward seek a short way lands inside what was read
// ahead, or reads on to reach it, so a listing of small members skips their
// data without a call per member; a longer one reads at its target, so a
// listing of big members costs one call per member. Every other call first
// settles both buffers, so the file's position is the engine's and its
// records are in the file.
class CTarFileDevice : public CTarDevice
{
public:
    CTarFileDevice() = default;
    ~CTarFileDevice() override;

    // A missing file is created empty; a file that cannot be written is
    // opened for reading alone. The blocking factor and compression mean
    // nothing to a disk file.
    void Open(const std::string& name, int blockingFactor, bool compression) override;
    void OpenNew(const std::string& name) override;
    void ClaimWrite() override;
    void Close() override;
    bool IsOpen() const override;
    // A short or failed read leaves the position at the start of the record,
    // so that a write after it stays on a record boundary.
    bool ReadRecord(unsigned char* record) override;
    std::uint32_t ReadRecords(unsigned char* records, std::uint32_t count) override;
    // The data records follow the size the header states, whatever the
    // contents deliver: zeros stand in for what a file that shrank no longer
    // holds, and bytes beyond that size are not read.
    bool WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents) override;
    bool WriteData(CFile& contents, std::uint64_t size, bool swapBytes) override;
    void WriteEnd() override;
    bool Seek(std::int64_t records, ESeekOrigin origin) override;
    std::string GetName() const override;
    void Erase() override;
    std::uint64_t GetSize() override;
    void BeginAppend() override;
    void AbandonAppend() override;

    // Writes one record at the position and tells the clients how many of
    // its bytes are member data.
    void WriteRecord(const unsigned char* record, std::int32_t payload);

private:
    void MoveTo(std::uint64_t position);
    // A forward move by reading on, when what lies ahead is near; false when
    // the file ends first, leaving the position where it was.
    bool SkipAhead(std::uint64_t distance);
    // A forward move while reading, by reading the first records at the
    // target; false, leaving the position where it was, when the target
    // lies past the file's end.
    bool LeapAhead(std::uint64_t distance);
    void BufferRecord(const unsigned char* record, std::int32_t payload);
    // A member's data, size bytes from the contents' current position, as
    // records pending; false when the contents held fewer bytes, or more
    // when toEnd says the data ends with them.
    bool BufferContents(CFile& contents, std::uint64_t size, bool toEnd);
    // Runs a write of records; whatever ends it is the failure to report,
    // the records buffered before it written first.
    template <typename TWrite> bool Writing(TWrite write);
    // The read-ahead's first record, filled from the file when it holds less
    // than one; false when the file ends (or fails) before a whole record.
    bool FillReadAhead();
    // Reads the next step's records, from the file's offset m_nAheadAt +
    // m_nReadLength on, to stand after what the read-ahead holds; raises
    // what a failed read says.
    void ReadMore();
    // Ends reading: what was read ahead is given back and the file's
    // position moved to the engine's.
    void DropReadAhead();
    // Ends reading without moving the file.
    void ForgetReadAhead();
    // Reading goes on from the position, with nothing read ahead; the next
    // read starts small.
    void RestartAt(std::uint64_t position);
    void FlushWrites();
    void Settle();

    // The first read after a seek: one page, a header and the data of a
    // small member, so that the next header is often found without a second
    // call, while the data of a bigger one is not copied for nothing.
    static constexpr std::uint32_t kFirstAheadRecords = 8;

    CFile m_file;          // the archive, or the new one beside it
    CFile m_replaced;      // the archive a new one is to replace, held meanwhile
    bool m_bNew = false;   // m_file is a new archive not yet in its place
    std::string m_strName; // the archive's name
    EDiskAccess m_access = EDiskAccess::ReadWrite;
    std::vector<unsigned char> m_readAhead;
    // While reading, the file's own position is not kept: m_readAhead holds
    // the file's bytes from offset m_nAheadAt on.
    bool m_bReading = false;
    std::uint64_t m_nAheadAt = 0;
    std::size_t m_nReadPos = 0;     // the next record's offset in m_readAhead
    std::size_t m_nReadLength = 0;  // bytes held in m_readAhead
    std::uint32_t m_nAheadRecords = kFirstAheadRecords;
    std::vector<unsigned char> m_pending; // records written but not yet in the file
    std::uint64_t m_nAppendStart = 0;     // where the append began
    std::uint64_t m_nAppendLength = 0;    // the file's length then
    bool m_bCreated = false;              // the file was made by the open
};
