#include "platform/CSimhTape.h"

#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

using Blocks = std::vector<std::string>;

std::string Word(std::uint32_t word)
{
    std::string bytes;
    for (unsigned shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((word >> shift) & 0xFF);
    return bytes;
}

// Each case in a fresh folder, with the drive over "tape.tap" in it.
class CSimhTapeTest : public ::testing::Test
{
protected:
    CSimhTapeTest() : m_path(NativePath(m_folder, "tape.tap")), m_tape(m_path) {}

    void Load(const Blocks& blocks)
    {
        ASSERT_TRUE(CSimhTape::WriteImage(m_path, blocks));
        ASSERT_TRUE(m_tape.Open("\\\\.\\tape0"));
    }
    void LoadBytes(const std::string& image)
    {
        m_folder.WriteFile("tape.tap", image);
        ASSERT_TRUE(m_tape.Open("\\\\.\\tape0"));
    }

    // The next block, or the error that ended the read ("#" and its code).
    std::string Next(DWORD count = 64)
    {
        std::string buffer(count, '\0');
        DWORD done = 99;
        CSystemError::SetLast(ERROR_SUCCESS);
        if (!m_tape.Read(buffer.data(), count, done))
            return "#" + std::to_string(CSystemError::GetLast()) + "/" + std::to_string(done);
        return buffer.substr(0, done);
    }
    DWORD Put(const std::string& data)
    {
        DWORD done = 0;
        CSystemError::SetLast(ERROR_SUCCESS);
        const bool written = m_tape.Write(data.data(), static_cast<DWORD>(data.size()), done);
        EXPECT_EQ(written, CSystemError::GetLast() == ERROR_SUCCESS);
        return written ? done : CSystemError::GetLast();
    }
    std::uint64_t Where()
    {
        DWORD partition = 9, low = 0, high = 0;
        EXPECT_EQ(m_tape.GetTapePosition(TAPE_LOGICAL_POSITION, &partition, &low, &high), 0u);
        return static_cast<std::uint64_t>(high) << 32 | low;
    }
    DWORD GoTo(DWORD method, DWORD block = 0)
    {
        return m_tape.SetTapePosition(method, 0, block, 0, false);
    }
    Blocks OnImage()
    {
        Blocks blocks;
        EXPECT_TRUE(CSimhTape::ReadImage(m_path, blocks));
        return blocks;
    }
    TAPE_GET_MEDIA_PARAMETERS Media()
    {
        TAPE_GET_MEDIA_PARAMETERS media{};
        DWORD size = sizeof(media);
        EXPECT_EQ(m_tape.GetTapeParameters(GET_TAPE_MEDIA_INFORMATION, &size, &media), 0u);
        return media;
    }
    DWORD SetBlockSize(DWORD size)
    {
        TAPE_SET_MEDIA_PARAMETERS media{size};
        return m_tape.SetTapeParameters(SET_TAPE_MEDIA_INFORMATION, &media);
    }

    static std::string Failure(DWORD code, DWORD done = 0)
    {
        return "#" + std::to_string(code) + "/" + std::to_string(done);
    }

    CTestFolder m_folder;
    std::string m_path;
    CSimhTape m_tape;
};

TEST_F(CSimhTapeTest, ImageBytesAreTheLengthTheDataAPadAndTheLengthAgain)
{
    const std::string odd = Word(3) + "abc" + std::string(1, '\0') + Word(3);
    const std::string even = Word(4) + "wxyz" + Word(4);
    ASSERT_TRUE(CSimhTape::WriteImage(m_path, {"abc", "", "wxyz"}));
    EXPECT_EQ(m_folder.ReadFile("tape.tap"), odd + Word(0) + even);

    // The drive writes the same bytes, and takes them back as they went.
    ASSERT_TRUE(CSimhTape::WriteImage(m_path, {}));
    ASSERT_TRUE(m_tape.Open(""));
    EXPECT_EQ(Put("abc"), 3u);
    EXPECT_EQ(Put("wxyz"), 4u);
    EXPECT_EQ(m_folder.ReadFile("tape.tap"), odd + even);
    EXPECT_EQ(GoTo(TAPE_REWIND), 0u);
    EXPECT_EQ(Next(), "abc");
    EXPECT_EQ(Next(), "wxyz");
}

TEST_F(CSimhTapeTest, MarksStopAReadOnceGapsAreSkippedAndTheEndsStay)
{
    // A half gap is two bytes of 0xFF before a gap.
    LoadBytes(Word(2) + "ab" + Word(2) + Word(0xFFFFFFFE) + Word(0) + std::string(2, '\xFF') +
              Word(0xFFFFFFFE) + Word(1) + "c" + std::string(1, '\0') + Word(1));
    EXPECT_EQ(Next(), "ab");
    EXPECT_EQ(Next(), Failure(ERROR_FILEMARK_DETECTED));
    EXPECT_EQ(Next(), "c");
    EXPECT_EQ(Where(), 3u) << "tape marks count as blocks";
    EXPECT_EQ(Next(), Failure(ERROR_NO_DATA_DETECTED));
    EXPECT_EQ(Next(), Failure(ERROR_NO_DATA_DETECTED));
    EXPECT_EQ(Where(), 3u);
    EXPECT_EQ(OnImage(), (Blocks{"ab", "", "c"}));

    m_tape.Close();
    LoadBytes(Word(2) + "ab" + Word(2) + Word(0xFFFFFFFF) + Word(2) + "zz" + Word(2));
    EXPECT_EQ(Next(), "ab");
    EXPECT_EQ(Next(), Failure(ERROR_END_OF_MEDIA));
    EXPECT_EQ(Next(), Failure(ERROR_END_OF_MEDIA));
    EXPECT_EQ(OnImage(), (Blocks{"ab"}));
}

TEST_F(CSimhTapeTest, DamageAndBadBlocksAreDataErrors)
{
    struct SCase
    {
        const char* what;
        std::string image;
        Blocks before; // what reads before the error
    };
    const SCase cases[] = {
        {"cut short", Word(2) + "ab" + Word(2) + Word(10) + "abc", {"ab"}},
        {"trailer differs", Word(2) + "ab" + Word(3), {}},
        {"stray bytes at the end", Word(1) + "a" + std::string(1, '\0') + Word(1) + "xy", {"a"}},
        {"unknown mark", Word(0xFFFFFFF0), {}},
        {"recorded as bad", Word(0x80000002) + "ab" + Word(0x80000002), {}},
        {"longer than a drive's block",
         Word(2) + "ab" + Word(2) + Word(0x01000000) + std::string(0x01000000, 'x') +
             Word(0x01000000),
         {"ab"}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        LoadBytes(c.image);
        for (const std::string& block : c.before)
            EXPECT_EQ(Next(), block);
        EXPECT_EQ(Next(), Failure(ERROR_CRC));
        Blocks blocks;
        CSystemError::SetLast(ERROR_SUCCESS);
        EXPECT_FALSE(CSimhTape::ReadImage(m_path, blocks));
        EXPECT_EQ(CSystemError::GetLast(), static_cast<DWORD>(ERROR_CRC));
        m_tape.Close();
    }
}

TEST_F(CSimhTapeTest, ABlockLargerThanTheBufferIsPassedOver)
{
    Load({"0123456789", "next"});
    EXPECT_EQ(Next(4), Failure(ERROR_INVALID_BLOCK_LENGTH));
    EXPECT_EQ(Where(), 1u);
    EXPECT_EQ(Next(4), "next");
}

TEST_F(CSimhTapeTest, FixedBlocksMoveInWholeBlocksOfTheSize)
{
    Load({});
    ASSERT_EQ(SetBlockSize(4), 0u);
    EXPECT_EQ(Media().BlockSize, 4u);
    EXPECT_EQ(Put("aaaabbbbcccc"), 12u);
    EXPECT_EQ(Put("dddddd"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(OnImage(), (Blocks{"aaaa", "bbbb", "cccc"}));

    EXPECT_EQ(GoTo(TAPE_REWIND), 0u);
    EXPECT_EQ(Next(6), Failure(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Next(8), "aaaabbbb");
    EXPECT_EQ(Where(), 2u);
    // As the tape device measures the block size: bytes read over blocks passed.
    EXPECT_EQ(Next(12), Failure(ERROR_NO_DATA_DETECTED, 4));
    EXPECT_EQ(Where(), 3u);

    m_tape.Close();
    Load({"aaaa", "bb"});
    ASSERT_EQ(SetBlockSize(4), 0u);
    EXPECT_EQ(Next(8), Failure(ERROR_INVALID_BLOCK_LENGTH, 4));
}

TEST_F(CSimhTapeTest, WritingEndsTheRecordedDataThere)
{
    Load({"one", "", "three", "four"});
    // As when appending: the whole tape read first, then a step back.
    ASSERT_EQ(GoTo(TAPE_SPACE_END_OF_DATA), 0u);
    ASSERT_EQ(GoTo(TAPE_LOGICAL_BLOCK, 2), 0u);
    EXPECT_EQ(Put("3"), 1u);
    EXPECT_EQ(Next(), Failure(ERROR_NO_DATA_DETECTED));
    EXPECT_EQ(OnImage(), (Blocks{"one", "", "3"}));
    EXPECT_EQ(fs::file_size(m_path), 4 + 3 + 1 + 4 + 4 + 4 + 1 + 1 + 4u);

    ASSERT_EQ(GoTo(TAPE_REWIND), 0u);
    EXPECT_EQ(Put("1"), 1u);
    EXPECT_EQ(OnImage(), (Blocks{"1"}));
}

TEST_F(CSimhTapeTest, PositioningByBlockStopsAtTheEnd)
{
    Load({"a", "", "b", "c"});
    EXPECT_EQ(GoTo(TAPE_LOGICAL_BLOCK, 2), 0u);
    EXPECT_EQ(Next(), "b");
    EXPECT_EQ(GoTo(TAPE_ABSOLUTE_BLOCK, 4), 0u);
    EXPECT_EQ(Next(), Failure(ERROR_NO_DATA_DETECTED));
    EXPECT_EQ(GoTo(TAPE_LOGICAL_BLOCK, 1), 0u);
    EXPECT_EQ(Next(), Failure(ERROR_FILEMARK_DETECTED));
    EXPECT_EQ(GoTo(TAPE_LOGICAL_BLOCK, 0xFFFFFFFF), static_cast<DWORD>(ERROR_NO_DATA_DETECTED));
    EXPECT_EQ(Where(), 4u);
    EXPECT_EQ(GoTo(TAPE_REWIND), 0u);
    EXPECT_EQ(Where(), 0u);
    EXPECT_EQ(GoTo(TAPE_SPACE_END_OF_DATA), 0u);
    EXPECT_EQ(Where(), 4u);

    m_tape.Close();
    LoadBytes(Word(1) + "a" + std::string(1, '\0') + Word(1) + Word(0xFFFFFFFF));
    EXPECT_EQ(GoTo(TAPE_LOGICAL_BLOCK, 5), static_cast<DWORD>(ERROR_END_OF_MEDIA));
    EXPECT_EQ(Where(), 1u);
}

TEST_F(CSimhTapeTest, WriteProtectionRefusesWriting)
{
    Load({"kept"});
    m_tape.SetWriteProtected(true);
    EXPECT_TRUE(Media().WriteProtected);
    EXPECT_EQ(Put("lost"), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_EQ(OnImage(), (Blocks{"kept"}));
}

TEST_F(CSimhTapeTest, AReadOnlyImageIsAWriteProtectedTape)
{
    ASSERT_TRUE(CSimhTape::WriteImage(m_path, {"kept"}));
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(m_path, readOnly);
    CFile probe;
    if (probe.Open(m_path, CFile::modeReadWrite))
    {
        probe.Close();
        fs::permissions(m_path, fs::perms::owner_write, fs::perm_options::add);
        GTEST_SKIP() << "this account may write to read-only files";
    }
    ASSERT_TRUE(m_tape.Open(""));
    EXPECT_TRUE(Media().WriteProtected);
    EXPECT_EQ(Put("lost"), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_EQ(Next(), "kept");
    m_tape.Close();
    fs::permissions(m_path, fs::perms::owner_write, fs::perm_options::add); // else the folder stays
}

TEST_F(CSimhTapeTest, AnEjectedTapeIsGoneUntilLoaded)
{
    Load({"block"});
    EXPECT_EQ(m_tape.PrepareTape(TAPE_UNLOAD, false), 0u);
    EXPECT_EQ(m_tape.PrepareTape(TAPE_UNLOCK, false), 0u);
    TAPE_GET_DRIVE_PARAMETERS drive{};
    DWORD size = sizeof(drive), partition = 0, low = 0, high = 0;
    EXPECT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive),
              static_cast<DWORD>(ERROR_NO_MEDIA_IN_DRIVE));
    EXPECT_EQ(m_tape.GetTapePosition(TAPE_LOGICAL_POSITION, &partition, &low, &high),
              static_cast<DWORD>(ERROR_NO_MEDIA_IN_DRIVE));
    EXPECT_EQ(GoTo(TAPE_REWIND), static_cast<DWORD>(ERROR_NO_MEDIA_IN_DRIVE));
    EXPECT_EQ(SetBlockSize(0), static_cast<DWORD>(ERROR_NO_MEDIA_IN_DRIVE));
    EXPECT_EQ(m_tape.PrepareTape(TAPE_UNLOAD, false), static_cast<DWORD>(ERROR_NO_MEDIA_IN_DRIVE));
    EXPECT_EQ(Next(), Failure(ERROR_NO_MEDIA_IN_DRIVE));
    EXPECT_EQ(Put("x"), static_cast<DWORD>(ERROR_NO_MEDIA_IN_DRIVE));

    EXPECT_EQ(m_tape.PrepareTape(TAPE_LOAD, false), 0u);
    EXPECT_EQ(Next(), "block");
}

TEST_F(CSimhTapeTest, InjectedFaultsFireAsOftenAsAskedAndNoMore)
{
    Load({"one", "two"});
    m_tape.Faults().nNotReady = 3;
    TAPE_GET_DRIVE_PARAMETERS drive{};
    DWORD size = sizeof(drive), partition = 0, low = 0, high = 0;
    EXPECT_EQ(m_tape.PrepareTape(TAPE_LOAD, false), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive),
              static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(m_tape.GetTapePosition(TAPE_LOGICAL_POSITION, &partition, &low, &high),
              static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(m_tape.PrepareTape(TAPE_LOAD, false), 0u);

    // The call is carried out; only its status tells of the event.
    m_tape.Faults().bMediaChanged = true;
    m_tape.Faults().bBusReset = true;
    EXPECT_EQ(GoTo(TAPE_LOGICAL_BLOCK, 1), static_cast<DWORD>(ERROR_MEDIA_CHANGED));
    EXPECT_EQ(m_tape.GetTapePosition(TAPE_LOGICAL_POSITION, &partition, &low, &high),
              static_cast<DWORD>(ERROR_BUS_RESET));
    EXPECT_EQ(low, 1u);
    EXPECT_EQ(Where(), 1u);

    m_tape.Faults().bWrongBlockLength = true;
    EXPECT_EQ(Next(), Failure(ERROR_INVALID_BLOCK_LENGTH));
    EXPECT_EQ(Next(), "two");

    m_tape.Faults().nWriteFailBlock = 3;
    m_tape.Faults().dwWriteError = ERROR_CRC;
    ASSERT_EQ(SetBlockSize(2), 0u);
    EXPECT_EQ(Put("aabbcc"), static_cast<DWORD>(ERROR_CRC));
    EXPECT_EQ(OnImage(), (Blocks{"one", "two", "aa"}));
    EXPECT_EQ(Put("bb"), 2u);
}

TEST_F(CSimhTapeTest, ParametersReadBackAsSet)
{
    Load({});
    TAPE_GET_DRIVE_PARAMETERS drive{};
    DWORD size = sizeof(drive) - 1;
    EXPECT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(size, sizeof(drive));
    ASSERT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive), 0u);
    EXPECT_EQ(drive.FeaturesHigh & TAPE_DRIVE_HIGH_FEATURES, 0u) << "the device marks it itself";
    EXPECT_EQ((drive.FeaturesHigh | TAPE_DRIVE_HIGH_FEATURES) & TAPE_DRIVE_SET_BLOCK_SIZE,
              TAPE_DRIVE_SET_BLOCK_SIZE);
    EXPECT_EQ(drive.MaximumBlockSize, 65536u);

    TAPE_SET_DRIVE_PARAMETERS options{};
    options.Compression = 1;
    options.EOTWarningZoneSize = 7;
    ASSERT_EQ(m_tape.SetTapeParameters(SET_TAPE_DRIVE_INFORMATION, &options), 0u);
    ASSERT_EQ(m_tape.GetTapeParameters(GET_TAPE_DRIVE_INFORMATION, &size, &drive), 0u);
    EXPECT_EQ(drive.Compression, 1);
    EXPECT_EQ(drive.EOTWarningZoneSize, 7u);

    m_tape.SetBlockLimits(512, 1024, 2048);
    EXPECT_EQ(SetBlockSize(4096), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SetBlockSize(2048), 0u);
    EXPECT_EQ(Media().BlockSize, 2048u);
    EXPECT_EQ(SetBlockSize(0), 0u);
    EXPECT_EQ(Media().BlockSize, 0u);

    m_tape.SetFixedBlockMedium(1024);
    EXPECT_EQ(Media().BlockSize, 1024u);
    EXPECT_EQ(SetBlockSize(0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SetBlockSize(512), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SetBlockSize(1024), 0u);
}

TEST_F(CSimhTapeTest, TheCapacityEndsTheMedium)
{
    Load({});
    m_tape.SetCapacity(100);
    EXPECT_EQ(Put(std::string(40, 'a')), 40u); // 48 image bytes
    EXPECT_EQ(Media().Remaining.QuadPart, 52);
    EXPECT_EQ(Put(std::string(40, 'b')), 40u);
    EXPECT_EQ(Put(std::string(40, 'c')), static_cast<DWORD>(ERROR_END_OF_MEDIA));
    EXPECT_EQ(OnImage().size(), 2u);
}

TEST_F(CSimhTapeTest, AMissingImageIsNotFound)
{
    CSystemError::SetLast(ERROR_SUCCESS);
    EXPECT_FALSE(m_tape.Open("\\\\.\\tape0"));
    EXPECT_EQ(CSystemError::GetLast(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(m_tape.IsOpen());
    EXPECT_EQ(m_tape.PrepareTape(TAPE_LOAD, false), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

} // namespace
