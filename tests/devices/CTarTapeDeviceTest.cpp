#include "devices/CTarTapeDevice.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "platform/CFile.h"
#include "platform/CSimhTape.h"
#include "platform/CSystemError.h"
#include "support/CTestFolder.h"
#include "support/ExpectRaise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace
{

using Record = std::array<unsigned char, CTarDevice::RECORD_SIZE>;
using Calls = std::vector<std::string>;

const std::string kName = "\\\\.\\tape0";
constexpr std::size_t kRecord = CTarDevice::RECORD_SIZE;

// What the test wants the drive to do beyond the virtual drive's own
// behaviour, and what the device asked of it.
struct SScript
{
    Calls calls;
    DWORD loadStatus = ERROR_SUCCESS; // answered for TAPE_LOAD instead of the drive's own
    TAPE_SET_DRIVE_PARAMETERS options{};
};

// Logs every call the device makes and hands it on to the virtual drive.
class CRecordingTape : public CTapeApi
{
public:
    CRecordingTape(CTapeApi& drive, SScript& script) : m_drive(drive), m_script(script) {}

    bool Open(const std::string& name) override
    {
        Log("Open " + name);
        return m_drive.Open(name);
    }
    void Close() override
    {
        Log("Close");
        m_drive.Close();
    }
    bool IsOpen() const override { return m_drive.IsOpen(); }

    DWORD PrepareTape(DWORD operation, bool immediate) override
    {
        static const char* const kNames[] = {"load", "unload", "tension", "lock", "unlock"};
        Log(std::string("PrepareTape ") + (operation < 5 ? kNames[operation] : "?"));
        if (operation == TAPE_LOAD && m_script.loadStatus != ERROR_SUCCESS)
            return m_script.loadStatus;
        return m_drive.PrepareTape(operation, immediate);
    }
    DWORD GetTapeParameters(DWORD operation, DWORD* size, void* info) override
    {
        Log(std::string("GetTapeParameters ") +
            (operation == GET_TAPE_DRIVE_INFORMATION ? "drive" : "media"));
        return m_drive.GetTapeParameters(operation, size, info);
    }
    DWORD SetTapeParameters(DWORD operation, const void* info) override
    {
        if (operation == SET_TAPE_DRIVE_INFORMATION)
        {
            Log("SetTapeParameters drive");
            m_script.options = *static_cast<const TAPE_SET_DRIVE_PARAMETERS*>(info);
        }
        else
        {
            Log("SetTapeParameters media " +
                std::to_string(static_cast<const TAPE_SET_MEDIA_PARAMETERS*>(info)->BlockSize));
        }
        return m_drive.SetTapeParameters(operation, info);
    }
    DWORD GetTapePosition(DWORD type, DWORD* partition, DWORD* low, DWORD* high) override
    {
        Log(type == TAPE_LOGICAL_POSITION ? "GetTapePosition logical" : "GetTapePosition ?");
        return m_drive.GetTapePosition(type, partition, low, high);
    }
    DWORD SetTapePosition(DWORD method, DWORD partition, DWORD low, DWORD high,
                          bool immediate) override
    {
        Log(method == TAPE_REWIND          ? std::string("SetTapePosition rewind")
            : method == TAPE_LOGICAL_BLOCK ? "SetTapePosition block " + std::to_string(low)
                                           : std::string("SetTapePosition ?"));
        return m_drive.SetTapePosition(method, partition, low, high, immediate);
    }
    bool Read(void* buffer, DWORD count, DWORD& done) override
    {
        Log("Read " + std::to_string(count));
        return m_drive.Read(buffer, count, done);
    }
    bool Write(const void* buffer, DWORD count, DWORD& done) override
    {
        Log("Write " + std::to_string(count));
        return m_drive.Write(buffer, count, done);
    }

private:
    void Log(std::string call) { m_script.calls.push_back(std::move(call)); }

    CTapeApi& m_drive;
    SScript& m_script;
};

// A record filled with one letter; '.' stands for a record of zeros.
std::string Rec(char letter)
{
    return std::string(kRecord, letter == '.' ? '\0' : letter);
}

// A block of the given number of slots holding the lettered records, zeros
// after them.
std::string Block(const std::string& letters, std::size_t slots = 20)
{
    std::string block;
    for (char letter : letters)
        block += Rec(letter);
    return block + std::string((slots - letters.size()) * kRecord, '\0');
}

Record RecordOf(char letter)
{
    Record record;
    const std::string text = Rec(letter);
    std::copy(text.begin(), text.end(), record.begin());
    return record;
}

std::size_t Count(const Calls& calls, const std::string& call)
{
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

class CTarTapeDeviceTest : public testing::Test
{
protected:
    CTarTapeDeviceTest()
        : m_image(m_folder / "tape.tap"), m_drive(m_image),
          m_device(
              [this](const std::string& name) -> std::unique_ptr<CTapeApi>
              {
                  m_names.push_back(name);
                  return std::make_unique<CRecordingTape>(m_drive, m_script);
              },
              [this](unsigned milliseconds) { m_waits.push_back(milliseconds); })
    {
    }

    void Tape(const std::vector<std::string>& blocks)
    {
        ASSERT_TRUE(CSimhTape::WriteImage(m_image, blocks));
    }

    void Open(int blockingFactor = 20)
    {
        m_device.Open(kName, blockingFactor, false);
        m_script.calls.clear();
    }

    // The blocks on tape; the device is closed first, which writes nothing.
    std::vector<std::string> Blocks()
    {
        m_device.Close();
        std::vector<std::string> blocks;
        EXPECT_TRUE(CSimhTape::ReadImage(m_image, blocks));
        return blocks;
    }

    void Write(const std::string& letters)
    {
        for (char letter : letters)
            m_device.WriteRecord(RecordOf(letter).data(), 0, false);
    }

    // The first byte of each record read, '.' for zeros; '!' once a read fails.
    std::string Read(int count)
    {
        std::string letters;
        for (int i = 0; i < count; ++i)
        {
            Record record = RecordOf('?');
            if (!m_device.ReadRecord(record.data()))
                return letters + '!';
            letters += record[0] == 0 ? '.' : static_cast<char>(record[0]);
        }
        return letters;
    }

    // A member of the given size with contents of that many letters.
    void WriteMember(const std::string& name, std::size_t size, char letter, bool swap = false)
    {
        Record header{};
        std::copy(name.begin(), name.end(), header.begin());
        std::snprintf(reinterpret_cast<char*>(header.data()) + 124, 12, "%011llo",
                      static_cast<unsigned long long>(size));
        CFile contents;
        ASSERT_TRUE(
            contents.Open(m_folder.WriteFile(name, std::string(size, letter)), CFile::modeRead));
        m_device.WriteEntry(header.data(), swap, &contents);
    }

    CTestFolder m_folder;
    std::string m_image;
    CSimhTape m_drive;
    SScript m_script;
    std::vector<std::string> m_names;
    std::vector<unsigned> m_waits;
    CTarTapeDevice m_device;
};

} // namespace

// ------------------------------------------------------------------ opening

TEST_F(CTarTapeDeviceTest, FirstOpenOfAVariableBlockTapeHoldingDataMakesExactlyTheseCalls)
{
    Tape({Block("ab"), Block("c")});
    m_device.Open("\\\\.\\TAPE0", 20, false);

    const Calls params = {"GetTapeParameters drive", "GetTapeParameters media"};
    Calls expected = {"Open \\\\.\\TAPE0", "PrepareTape load"};
    auto add = [&expected](const Calls& calls)
    { expected.insert(expected.end(), calls.begin(), calls.end()); };
    add(params);
    add(params);
    add({"SetTapeParameters drive"});
    add(params);
    add({"SetTapeParameters media 0"});
    add(params);
    add(params);
    add(params);
    add({"SetTapePosition rewind", "Read 10240", "GetTapePosition logical"});
    add(params);
    add({"SetTapeParameters media 10240"});
    add(params);
    add({"SetTapePosition rewind"});
    EXPECT_EQ(m_script.calls, expected);
    // The name reaches the drive exactly as the user's choice gave it.
    EXPECT_EQ(m_names, Calls{"\\\\.\\TAPE0"});
    EXPECT_EQ(m_device.GetName(), "\\\\.\\TAPE0");
    EXPECT_TRUE(m_waits.empty());
}

namespace
{

struct SBlockSizeCase
{
    const char* name;
    std::vector<std::string> blocks; // on tape before the open
    DWORD fixedMedium;
    DWORD maximum;
    std::size_t expected;
};

void PrintTo(const SBlockSizeCase& c, std::ostream* os)
{
    *os << c.name;
}

class CBlockSizeTest : public CTarTapeDeviceTest, public testing::WithParamInterface<SBlockSizeCase>
{
};

const SBlockSizeCase kBlockSizeCases[] = {
    {"BlankTapeTakesTheBlockingFactor", {}, 0, 65536, 10240},
    {"BlankTapeWithinTheDriveLimit", {}, 0, 4096, 4096},
    {"DetectedFromRecordSizedBlocks", {Rec('a'), Rec('b')}, 0, 65536, 512},
    {"FixedMediumDecides", {}, 1024, 65536, 1024},
};

} // namespace

// The block size shows in the block that a flushed record sends to tape.
TEST_P(CBlockSizeTest, ChoosesTheBlockSize)
{
    const SBlockSizeCase& c = GetParam();
    Tape(c.blocks);
    m_drive.SetBlockLimits(1, std::min<DWORD>(10240, c.maximum), c.maximum);
    m_drive.SetFixedBlockMedium(c.fixedMedium);
    Open();
    m_device.WriteRecord(RecordOf('z').data(), 0, true);
    const auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], Block("z", c.expected / kRecord));
}

