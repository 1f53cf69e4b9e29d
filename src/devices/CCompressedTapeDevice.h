#pragma once
#include "codec/ECodecKind.h"
#include "devices/CTarDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDecoder;

// A tape that holds a compressed archive (written by another program: the
// drive compresses in hardware, so nothing here writes one). The engine
// reads records as from any tape; below, the tape's records are
// decompressed as they come, on the engine's thread, since a drive serves
// one caller. A seek forward reads on; a seek back reads again from the
// start of the tape. The archive cannot be added to, but erasing the tape
// leaves an ordinary tape, which this device then passes everything to.
class CCompressedTapeDevice : public CTarDevice
{
public:
    static constexpr char kNotWritable[] =
        "The archive on this tape is compressed: it can be read, but not added to.";

    // Over an open tape that shows the kind at its start.
    CCompressedTapeDevice(std::unique_ptr<CTarDevice> tape, ECodecKind kind);
    ~CCompressedTapeDevice() override;

    // The kind the tape's first record shows, the tape left at its start;
    // None for a plain archive or an empty tape.
    static ECodecKind KindOnTape(CTarDevice& tape);
    // The tape below, for what only a tape answers.
    CTarDevice& Tape() { return *m_tape; }

    void Open(const std::string& name, int blockingFactor, bool compression) override;
    void Close() override;
    bool IsOpen() const override;
    bool ReadRecord(unsigned char* record) override;
    std::uint32_t ReadRecords(unsigned char* records, std::uint32_t count) override;
    bool WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents) override;
    bool WriteData(CFile& contents, std::uint64_t size, bool swapBytes) override;
    void WriteEnd() override;
    bool Seek(std::int64_t records, ESeekOrigin origin) override;
    std::string GetName() const override;
    void Erase() override;
    std::uint64_t GetSize() override;
    void BeginAppend() override;
    void AbandonAppend() override;
    std::string CheckEnd() override;
    bool CanEject() override;
    void Eject() override;

private:
    int OnTapeEvent(void* record);
    bool Compressed() const { return m_decoder != nullptr; }
    void RequirePlain() const;
    // From the start of the tape again.
    void Restart();
    // Up to size decompressed bytes; fewer at the end of the stream or at
    // damage, which CheckEnd tells.
    std::size_t Take(unsigned char* buffer, std::size_t size);
    // Drops size decompressed bytes; how many there were.
    std::uint64_t Drop(std::uint64_t size);
    // Decompresses more; false at the end of the stream or at damage.
    bool Fill();

    std::unique_ptr<CTarDevice> m_tape;
    ECodecKind m_kind;
    std::unique_ptr<CDecoder> m_decoder; // none once the tape was erased
    std::vector<unsigned char> m_input;  // records read from the tape
    std::size_t m_nUsed = 0;             // of the input, by the decoder
    std::vector<unsigned char> m_output; // decompressed, not all taken
    std::size_t m_nTaken = 0;
    bool m_bFull = false;          // the last piece filled its room: more may wait
    bool m_bEnded = false;         // the tape's data ended
    std::uint64_t m_nPosition = 0; // the engine's record
    std::string m_strFault;
};
