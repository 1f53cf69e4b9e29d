#include "platform/CFile.h"

#include "platform/CFolder.h"
#include "platform/CSystemError.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

std::string ReadAll(CFile& file)
{
    std::string contents(4096, '\0');
    std::uint32_t done = 0;
    EXPECT_TRUE(file.Seek(0, CFile::begin));
    EXPECT_TRUE(file.Read(contents.data(), static_cast<std::uint32_t>(contents.size()), done));
    contents.resize(done);
    return contents;
}

std::uint64_t LengthOf(const CFile& file)
{
    std::uint64_t length = 0;
    EXPECT_TRUE(file.GetLength(length));
    return length;
}

std::uint64_t PositionOf(const CFile& file)
{
    std::uint64_t position = 0;
    EXPECT_TRUE(file.GetPosition(position));
    return position;
}

std::string TextOf(DWORD code)
{
    std::string text;
    EXPECT_TRUE(CSystemError::LookupText(code, text)) << code;
    return text;
}

// Expects the call to fail with the code, starting from a clean last error so
// that a stale code cannot pass for a fresh one.
template <typename Call> void ExpectFailure(DWORD code, Call call)
{
    CSystemError::SetLast(ERROR_SUCCESS);
    EXPECT_FALSE(call());
    EXPECT_EQ(CSystemError::GetLast(), code);
}

struct SOpenCase
{
    const char* what;
    unsigned flags;
    bool exists;
    std::uint64_t length; // after opening; the file held 12 bytes when it existed
};

const SOpenCase kOpenCases[] = {
    {"create truncates", CFile::modeCreate | CFile::modeWrite, true, 0},
    {"create makes a missing file", CFile::modeCreate | CFile::modeWrite, false, 0},
    {"create with no-truncate keeps",
     CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite, true, 12},
    {"create with no-truncate makes a missing file",
     CFile::modeCreate | CFile::modeNoTruncate | CFile::modeRead, false, 0},
    {"write without create keeps", CFile::modeWrite, true, 12},
    {"read-write keeps", CFile::modeReadWrite | CFile::osSequentialScan, true, 12},
};

struct SFailCase
{
    const char* name; // inside the test folder, which holds file.txt and sub/
    unsigned flags;
    DWORD code;
};

const SFailCase kFailCases[] = {
    {"missing.txt", CFile::modeRead, ERROR_FILE_NOT_FOUND},
    {"missing.txt", CFile::modeReadWrite, ERROR_FILE_NOT_FOUND},
    {"no-folder/missing.txt", CFile::modeRead, ERROR_PATH_NOT_FOUND},
    {"no-folder/missing.txt", CFile::modeCreate | CFile::modeWrite, ERROR_PATH_NOT_FOUND},
    {"file.txt/inner.txt", CFile::modeRead, ERROR_PATH_NOT_FOUND},
    {"sub", CFile::modeRead, ERROR_ACCESS_DENIED},
    {"sub", CFile::modeWrite, ERROR_ACCESS_DENIED},
    {"sub", CFile::modeCreate | CFile::modeWrite, ERROR_ACCESS_DENIED},
    {"sub", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeRead, ERROR_ACCESS_DENIED},
    {"file.txt", CFile::modeWrite | CFile::modeReadWrite, ERROR_INVALID_PARAMETER},
};

} // namespace

TEST(CFileTest, OpenModesCreateTruncateOrKeep)
{
    for (const SOpenCase& c : kOpenCases)
    {
        SCOPED_TRACE(c.what);
        CTestFolder folder;
        const std::string path = folder / "file.dat";
        if (c.exists)
            folder.WriteFile("file.dat", "twelve bytes");
        CFile file;
        ASSERT_TRUE(file.Open(path, c.flags));
        EXPECT_TRUE(file.IsOpen());
        EXPECT_EQ(file.GetFilePath(), path);
        EXPECT_EQ(LengthOf(file), c.length);
        EXPECT_EQ(PositionOf(file), 0u);
    }
}

