#pragma once
#include "platform/CFile.h"
#include "platform/CTapeApi.h"

#include <cstdint>
#include <string>
#include <vector>

// A tape drive emulated over a SIMH tape image, answering with the Windows
// statuses a real drive gives. It is what the tests drive, and what anyone
// without a drive can archive to. Whoever asked for the drive owns it (tape
// discovery's factory, or a test); the drive owns the open image file.
//
// The image is a run of records: a 32-bit little-endian length word, the
// data, one pad byte after an odd length, and the length word again. A length
// word of 0 is a tape mark, 0xFFFFFFFF the end of the medium, 0xFFFFFFFE an
// erase gap; the end of the file is the end of the recorded data. Writing a
// block ends the recorded data after it, as on any tape. A record that runs
// past the end of the file, whose trailing length differs, or whose length
// exceeds a drive's 24-bit block length is damage: the drive reads it as a
// bad block, and nothing after it.
//
// Positions (logical and absolute alike) count the blocks before them, tape
// marks included; erase gaps do not count. The drive's settings, the medium's
// block size, the test hooks and an ejected medium outlive Close; Open and
// TAPE_LOAD start at the beginning of the tape.
class CSimhTape : public CTapeApi
{
public:
    // Faults the next calls meet. Each is used up as it fires.
    struct SFaults
    {
        // The next this many calls of PrepareTape, GetTapeParameters,
        // GetTapePosition and SetTapePosition answer ERROR_NOT_READY and do
        // nothing.
        unsigned nNotReady = 0;
        // The next of those calls is carried out and then reports the event
        // instead of success, the way the tape device takes these statuses.
        bool bMediaChanged = false;
        bool bBusReset = false;
        // The next Read fails with ERROR_INVALID_BLOCK_LENGTH without moving.
        bool bWrongBlockLength = false;
        // Writing the block at this position fails with dwWriteError, the
        // blocks before it in the same call having been written; -1 for none.
        std::int64_t nWriteFailBlock = -1;
        DWORD dwWriteError = ERROR_IO_DEVICE;
    };

    // What the drive reports unless told otherwise: a drive of variable and
    // fixed blocks that can set its block size, compress, eject, position by
    // block, keep an end-of-tape warning zone and report setmarks. The high
    // word lacks TAPE_DRIVE_HIGH_FEATURES, as a driver reports it.
    static constexpr DWORD kDefaultFeaturesLow =
        TAPE_DRIVE_TAPE_CAPACITY | TAPE_DRIVE_TAPE_REMAINING | TAPE_DRIVE_FIXED_BLOCK |
        TAPE_DRIVE_VARIABLE_BLOCK | TAPE_DRIVE_WRITE_PROTECT | TAPE_DRIVE_EOT_WZ_SIZE |
        TAPE_DRIVE_COMPRESSION | TAPE_DRIVE_REPORT_SMKS | TAPE_DRIVE_GET_ABSOLUTE_BLK |
        TAPE_DRIVE_GET_LOGICAL_BLK | TAPE_DRIVE_EJECT_MEDIA;
    static constexpr DWORD kDefaultFeaturesHigh =
        (TAPE_DRIVE_LOAD_UNLOAD | TAPE_DRIVE_LOCK_UNLOCK | TAPE_DRIVE_SET_BLOCK_SIZE |
         TAPE_DRIVE_SET_COMPRESSION | TAPE_DRIVE_SET_REPORT_SMKS | TAPE_DRIVE_ABSOLUTE_BLK |
         TAPE_DRIVE_LOGICAL_BLK | TAPE_DRIVE_END_OF_DATA) &
        ~TAPE_DRIVE_HIGH_FEATURES;
    static constexpr DWORD kDefaultBlockSize = 10240;
    static constexpr DWORD kMaximumBlockSize = 65536;
    static constexpr DWORD kMinimumBlockSize = 1;
    // Image bytes, length words included: the tape's own formatting overhead.
    static constexpr std::uint64_t kDefaultCapacity = 100'000'000'000;

    explicit CSimhTape(std::string imagePath);

    // Ignores the name. The image opens for reading and writing, or read-only
    // (the medium then write protected) when the system refuses writing. A
    // missing image is not made here: the system's not-found error.
    bool Open(const std::string& name) override;
    void Close() override;
    bool IsOpen() const override;

