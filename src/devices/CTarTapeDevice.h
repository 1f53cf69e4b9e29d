#pragma once
#include "devices/CTarDevice.h"
#include "platform/CTapeApi.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// An archive on a tape: one archive from the start of the tape, moved in tape
// blocks of several 512-byte records through one block buffer. Writes no
// file marks; erasing writes an empty archive over the start of the tape.
// The archive engine owns the device of an open archive; the device owns the
// drive it reaches through CTapeApi while it is open.
//
// All operations run on the document's worker thread, except IsOpen,
// CanEject and GetParameters, which the window thread also calls between
// operations to show what the drive can do.
class CTarTapeDevice : public CTarDevice
{
public:
    // Gives the drive for a device name, or nullptr when there is none.
    using TapeFactory = std::function<std::unique_ptr<CTapeApi>(const std::string& name)>;
    // Waits while a drive that is not ready gets its tape loaded.
    using WaitFunction = std::function<void(unsigned milliseconds)>;

    // The machine's drives, and real waits.
    CTarTapeDevice();
    CTarTapeDevice(TapeFactory factory, WaitFunction wait);
    ~CTarTapeDevice() override;

    // Retries while the drive is not ready, ten attempts in all. A tape whose
    // block size the buffer cannot take whole is refused.
    void Open(const std::string& name, int blockingFactor, bool compression) override;
    // Nothing is written and the tape stays where it is.
    void Close() override;
    bool IsOpen() const override;
    // A block that does not fit the buffer raises "Incorrect blocking
    // factor."; a mark, the end of the data or of the medium, or a short
    // block is the end of the archive; any other failure (a bad block) is
    // raised with the drive's status.
    bool ReadRecord(unsigned char* record) override;
    bool WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents) override;
    bool WriteData(CFile& contents, std::uint64_t size, bool swapBytes) override;
    // Also sends the block holding the end marker to tape, full or not.
    void WriteEnd() override;
    // Always reaches its target: a tape has no size to check against.
    bool Seek(std::int64_t records, ESeekOrigin origin) override;
    std::string GetName() const override;
    // Writes two zero blocks at the start of the tape.
    void Erase() override;
    std::uint64_t GetSize() override;
    bool CanEject() override;
    void Eject() override;

    // Places one record in the block buffer; the block goes to tape when its
    // last slot is filled, or at once with flush (the slots after the record
    // then zeroed).
    void WriteRecord(const unsigned char* record, std::int32_t payload, bool flush);
    // Reads the drive's and the medium's parameters into the two records.
    void GetParameters(TAPE_GET_DRIVE_PARAMETERS& drive, TAPE_GET_MEDIA_PARAMETERS& media);

    static constexpr std::uint64_t TAPE_SIZE = 0x7FFFFFFFFFFF;
    static constexpr int OPEN_ATTEMPTS = 10;
    static constexpr unsigned NOT_READY_WAIT_MS = 2000;

private:
    void OpenAttempt(const std::string& name, int blockingFactor);
    void SetDriveOptions();
    // The block size to use: the medium's fixed one, else that of the first
    // block on tape, else as large as the blocking factor and drive allow.
    // readTape tells whether a block was read to find it.
    std::uint32_t ChooseBlockSize(int blockingFactor, bool& readTape);
    static void CheckBlockSize(std::uint32_t blockSize, int blockingFactor);
    // A zeroed buffer of one block.
    void UseBlockSize(std::uint32_t blockSize);
    // Drops the handle and the buffer; the name stays.
    void ReleaseTape();

    void CheckStatus(DWORD status);
    bool SetBlockSize(DWORD bytes);
    std::uint64_t GetLogicalPosition();
    void Rewind();
    void PositionTo(std::uint32_t block);
    void MarkUntrusted();
    void RequireOpen() const;
    CTapeApi& Tape() const;
    std::int32_t RecordsPerBlock() const;

    // Brings the records of a block into the buffer, so that records placed
    // in it after a seek join those already on tape instead of replacing them.
    void LoadBlock(std::int64_t block);
    // Reads the next block on tape into the buffer; false when none arrived
    // whole and the recording ended. A failed read raises.
    bool ReadBlock(DWORD& done);
    // Sends the buffer to tape as the given block, positioning first if the
    // tape stands elsewhere.
    void WriteBlock(std::int64_t block);
    // Sends the buffer to tape where it stands.
    void WriteBuffer();
    // Hands staged records to WriteStaged.
    RecordSink Stager(bool swapBytes);
    void WriteStaged(Record& staging, std::int32_t payload, bool swapBytes);

    TapeFactory m_factory;
    WaitFunction m_wait;
    std::unique_ptr<CTapeApi> m_pTape; // the open drive; none while closed

    std::string m_strName;
    std::int64_t m_nRecord = 0;
    std::int32_t m_nBlockingFactor = 20;
    std::uint32_t m_nBlockSize = 0;
    std::vector<unsigned char> m_buffer;
    // The block whose records the buffer holds (-1: none) ...
    std::int64_t m_nBufferedBlock = -1;
    // ... and 0 when they are as read, with the tape standing after that
    // block, so reads may be served from the buffer; -1 otherwise.
    std::int32_t m_nBufferState = -1;
    TAPE_GET_DRIVE_PARAMETERS m_drive{};
    TAPE_GET_MEDIA_PARAMETERS m_media{};
    DWORD m_dwLastStatus = 0;
    bool m_bCompression = false;
};