TEST(CFileTest, OpenFailuresCarryTheWindowsCodes)
{
    CTestFolder folder;
    folder.WriteFile("file.txt", "x");
    fs::create_directory(folder.Path() / "sub");
    for (const SFailCase& c : kFailCases)
    {
        SCOPED_TRACE(std::string(c.name) + " flags " + std::to_string(c.flags));
        CFile file;
        ExpectFailure(c.code, [&] { return file.Open(folder / c.name, c.flags); });
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.GetFilePath(), "");
    }
    CFile file;
    ExpectFailure(ERROR_PATH_NOT_FOUND, [&] { return file.Open("", CFile::modeRead); });
}

TEST(CFileTest, MissingFileAndMissingFolderHaveTheirWindowsTexts)
{
    CTestFolder folder;
    CFile file;
    ASSERT_FALSE(file.Open(folder / "missing.txt", CFile::modeRead));
    EXPECT_EQ(TextOf(CSystemError::GetLast()), "The system cannot find the file specified.\r\n");
    ASSERT_FALSE(file.Open(folder / "missing/missing.txt", CFile::modeRead));
    EXPECT_EQ(TextOf(CSystemError::GetLast()), "The system cannot find the path specified.\r\n");
}

TEST(CFileTest, FailedOpenLeavesTheFileClosed)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder.WriteFile("a.txt", "a"), CFile::modeRead));
    EXPECT_FALSE(file.Open(folder / "missing.txt", CFile::modeRead));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetFilePath(), "");
}

TEST(CFileTest, TransfersTheFileWasNotOpenedForAreDenied)
{
    CTestFolder folder;
    const std::string path = folder.WriteFile("file.txt", "contents");
    CFile reader;
    ASSERT_TRUE(reader.Open(path, CFile::modeRead));
    ExpectFailure(ERROR_ACCESS_DENIED, [&] { return reader.Write("xx", 2); });
    ExpectFailure(ERROR_ACCESS_DENIED, [&] { return reader.WriteString("xx"); });
    ExpectFailure(ERROR_ACCESS_DENIED, [&] { return reader.SetLength(0); });
    EXPECT_EQ(ReadAll(reader), "contents");

    CFile writer;
    ASSERT_TRUE(writer.Open(path, CFile::modeWrite));
    char buffer[4];
    std::uint32_t done = 99;
    ExpectFailure(ERROR_ACCESS_DENIED, [&] { return writer.Read(buffer, 4, done); });
    EXPECT_EQ(done, 0u);
}

TEST(CFileTest, ReadOnlyFileOnDiskRefusesWriting)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write to any file";
    CTestFolder folder;
    const std::string path = folder.WriteFile("locked.txt", "x");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    CFile file;
    ExpectFailure(ERROR_ACCESS_DENIED, [&] { return file.Open(path, CFile::modeReadWrite); });
    EXPECT_TRUE(file.Open(path, CFile::modeRead));
}

TEST(CFileTest, ReadingAcrossTheEndDeliversTheRest)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder.WriteFile("700.dat", std::string(700, 'r')), CFile::modeRead));
    char record[512];
    std::uint32_t done = 0;
    EXPECT_TRUE(file.Read(record, 512, done));
    EXPECT_EQ(done, 512u);
    EXPECT_TRUE(file.Read(record, 512, done));
    EXPECT_EQ(done, 188u);
    EXPECT_TRUE(file.Read(record, 512, done));
    EXPECT_EQ(done, 0u);
}

TEST(CFileTest, ReadWaitsForEverythingAPipeSendsInPieces)
{
    CTestFolder folder;
    const std::string path = folder / "fifo";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::thread sender(
        [&]
        {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            const std::string piece(100, 'p');
            for (int i = 0; i < 3 && fd != -1; ++i)
            {
                EXPECT_EQ(::write(fd, piece.data(), piece.size()), 100);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ::close(fd);
        });
    CFile file;
    if (!file.Open(path, CFile::modeRead))
    {
        // Let the sender's open return so that the thread can end.
        const int unblock = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        sender.join();
        ::close(unblock);
        FAIL() << "cannot open the pipe";
    }
    char buffer[300];
    std::uint32_t done = 0;
    EXPECT_TRUE(file.Read(buffer, 300, done));
    EXPECT_EQ(done, 300u);
    EXPECT_TRUE(file.Read(buffer, 300, done));
    EXPECT_EQ(done, 0u);
    sender.join();
}

TEST(CFileTest, SeekPastTheEndThenWriteFillsTheGapWithZeros)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder / "gap.dat", CFile::modeCreate | CFile::modeReadWrite));
    std::uint64_t position = 0;
    EXPECT_TRUE(file.Seek(1000, CFile::begin, &position));
    EXPECT_EQ(position, 1000u);
    EXPECT_EQ(LengthOf(file), 0u);
    EXPECT_TRUE(file.Write("x", 1));
    EXPECT_EQ(LengthOf(file), 1001u);
    EXPECT_EQ(ReadAll(file), std::string(1000, '\0') + "x");
}