INSTANTIATE_TEST_SUITE_P(Tape, CBlockSizeTest, testing::ValuesIn(kBlockSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace
{

struct SRefusedCase
{
    const char* name;
    std::vector<std::string> blocks;
    DWORD fixedMedium;
    DWORD maximum;
    int blockingFactor;
    std::string message;
};

void PrintTo(const SRefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class CRefusedBlockSizeTest : public CTarTapeDeviceTest,
                              public testing::WithParamInterface<SRefusedCase>
{
};

std::string Unusable(int blockSize, int blockingFactor)
{
    return "The tape's block size of " + std::to_string(blockSize) +
           " bytes cannot be used with a blocking factor of " + std::to_string(blockingFactor) +
           ".";
}

const SRefusedCase kRefusedCases[] = {
    {"NotWholeRecordsOnFixedMedium", {}, 1000, 65536, 20, Unusable(1000, 20)},
    {"NotWholeRecordsMeasured", {std::string(1000, 'x')}, 0, 65536, 20, Unusable(1000, 20)},
    {"LargerThanTheBuffer", {}, 2048, 65536, 2, Unusable(2048, 2)},
    {"NoBlockSizeAtAll", {}, 0, 0, 20, "The tape drive reports no usable block size."},
};

} // namespace

TEST_P(CRefusedBlockSizeTest, RefusesAtOpenAndCloses)
{
    const SRefusedCase& c = GetParam();
    Tape(c.blocks);
    m_drive.SetBlockLimits(c.maximum == 0 ? 0 : 1, c.maximum == 0 ? 0 : 512, c.maximum);
    m_drive.SetFixedBlockMedium(c.fixedMedium);
    ExpectMessage(c.message, [&] { m_device.Open(kName, c.blockingFactor, false); });
    EXPECT_FALSE(m_device.IsOpen());
    EXPECT_EQ(m_device.GetName(), "");
    EXPECT_EQ(m_script.calls.back(), "Close");
    EXPECT_TRUE(m_waits.empty());
}

INSTANTIATE_TEST_SUITE_P(Tape, CRefusedBlockSizeTest, testing::ValuesIn(kRefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CTarTapeDeviceTest, WaitsWhileTheDriveIsNotReady)
{
    Tape({});
    m_drive.Faults().nNotReady = 5;
    Open();
    EXPECT_TRUE(m_device.IsOpen());
    EXPECT_EQ(m_waits, std::vector<unsigned>(5, 2000));
    EXPECT_EQ(m_names.size(), 6u);
}

TEST_F(CTarTapeDeviceTest, GivesUpOnADriveThatNeverBecomesReady)
{
    Tape({});
    m_drive.Faults().nNotReady = 1000;
    ExpectOsError(ERROR_NOT_READY, [&] { m_device.Open(kName, 20, false); });
    EXPECT_EQ(m_waits, std::vector<unsigned>(10, 2000));
    EXPECT_EQ(m_names.size(), 10u);
    EXPECT_FALSE(m_device.IsOpen());
    EXPECT_EQ(m_device.GetName(), "");
}

TEST_F(CTarTapeDeviceTest, MediaChangedAndBusResetAreNoFailures)
{
    Tape({});
    m_drive.Faults().bMediaChanged = true;
    Open();
    EXPECT_TRUE(m_device.IsOpen());
    m_drive.Faults().bBusReset = true;
    Open();
    EXPECT_TRUE(m_device.IsOpen());
    EXPECT_TRUE(m_waits.empty());
}

TEST_F(CTarTapeDeviceTest, OtherFailuresCloseAtOnce)
{
    // A drive without a tape, a drive the system does not know, and a
    // name that is not a tape's.
    Tape({});
    m_script.loadStatus = ERROR_NO_MEDIA_IN_DRIVE;
    ExpectOsError(ERROR_NO_MEDIA_IN_DRIVE, [&] { m_device.Open(kName, 20, false); });
    EXPECT_FALSE(m_device.IsOpen());

    CTarTapeDevice unknown([](const std::string&) { return std::unique_ptr<CTapeApi>(); },
                           [this](unsigned ms) { m_waits.push_back(ms); });
    ExpectOsError(ERROR_FILE_NOT_FOUND, [&] { unknown.Open(kName, 20, false); });
    EXPECT_FALSE(unknown.IsOpen());

    ExpectMessage("This is not a tape device.",
                  [&] { m_device.Open(m_folder / "a.tar", 20, false); });
    EXPECT_TRUE(m_waits.empty());
}

TEST_F(CTarTapeDeviceTest, SetsTheDriveOptionsTheDriveOffers)
{
    Tape({});
    // A drive that cannot compress keeps its own setting.
    m_drive.SetFeatures(CSimhTape::kDefaultFeaturesLow & ~TAPE_DRIVE_COMPRESSION,
                        CSimhTape::kDefaultFeaturesHigh);
    m_device.Open(kName, 20, true);
    EXPECT_EQ(m_script.options.Compression, 0);

    m_drive.SetFeatures(CSimhTape::kDefaultFeaturesLow, CSimhTape::kDefaultFeaturesHigh);
    m_device.Open(kName, 20, true);
    EXPECT_EQ(m_script.options.Compression, 1);
    EXPECT_EQ(m_script.options.ReportSetmarks, 0);
    EXPECT_EQ(m_script.options.EOTWarningZoneSize, 0u);
}

// ----------------------------------------------------------------- writing

TEST_F(CTarTapeDeviceTest, TheTwentiethRecordSendsTheFirstBlock)
{
    Tape({});
    Open();
    Write("abcdefghijklmnopqrs");
    EXPECT_EQ(Count(m_script.calls, "Write 10240"), 0u);
    Write("t");
    EXPECT_EQ(m_script.calls, (Calls{"GetTapePosition logical", "Write 10240"}));
    EXPECT_EQ(Blocks(), std::vector<std::string>{Block("abcdefghijklmnopqrst")});
}

TEST_F(CTarTapeDeviceTest, AOneHundredByteMemberIsOneBlockWithZerosAfterTheEndMarker)
{
    // Reading leaves old records in the buffer; none may reach the tape.
    Tape({Block("xxxxxxxxxxxxxxxxxxxx")});
    Open();
    EXPECT_EQ(Read(1), "x");
    ASSERT_TRUE(m_device.Seek(0, CTarDevice::SEEK_FROM_START));
    m_script.calls.clear();

    WriteMember("m", 100, 'd');
    m_device.WriteEnd();
    EXPECT_EQ(Count(m_script.calls, "Write 10240"), 1u);
    const auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].substr(0, 1), "m");
    EXPECT_EQ(blocks[0].substr(kRecord, kRecord), std::string(100, 'd') + std::string(412, '\0'));
    EXPECT_EQ(blocks[0].substr(2 * kRecord), std::string(18 * kRecord, '\0'));
}

TEST_F(CTarTapeDeviceTest, TwentyThreeRecordsAndTheMarkerMakeTwoBlocks)
{
    Tape({});
    Open();
    Write("abcdefghijklmnopqrstuvw");
    m_device.WriteEnd();
    EXPECT_EQ(Blocks(), (std::vector<std::string>{Block("abcdefghijklmnopqrst"), Block("uvw")}));
}

TEST_F(CTarTapeDeviceTest, AnAppendAfterTheEndMarkerLandsOnIt)
{
    Tape({});
    Open();
    Write("ab");
    m_device.WriteEnd();
    m_script.calls.clear();
    // Record 2 lies in the block just written: the tape goes back to it at
    // once, and the buffer still holds its records.
    ASSERT_TRUE(m_device.Seek(-2, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(m_script.calls, Calls{"SetTapePosition block 0"});
    Write("c");
    m_device.WriteEnd();
    EXPECT_EQ(Blocks(), std::vector<std::string>{Block("abc")});
}

TEST_F(CTarTapeDeviceTest, SwapsEveryBytePairOfASwappedEntry)
{
    Tape({});
    Open();
    WriteMember("ab", 3, 'x', true);
    m_device.WriteEnd();
    const auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].substr(0, 2), "ba");
    EXPECT_EQ(blocks[0].substr(kRecord, 4), std::string("xx\0x", 4));
}

TEST_F(CTarTapeDeviceTest, ReportsEachRecordWithItsPayload)
{
    struct CRecorder : CEventHandler
    {
        int OnEvent(void* record)
        {
            const auto* event = static_cast<const SDeviceEvent*>(record);
            if (event->nKind == SDeviceEvent::DEVICE_EVENT_WRITTEN)
                payloads.push_back(event->nBytes);
            return 0;
        }
        std::vector<std::int32_t> payloads;
    } recorder;
    m_device.Advise(&recorder, &CRecorder::OnEvent);
    Tape({});
    Open();
    WriteMember("m", 513, 'x');
    m_device.WriteEnd();
    EXPECT_EQ(recorder.payloads, (std::vector<std::int32_t>{0, 512, 1, 0, 0}));
}

TEST_F(CTarTapeDeviceTest, AWriteFailureRaisesTheDrivesError)
{
    Tape({});
    Open();
    m_drive.Faults().nWriteFailBlock = 0;
    ExpectOsError(ERROR_IO_DEVICE, [&] { m_device.WriteEnd(); });
}

TEST_F(CTarTapeDeviceTest, CloseWritesNothing)
{
    Tape({Block("a")});
    Open();
    Write("xyz");
    EXPECT_EQ(Blocks(), std::vector<std::string>{Block("a")});
    EXPECT_EQ(m_device.GetName(), "");
}

// ----------------------------------------------- appending across a block edge

TEST_F(CTarTapeDeviceTest, AppendingBehindAnEndMarkerInTwoBlocksKeepsTheRecordsBeforeIt)
{
    // The scan reads the marker's second record from the next block, then
    // steps back into the first.
    Tape({Block("abcdefghijklmnopqrs"), Block("")});
    Open();
    EXPECT_EQ(Read(22), "abcdefghijklmnopqrs...");
    ASSERT_TRUE(m_device.Seek(-3, CTarDevice::SEEK_FROM_CURRENT));
    Write("T");
    m_device.WriteEnd();
    EXPECT_EQ(Blocks(), (std::vector<std::string>{Block("abcdefghijklmnopqrsT"), Block("")}));
}

TEST_F(CTarTapeDeviceTest, AppendingAgainBehindAMarkerThatStraddlesTwoBlocks)
{
    Tape({});
    Open();
    Write("abcdefghijklmnopqrs");
    m_device.WriteEnd();
    ASSERT_TRUE(m_device.Seek(-2, CTarDevice::SEEK_FROM_CURRENT));
    Write("T");
    m_device.WriteEnd();
    EXPECT_EQ(Blocks(), (std::vector<std::string>{Block("abcdefghijklmnopqrsT"), Block("")}));
}

// ----------------------------------------------------------------- reading

TEST_F(CTarTapeDeviceTest, ServesRecordsOfTheBlockReadFromTheBuffer)
{
    Tape({Block("abcdefg"), Block("hi")});
    Open();
    EXPECT_EQ(Read(2), "ab");
    ASSERT_TRUE(m_device.Seek(5, CTarDevice::SEEK_FROM_START));
    EXPECT_EQ(Read(1), "f");
    EXPECT_EQ(m_script.calls, Calls{"Read 10240"});

    // Back at the start the tape is read again, and the next block follows.
    ASSERT_TRUE(m_device.Seek(-6, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(Read(22), "abcdefg" + std::string(13, '.') + "hi");
}

TEST_F(CTarTapeDeviceTest, AFileMarkOrTheEndOfTheDataEndsTheArchive)
{
    for (const auto& blocks : {std::vector<std::string>{Block("a"), "", Block("b")},
                               std::vector<std::string>{Block("a")}})
    {
        Tape(blocks);
        Open();
        EXPECT_EQ(Read(20), "a" + std::string(19, '.'));
        Record record = RecordOf('?');
        EXPECT_FALSE(m_device.ReadRecord(record.data()));
        EXPECT_EQ(record, Record{});
    }
}

TEST_F(CTarTapeDeviceTest, ABlockTooLargeForTheBlockingFactorIsNoEnd)
{
    Tape({std::string(20480, 'a')});
    Open();
    ExpectMessage("Incorrect blocking factor.", [&] { Read(1); });
    m_drive.Faults().bWrongBlockLength = true;
    ASSERT_TRUE(m_device.Seek(0, CTarDevice::SEEK_FROM_START));
    ExpectMessage("Incorrect blocking factor.", [&] { Read(1); });
}

// ------------------------------------------------------------------ others

TEST_F(CTarTapeDeviceTest, EraseLeavesTwoZeroBlocksAtTheStart)
{
    Tape({Rec('a'), Rec('b'), Rec('c')});
    Open();
    EXPECT_EQ(Read(1), "a");
    m_device.Erase();
    EXPECT_EQ(Read(3), "...");
    EXPECT_EQ(Blocks(), (std::vector<std::string>{Block(""), Block("")}));
}

TEST_F(CTarTapeDeviceTest, EjectsWhenTheDriveCan)
{
    EXPECT_FALSE(m_device.CanEject());
    EXPECT_TRUE(m_script.calls.empty());

    Tape({});
    Open();
    EXPECT_EQ(m_device.GetSize(), 140737488355327u);
    EXPECT_TRUE(m_device.CanEject());
    m_device.Eject();
    EXPECT_FALSE(m_device.IsOpen());
    EXPECT_EQ(m_script.calls, (Calls{"GetTapeParameters drive", "GetTapeParameters media",
                                     "PrepareTape unload", "PrepareTape unlock", "Close"}));

    m_drive.SetFeatures(CSimhTape::kDefaultFeaturesLow & ~TAPE_DRIVE_EJECT_MEDIA,
                        CSimhTape::kDefaultFeaturesHigh);
    Open();
    EXPECT_FALSE(m_device.CanEject());
    EXPECT_EQ(Count(m_script.calls, "GetTapeParameters drive"), 1u);
}

TEST_F(CTarTapeDeviceTest, AClosedDeviceTouchesNoDrive)
{
    Record record{};
    ExpectOsError(ERROR_INVALID_HANDLE, [&] { m_device.ReadRecord(record.data()); });
    ExpectOsError(ERROR_INVALID_HANDLE, [&] { m_device.WriteRecord(record.data(), 0, true); });
    ExpectOsError(ERROR_INVALID_HANDLE, [&] { m_device.Seek(0, CTarDevice::SEEK_FROM_START); });
    ExpectOsError(ERROR_INVALID_HANDLE, [&] { m_device.Eject(); });
    EXPECT_TRUE(m_names.empty());
}
