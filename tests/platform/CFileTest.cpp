#include "platform/CFile.h"

#include "platform/CFolder.h"
#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "platform/PathStyle.h"
#include "support/CTestFolder.h"
#include "support/CUmaskScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32
// Whether some handle keeps the file open: then no one may open it for
// themselves alone.
bool IsHeld(const std::string& path)
{
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(file);
    return false;
}
#else
// Whether one of this process's descriptors is open on the file.
bool IsHeld(const std::string& path)
{
    const fs::path wanted = fs::weakly_canonical(path);
    for (const fs::directory_entry& descriptor : fs::directory_iterator("/proc/self/fd"))
    {
        std::error_code ignored;
        if (fs::read_symlink(descriptor.path(), ignored) == wanted)
            return true;
    }
    return false;
}
#endif

// What a pipe whose writer sends 3 pieces of 100 bytes must give the reader.
void ExpectThreePiecesThenTheEnd(CFile& file)
{
    char buffer[300];
    std::uint32_t done = 0;
    EXPECT_TRUE(file.Read(buffer, 300, done));
    EXPECT_EQ(done, 300u);
    EXPECT_TRUE(file.Read(buffer, 300, done));
    EXPECT_EQ(done, 0u);
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
    {"no-follow opens a file that is no link", CFile::modeReadWrite | CFile::modeNoFollow, true,
     12},
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
        ExpectFailure(c.code, [&] { return file.Open(NativePath(folder, c.name), c.flags); });
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.GetFilePath(), "");
    }
    CFile file;
    ExpectFailure(ERROR_PATH_NOT_FOUND, [&] { return file.Open("", CFile::modeRead); });
}