    // TAPE_LOAD rewinds (and takes back an ejected medium); TAPE_UNLOAD
    // ejects, after which every call but TAPE_LOAD answers
    // ERROR_NO_MEDIA_IN_DRIVE; TAPE_LOCK and TAPE_UNLOCK do nothing.
    DWORD PrepareTape(DWORD operation, bool immediate) override;
    // A size smaller than the record is ERROR_INVALID_PARAMETER, with *size
    // set to the size needed.
    DWORD GetTapeParameters(DWORD operation, DWORD* size, void* info) override;
    // A block size of 0 asks for variable blocks. A size the drive or the
    // medium does not take is ERROR_INVALID_PARAMETER.
    DWORD SetTapeParameters(DWORD operation, const void* info) override;
    DWORD GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                          DWORD* offsetHigh) override;
    // Block positioning beyond the recorded data stops at its end and answers
    // ERROR_NO_DATA_DETECTED (ERROR_END_OF_MEDIA at an end-of-medium mark).
    DWORD SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow, DWORD offsetHigh,
                          bool immediate) override;

    // Variable blocks: the next block. One larger than count fails with
    // ERROR_INVALID_BLOCK_LENGTH and nothing delivered, the tape moved past
    // it as a drive moves. A tape mark is passed and fails with
    // ERROR_FILEMARK_DETECTED; the end of the data (ERROR_NO_DATA_DETECTED)
    // and the end of the medium (ERROR_END_OF_MEDIA) are not passed. A block
    // recorded as bad, or an image damaged there, is ERROR_CRC.
    // Fixed blocks: count must be a whole number of blocks, each of which
    // must have the block size; a read that stops early fails with the
    // reason, done counting the whole blocks delivered.
    bool Read(void* buffer, DWORD count, DWORD& done) override;
    // Variable blocks: one block of count bytes (a count of 0 writes
    // nothing). Fixed blocks: count must be a whole number of blocks. A block
    // size outside the drive's limits is ERROR_INVALID_PARAMETER, a write
    // protected medium ERROR_WRITE_PROTECT. What followed the position is
    // gone. Growing the image past its capacity fails with ERROR_END_OF_MEDIA
    // before the block that would not fit.
    bool Write(const void* buffer, DWORD count, DWORD& done) override;

    SFaults& Faults() { return m_faults; }
    void SetBlockLimits(DWORD minimum, DWORD defaultSize, DWORD maximum);
    // TAPE_DRIVE_HIGH_FEATURES in the high word is dropped.
    void SetFeatures(DWORD low, DWORD high);
    // A medium formatted for blocks of this size only: it reports them and
    // takes no other size. 0 gives back a medium that takes any size the
    // drive does.
    void SetFixedBlockMedium(DWORD blockSize);
    void SetWriteProtected(bool writeProtected);
    void SetCapacity(std::uint64_t bytes);

    // An image holding these blocks in order, an empty block being a tape
    // mark. Replaces any file of that name.
    static bool WriteImage(const std::string& path, const std::vector<std::string>& blocks);
    // The blocks of an image up to the end of its data or medium, tape marks
    // as empty blocks, erase gaps left out. A bad block or a damaged image
    // fails with ERROR_CRC.
    static bool ReadImage(const std::string& path, std::vector<std::string>& blocks);

private:
    enum class EKind
    {
        data,
        mark,
        bad
    };
    struct SRecord
    {
        std::uint64_t nOffset; // of its first length word
        DWORD nLength;
        EKind eKind;
    };
    enum class EEnd
    {
        unknown, // not scanned that far yet
        data,
        medium,
        damaged
    };

    // The records are found as the tape moves, so that a long image costs
    // nothing until it is read.
    DWORD Reach(std::uint64_t count);
    DWORD ScanItem();
    DWORD ScanDataRecord(std::uint32_t word);
    DWORD EndStatus() const;
    std::uint64_t EndOf(std::uint64_t index) const;
    void Forget();

    DWORD Ready(bool needsMedium);
    DWORD Usable() const;
    DWORD Reported(DWORD status);
    DWORD Prepare(DWORD operation);
    DWORD GetParameters(DWORD operation, DWORD* size, void* info) const;
    DWORD SetParameters(DWORD operation, const void* info);
    DWORD Position(DWORD positionType, DWORD* partition, DWORD* offsetLow, DWORD* offsetHigh) const;
    DWORD Locate(DWORD positionMethod, DWORD partition, std::uint64_t block);
    bool BlockSizeAllowed(DWORD size) const;
    void FillDrive(TAPE_GET_DRIVE_PARAMETERS& drive) const;
    bool FillMedia(TAPE_GET_MEDIA_PARAMETERS& media) const;

    bool ReadBlock(char* buffer, DWORD count, bool exact, DWORD& done);
    bool ReadData(const SRecord& record, char* buffer);
    bool ReadAt(std::uint64_t offset, void* buffer, DWORD count, DWORD& done);
    bool WriteBlocks(const char* data, DWORD size, DWORD count, DWORD& done);
    // A record of that data; one of no data is a tape mark.
    static std::string Encode(const char* data, DWORD length);

    std::string m_strImagePath;
    CFile m_file;
    bool m_bReadOnlyImage = false;
    bool m_bWriteProtected = false;
    bool m_bEjected = false;

    DWORD m_nMinimumBlockSize = kMinimumBlockSize;
    DWORD m_nDefaultBlockSize = kDefaultBlockSize;
    DWORD m_nMaximumBlockSize = kMaximumBlockSize;
    DWORD m_dwFeaturesLow = kDefaultFeaturesLow;
    DWORD m_dwFeaturesHigh = kDefaultFeaturesHigh;
    TAPE_SET_DRIVE_PARAMETERS m_options{};
    DWORD m_nBlockSize = 0;   // of the medium; 0 for variable blocks
    DWORD m_nFixedMedium = 0; // the only size the medium takes; 0 for any
    std::uint64_t m_nCapacity = kDefaultCapacity;
    SFaults m_faults;

    std::vector<SRecord> m_records;  // from the start of the tape, as far as scanned
    std::uint64_t m_nScanOffset = 0; // where the next unscanned length word lies
    EEnd m_eEnd = EEnd::unknown;
    std::uint64_t m_nPosition = 0; // blocks before the tape's position
};