TEST(CFileTest, SeekMovesFromEachOriginAndRefusesToGoBeforeTheStart)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder.WriteFile("ten.dat", "0123456789"), CFile::modeRead));
    std::uint64_t position = 0;
    EXPECT_TRUE(file.Seek(-3, CFile::end, &position));
    EXPECT_EQ(position, 7u);
    EXPECT_TRUE(file.Seek(-2, CFile::current, &position));
    EXPECT_EQ(position, 5u);
    ExpectFailure(ERROR_NEGATIVE_SEEK, [&] { return file.Seek(-6, CFile::current); });
    ExpectFailure(ERROR_NEGATIVE_SEEK, [&] { return file.Seek(-1, CFile::begin); });
    EXPECT_EQ(PositionOf(file), 5u);
}

TEST(CFileTest, SetLengthTruncatesOrExtendsAndMovesToTheNewEnd)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder / "len.dat", CFile::modeCreate | CFile::modeReadWrite));
    ASSERT_TRUE(file.Write(std::string(100, 'a').data(), 100));

    EXPECT_TRUE(file.SetLength(10));
    EXPECT_EQ(LengthOf(file), 10u);
    EXPECT_EQ(PositionOf(file), 10u);
    // A write after truncation continues at the new end, leaving no hole.
    EXPECT_TRUE(file.Write("END", 3));
    EXPECT_EQ(ReadAll(file), std::string(10, 'a') + "END");

    EXPECT_TRUE(file.SetLength(20));
    EXPECT_EQ(PositionOf(file), 20u);
    EXPECT_EQ(ReadAll(file), std::string(10, 'a') + "END" + std::string(7, '\0'));

    EXPECT_TRUE(file.SetLength(0));
    EXPECT_EQ(LengthOf(file), 0u);
    EXPECT_EQ(PositionOf(file), 0u);
}

TEST(CFileTest, LengthAndPositionBeyondFourGibibytes)
{
    constexpr std::uint64_t kLength = 5ull << 30;
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder / "big.dat", CFile::modeCreate | CFile::modeReadWrite));
    ASSERT_TRUE(file.SetLength(kLength)); // sparse: no space is used
    EXPECT_EQ(LengthOf(file), kLength);
    std::uint64_t position = 0;
    EXPECT_TRUE(file.Seek(-1, CFile::end, &position));
    EXPECT_EQ(position, kLength - 1);
}

TEST(CFileTest, WritingToAFullDeviceIsDiskFull)
{
    CFile file;
    if (!file.Open("/dev/full", CFile::modeWrite))
        GTEST_SKIP() << "no /dev/full here";
    ExpectFailure(ERROR_DISK_FULL, [&] { return file.Write("data", 4); });
    EXPECT_EQ(TextOf(CSystemError::GetLast()), "There is not enough space on the disk.\r\n");
    ExpectFailure(ERROR_DISK_FULL, [&] { return file.WriteString("line\n"); });
}

TEST(CFileTest, ClosedFileRefusesWithInvalidHandle)
{
    CFile file;
    char buffer[4];
    std::uint32_t done = 0;
    std::uint64_t value = 0;
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.Read(buffer, 4, done); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.Write("x", 1); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.Seek(0, CFile::begin); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.GetPosition(value); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.GetLength(value); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.SetLength(0); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.Flush(); });
    CSystemError::SetLast(ERROR_DISK_FULL);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(CSystemError::GetLast(), ERROR_DISK_FULL); // success leaves the last error alone
}