TEST(CFileTest, MissingFileAndMissingFolderHaveTheSystemsTexts)
{
#ifdef _WIN32
    const std::string fileNotFound = SystemText(ERROR_FILE_NOT_FOUND);
    const std::string pathNotFound = SystemText(ERROR_PATH_NOT_FOUND);
#else
    const std::string fileNotFound = "The system cannot find the file specified.\r\n";
    const std::string pathNotFound = "The system cannot find the path specified.\r\n";
#endif
    CTestFolder folder;
    CFile file;
    ASSERT_FALSE(file.Open(NativePath(folder, "missing.txt"), CFile::modeRead));
    EXPECT_EQ(CSystemError::GetLast(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(TextOf(CSystemError::GetLast()), fileNotFound);
    ASSERT_FALSE(file.Open(NativePath(folder, "missing/missing.txt"), CFile::modeRead));
    EXPECT_EQ(CSystemError::GetLast(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(TextOf(CSystemError::GetLast()), pathNotFound);
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
    CTestFolder folder;
    const std::string path = folder.WriteFile("locked.txt", "x");
#ifdef _WIN32
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const HANDLE probe =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE)
    {
        ::CloseHandle(probe);
        GTEST_SKIP() << "the system lets this account write to read-only files (Wine run by the "
                        "superuser does)";
    }
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write to any file";
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
#endif
    CFile file;
    ExpectFailure(ERROR_ACCESS_DENIED, [&] { return file.Open(path, CFile::modeReadWrite); });
    EXPECT_TRUE(file.Open(path, CFile::modeRead));
#ifdef _WIN32
    file.Close();
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); // else the folder cannot go
#endif
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

// Opened for reading alone a short read is taken as the end at once; opened
// for writing too, only a read of nothing is.
TEST(CFileTest, ReadAtDeliversFromTheOffsetUpToTheEnd)
{
    CTestFolder folder;
    std::string contents;
    for (int i = 0; i < 700; ++i)
        contents += static_cast<char>('a' + i % 26);
    const std::string name = folder.WriteFile("700.dat", contents);
    for (const unsigned mode : {unsigned{CFile::modeRead}, unsigned{CFile::modeReadWrite}})
    {
        CFile file;
        ASSERT_TRUE(file.Open(name, mode));
        char buffer[512];
        std::uint32_t done = 0;
        EXPECT_TRUE(file.ReadAt(600, buffer, 512, done));
        EXPECT_EQ(std::string(buffer, done), contents.substr(600));
        EXPECT_TRUE(file.ReadAt(3, buffer, 4, done));
        EXPECT_EQ(std::string(buffer, done), "defg");
        for (const std::uint64_t offset : {700u, 5000u})
        {
            EXPECT_TRUE(file.ReadAt(offset, buffer, 512, done));
            EXPECT_EQ(done, 0u);
        }
    }
}

TEST(CFileTest, ReadWaitsForEverythingAPipeSendsInPieces)
{
#ifdef _WIN32
    const std::string name = "\\\\.\\pipe\\vorkant-test-" + std::to_string(::GetCurrentProcessId());
    const HANDLE server = ::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND,
                                             PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    CFile file;
    if (!file.Open(name, CFile::modeRead))
    {
        ::CloseHandle(server);
        FAIL() << "cannot open the pipe";
    }
    std::thread sender(
        [&]
        {
            // The reader has connected already: that is no failure here.
            if (::ConnectNamedPipe(server, nullptr) || ::GetLastError() == ERROR_PIPE_CONNECTED)
            {
                const std::string piece(100, 'p');
                for (int i = 0; i < 3; ++i)
                {
                    DWORD put = 0;
                    EXPECT_TRUE(::WriteFile(server, piece.data(), 100, &put, nullptr));
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                ::FlushFileBuffers(server); // until the reader has it all
            }
            ::CloseHandle(server);
        });
    ExpectThreePiecesThenTheEnd(file);
    sender.join();
#else
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
    ExpectThreePiecesThenTheEnd(file);
    sender.join();
#endif
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

// Whatever the file system keeps as holes, the regions it tells are in
// order, inside the file and cover every byte written.
TEST(CFileTest, DataRegionsCoverEveryByteWrittenAndLeaveThePositionAtTheStart)
{
    constexpr std::uint64_t kMiB = 1024 * 1024;
    const struct
    {
        const char* label;
        std::vector<std::uint64_t> writes; // 10 bytes at each offset
        std::uint64_t length;
    } cases[] = {{"no hole", {0, 10, 20}, 30},
                 {"holes between and after", {0, kMiB}, 2 * kMiB},
                 {"one hole", {}, kMiB}};
    CTestFolder folder;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        CFile file;
        ASSERT_TRUE(file.Open(folder / "sparse.dat", CFile::modeCreate | CFile::modeReadWrite));
        file.SetSparse();
        for (const std::uint64_t at : c.writes)
            ASSERT_TRUE(file.Seek(static_cast<std::int64_t>(at), CFile::begin) &&
                        file.Write("0123456789", 10));
        ASSERT_TRUE(file.SetLength(c.length));

        std::vector<CFile::SRegion> regions;
        ASSERT_TRUE(file.GetDataRegions(c.length, regions));
        EXPECT_EQ(PositionOf(file), 0u);
        std::uint64_t reached = 0;
        for (const CFile::SRegion& region : regions)
        {
            EXPECT_GE(region.offset, reached);
            reached = region.offset + region.size;
        }
        EXPECT_LE(reached, c.length);
        for (const std::uint64_t at : c.writes)
            EXPECT_TRUE(std::any_of(regions.begin(), regions.end(),
                                    [at](const CFile::SRegion& r)
                                    { return r.offset <= at && at + 10 <= r.offset + r.size; }))
                << at;
    }
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
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no device that is always full";
#endif
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
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.SetTime(0); });
    ExpectFailure(ERROR_INVALID_HANDLE, [&] { return file.SetMode(0); });
    CSystemError::SetLast(ERROR_DISK_FULL);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(CSystemError::GetLast(), ERROR_DISK_FULL); // success leaves the last error alone
}

// The time and mode set on the open file are what it keeps once closed;
// only the nine permission bits are ever applied.
TEST(CFileTest, TimeAndModeSetBeforeClosingStay)
{
    CTestFolder folder;
    const struct
    {
        const char* name;
        unsigned mode;
        unsigned posixMode;
        bool readOnly;
    } cases[] = {
        {"private", 0600, 0600, false},
        {"script", 0755, 0755, false},
        {"frozen", 0444, 0444, true},
        {"special", 07775, 0775, false},
    };
    constexpr std::int64_t kTime = 1234567890;
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.name);
        const std::string path = NativePath(folder, test.name);
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        ASSERT_TRUE(file.Write("data", 4));
        EXPECT_TRUE(file.SetTime(kTime));
        EXPECT_TRUE(file.SetMode(test.mode));
        EXPECT_TRUE(file.Close());
        const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(path));
        EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count(),
                  kTime);
        const fs::perms perms = fs::status(path).permissions();
        EXPECT_EQ((perms & fs::perms::owner_write) == fs::perms::none, test.readOnly);
#ifndef _WIN32
        EXPECT_EQ(static_cast<unsigned>(perms & fs::perms::mask), test.posixMode);
#endif
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST(CFileTest, NameReachesTheSystemUnchanged)
{
    CTestFolder folder;
    fs::create_directory(folder.Path() / "Sub");
    const std::string separator(1, kHostSeparator);
    const std::string path =
        folder.Path().string() + separator + "Sub" + separator + separator + "Mixed.Case.TXT";
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetFilePath(), path);
    std::vector<std::string> names;
    ASSERT_TRUE(CFolder::Enumerate(folder / "Sub", names));
    EXPECT_EQ(names, std::vector<std::string>{"Mixed.Case.TXT"});
}

TEST(CFileTest, NoFollowRefusesALinkAtTheLastComponentOnly)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#endif
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
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#endif
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

