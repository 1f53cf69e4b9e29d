#pragma once
#include "codec/ECodecKind.h"
#include "devices/CTarDevice.h"
#include "platform/CFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDecodeAhead;
class CEncoder;

// An archive held in a compressed disk file (gzip, bzip2, xz or zstd). The
// engine sees records as from any device; below, the file is decompressed
// from its start on a thread of its own (CDecodeAhead) and written through
// an encoder. A compressed stream can only be read on: a forward seek reads
// on, and a seek back only notes where the next read begins, which then
// decompresses from the start again. So a listing reads the file once, and
// the seek back to the append point after it costs nothing until something
// is read there. An append writes a new compressed file beside the archive,
// the members before the append point copied into it, and puts it in the
// archive's place only once it is whole; so is a new archive that is to
// take another's place, and any other new one is written in place.
class CCompressedFileDevice : public CTarDevice
{
public:
    // kind is what a new archive (an empty or missing file) is written as;
    // level <= 0 takes the kind's default.
    CCompressedFileDevice(ECodecKind kind, int level);
    ~CCompressedFileDevice() override;

    // The kind the named file holds, from its first bytes; for an empty or
    // missing file the one asked for, else the one its name's suffix says.
    // None for a plain archive.
    static ECodecKind KindOf(const std::string& name, ECodecKind asked);
    // The kind a new archive of that name is written as.
    static ECodecKind KindOfNew(const std::string& name, ECodecKind asked);

    void Open(const std::string& name, int blockingFactor, bool compression) override;
    void OpenNew(const std::string& name) override;
    void ClaimWrite() override;
    void Close() override;
    bool IsOpen() const override;
    bool ReadRecord(unsigned char* record) override;
    std::uint32_t ReadRecords(unsigned char* records, std::uint32_t count) override;
    bool WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents) override;
    bool WriteData(CFile& contents, std::uint64_t size, bool swapBytes) override;
    void WriteEnd() override;
    bool Seek(std::int64_t records, ESeekOrigin origin) override;
    std::string GetName() const override;
    // An empty archive of the same kind: a compressed stream of nothing.
    void Erase() override;
    // The compressed file's size, or, when what it decompresses to is less
    // than a record, that: so an empty stream is an empty archive and a
    // short one no archive at all.
    std::uint64_t GetSize() override;
    void BeginAppend() override;
    void AbandonAppend() override;
    std::string CheckEnd() override;

private:
    // The decompressed stream, read up to the engine's position.
    CDecodeAhead& Reader();
    // Reads on and drops size bytes; how many there were.
    std::uint64_t Drop(std::uint64_t size);
    // The next bytes of the stream; none once it was found damaged.
    std::size_t Take(unsigned char* buffer, std::size_t size);
    void RequireCodec() const;
    // Writes a new stream: into a new file beside the archive, or into the
    // file itself.
    void StartWriting(bool beside);
    // Copies the records before the append point into the new file.
    void CopyKept(std::uint64_t records);
    RecordSink Writer();
    void Put(const unsigned char* record, std::int32_t payload);
    void Compress(bool finish);
    void StopWriting();
    std::uint64_t FileLength() const;
    void RequireWritable() const;

    ECodecKind m_kind;
    int m_nLevel;
    std::string m_strName;  // the archive's name
    CFile m_file;           // the archive, or a new one beside it
    CFile m_replaced;       // the archive a new one is to replace, held meanwhile
    bool m_bNew = false;    // m_file is a new archive not yet in its place
    EDiskAccess m_access = EDiskAccess::ReadWrite;
    bool m_bCreated = false; // the file was made by the open
    std::unique_ptr<CDecodeAhead> m_reader;
    std::uint64_t m_nReaderAt = 0; // bytes taken from the reader
    std::uint64_t m_nPosition = 0; // the engine's record
    std::string m_strFault;        // why the data ended early, until taken

    std::unique_ptr<CEncoder> m_encoder; // while an append or a new archive is written
    CFile m_out; // what an append writes beside the archive
    bool m_bBeside = false;
    std::vector<unsigned char> m_input;  // records waiting for the encoder
    std::vector<unsigned char> m_output; // what it gave, waiting for the file
    std::uint64_t m_nAppendAt = 0;
};