TEST(CFileTest, NameReachesTheSystemUnchanged)
{
    CTestFolder folder;
    fs::create_directory(folder.Path() / "Sub");
    const std::string path = folder.Path().string() + "/Sub//Mixed.Case.TXT";
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetFilePath(), path);
    std::vector<std::string> names;
    ASSERT_TRUE(CFolder::Enumerate(folder / "Sub", names));
    EXPECT_EQ(names, std::vector<std::string>{"Mixed.Case.TXT"});
}

TEST(CFileTest, NoFollowRefusesALinkAtTheLastComponentOnly)
{
    CTestFolder folder;
    const std::string target = folder.WriteFile("real/target.txt", "target");
    fs::create_symlink(target, folder.Path() / "link.txt");
    fs::create_directory_symlink(folder.Path() / "real", folder.Path() / "linked-folder");
    CFile file;

    ExpectFailure(
        ERROR_CANT_RESOLVE_FILENAME,
        [&] { return file.Open(folder / "link.txt", CFile::modeRead | CFile::modeNoFollow); });
    ASSERT_TRUE(
        file.Open(folder / "linked-folder/target.txt", CFile::modeRead | CFile::modeNoFollow));
    EXPECT_EQ(ReadAll(file), "target");
    ASSERT_TRUE(file.Open(folder / "link.txt", CFile::modeRead));
    EXPECT_EQ(ReadAll(file), "target");
}

TEST(CFileTest, NoFollowDoesNotCreateThroughADanglingLink)
{
    CTestFolder folder;
    fs::create_symlink(folder / "planted.txt", folder.Path() / "dangling");
    CFile file;
    ExpectFailure(ERROR_CANT_RESOLVE_FILENAME,
                  [&]
                  {
                      return file.Open(folder / "dangling",
                                       CFile::modeCreate | CFile::modeWrite | CFile::modeNoFollow);
                  });
    EXPECT_FALSE(fs::exists(folder.Path() / "planted.txt"));
}

TEST(CFileTest, DestructionMoveAndReopenReleaseTheDescriptor)
{
    std::vector<std::string> descriptors;
    if (!CFolder::Enumerate("/proc/self/fd", descriptors))
        GTEST_SKIP() << "no /proc here";
    const auto OpenCount = []
    {
        std::vector<std::string> names;
        CFolder::Enumerate("/proc/self/fd", names);
        return names.size();
    };
    CTestFolder folder;
    const std::string a = folder.WriteFile("a.txt", "a");
    const std::string b = folder.WriteFile("b.txt", "b");
    const std::size_t before = OpenCount();
    {
        CFile first;
        ASSERT_TRUE(first.Open(a, CFile::modeRead));
        ASSERT_TRUE(first.Open(b, CFile::modeRead));
        CFile second;
        ASSERT_TRUE(second.Open(a, CFile::modeRead));
        EXPECT_EQ(OpenCount(), before + 2);

        second = std::move(first);
        EXPECT_EQ(OpenCount(), before + 1);
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(first.GetFilePath(), "");
        EXPECT_EQ(second.GetFilePath(), b);
        EXPECT_EQ(ReadAll(second), "b");

        CFile third(std::move(second));
        EXPECT_FALSE(second.IsOpen());
        EXPECT_EQ(second.GetFilePath(), "");
        EXPECT_EQ(third.GetFilePath(), b);
        EXPECT_EQ(OpenCount(), before + 1);
    }
    EXPECT_EQ(OpenCount(), before);
}

TEST(CFileTest, TextModeKeepsLineFeedsOnThisHost)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(
        file.Open(folder / "log.txt", CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    EXPECT_TRUE(file.WriteString("first, , 14:05\n"));
    EXPECT_TRUE(file.WriteString(""));
    EXPECT_TRUE(file.WriteString("second\n"));
    EXPECT_EQ(LengthOf(file), 22u);
    EXPECT_TRUE(file.Flush());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(folder.ReadFile("log.txt"), "first, , 14:05\nsecond\n");
}