TEST(CFileTest, DestructionMoveAndReopenReleaseTheFile)
{
#ifndef _WIN32
    if (!fs::is_directory("/proc/self/fd"))
        GTEST_SKIP() << "no /proc here to see the open descriptors";
#endif
    CTestFolder folder;
    const std::string a = folder.WriteFile("a.txt", "a");
    const std::string b = folder.WriteFile("b.txt", "b");
    {
        CFile first;
        ASSERT_TRUE(first.Open(a, CFile::modeRead));
        ASSERT_TRUE(first.Open(b, CFile::modeRead));
        EXPECT_FALSE(IsHeld(a));
        CFile second;
        ASSERT_TRUE(second.Open(a, CFile::modeRead));
        EXPECT_TRUE(IsHeld(a));

        second = std::move(first);
        EXPECT_FALSE(IsHeld(a));
        EXPECT_TRUE(IsHeld(b));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(first.GetFilePath(), "");
        EXPECT_EQ(second.GetFilePath(), b);
        EXPECT_EQ(ReadAll(second), "b");

        CFile third(std::move(second));
        EXPECT_FALSE(second.IsOpen());
        EXPECT_EQ(second.GetFilePath(), "");
        EXPECT_EQ(third.GetFilePath(), b);
        EXPECT_TRUE(IsHeld(b));
    }
    EXPECT_FALSE(IsHeld(b));
}

TEST(CFileTest, TextModeWritesTheHostsLineEnd)
{
#ifdef _WIN32
    const std::string eol = "\r\n";
#else
    const std::string eol = "\n";
#endif
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(
        file.Open(folder / "log.txt", CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    EXPECT_TRUE(file.WriteString("first, , 14:05\n"));
    EXPECT_TRUE(file.WriteString(""));
    EXPECT_TRUE(file.WriteString("second\n\n"));
    EXPECT_EQ(LengthOf(file), 20u + 3 * eol.size());
    EXPECT_TRUE(file.Flush());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(folder.ReadFile("log.txt"), "first, , 14:05" + eol + "second" + eol + eol);
}

TEST(CFileTest, WithoutTextModeLineFeedsStayAsTheyAre)
{
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder / "data.bin", CFile::modeCreate | CFile::modeWrite));
    EXPECT_TRUE(file.WriteString("a\nb\r\n"));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(folder.ReadFile("data.bin"), "a\nb\r\n");
}

TEST(CFileTest, DriveLetterNamesTakeEitherSlash)
{
#ifndef _WIN32
    GTEST_SKIP() << kOnlyOnWindows;
#else
    CTestFolder folder;
    fs::create_directory(folder.Path() / "Sub");
    const std::string backslashed = NativePath(folder, "Sub/file.txt");
    ASSERT_GE(backslashed.size(), 3u);
    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(backslashed[0])) && backslashed[1] == ':' &&
                backslashed[2] == '\\')
        << backslashed;
    CFile file;
    ASSERT_TRUE(file.Open(backslashed, CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(file.WriteString("both ways"));
    ASSERT_TRUE(file.Close());

    std::string slashed = backslashed;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    ASSERT_TRUE(file.Open(slashed, CFile::modeRead));
    EXPECT_EQ(file.GetFilePath(), slashed);
    EXPECT_EQ(ReadAll(file), "both ways");
#endif
}

TEST(CFileTest, RemoveDeletesTheFileAndReportsAMissingOne)
{
    CTestFolder folder;
    const std::string path = folder.WriteFile("gone.txt", "x");
    EXPECT_TRUE(CFile::Remove(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    ExpectFailure(ERROR_FILE_NOT_FOUND, [&] { return CFile::Remove(path); });
}

#ifndef _WIN32
TEST(CFileTest, RemoveTakesALinkNotWhatItPointsAt)
{
    CTestFolder folder;
    const std::string target = folder.WriteFile("target", "kept");
    const std::string link = NativePath(folder, "link");
    std::filesystem::create_symlink(target, link);
    EXPECT_TRUE(CFile::Remove(link));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.ReadFile("target"), "kept");
}
#endif

TEST(CFileTest, CreateNewRefusesATakenNameAndRenameReplacesOne)
{
    CTestFolder folder;
    const std::string path = folder.WriteFile("taken.txt", "old");
    const unsigned createNew = CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite;
    CFile file;
    EXPECT_FALSE(file.Open(path, createNew));
    EXPECT_EQ(CSystemError::GetLast(), ERROR_FILE_EXISTS);
    EXPECT_EQ(folder.ReadFile("taken.txt"), "old");

    const CUmaskScope umask(022);
    ASSERT_TRUE(file.Open(folder / "new.txt", createNew, 0660));
    ASSERT_TRUE(file.Write("new", 3));
    ASSERT_TRUE(file.Close());
    ASSERT_TRUE(CFile::Rename(folder / "new.txt", path));
    EXPECT_EQ(folder.ReadFile("taken.txt"), "new");
    EXPECT_FALSE(fs::exists(folder / "new.txt"));
    if (CFile::kCreateTakesMode)
    {
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0640));
    }
}

TEST(CFileTest, TheStatusOfAnOpenFileIsItsOwn)
{
    CTestFolder folder;
    const std::string path = folder.WriteFile("a.txt", "12345");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    CFileStatus status;
    ASSERT_TRUE(file.GetStatus(status));
    EXPECT_TRUE(status.m_bRegular);
    EXPECT_EQ(status.m_size, 5u);
    std::string bytes(16, '\0');
    std::uint32_t done = 0;
    ASSERT_TRUE(file.Read(bytes.data(), 16, done));
    EXPECT_EQ(done, 5u);
    ASSERT_TRUE(file.Close());
    EXPECT_FALSE(file.GetStatus(status));
}
