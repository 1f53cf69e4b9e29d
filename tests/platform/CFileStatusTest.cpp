#include "platform/CFileStatus.h"

#include "platform/CFile.h"
#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{

#ifdef _WIN32
void SetModified(const std::string& path, std::int64_t seconds)
{
    const auto ticks = static_cast<std::uint64_t>((seconds + 11'644'473'600) * 10'000'000);
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    // Backup semantics let a folder be opened too.
    const HANDLE file =
        ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &time)) << path;
    ::CloseHandle(file);
}
#else
void SetModified(const std::string& path, std::int64_t seconds, int flags = 0)
{
    const timespec times[2] = {{static_cast<time_t>(seconds), 0},
                               {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, flags), 0) << path;
}
#endif

} // namespace

TEST(CFileStatusTest, RegularFileHasItsSizeAndLastWriteTime)
{
    // Before 1970, the turn of the millennium, and past the end of 32-bit time.
    for (const std::int64_t mtime : {-86400ll, 946684800ll, 4102444800ll})
    {
        CTestFolder folder;
        const std::string path = folder.WriteFile("file.txt", "seventeen bytes!!");
        SetModified(path, mtime);
        CFileStatus status;
        ASSERT_TRUE(CFileStatus::Get(path, status));
        EXPECT_EQ(status.m_size, 17u);
        EXPECT_EQ(status.m_mtime, mtime);
        EXPECT_TRUE(status.m_bRegular);
        EXPECT_FALSE(status.m_bDirectory);
        EXPECT_FALSE(status.m_bLink);
    }
}

TEST(CFileStatusTest, FolderIsADirectoryWithoutSize)
{
    CTestFolder folder;
    folder.WriteFile("sub/inside.txt", std::string(5000, 'x'));
    SetModified(folder / "sub", 1000000000);
    CFileStatus status;
    ASSERT_TRUE(CFileStatus::Get(folder / "sub", status));
    EXPECT_TRUE(status.m_bDirectory);
    EXPECT_FALSE(status.m_bRegular);
    EXPECT_EQ(status.m_size, 0u);
    EXPECT_EQ(status.m_mtime, 1000000000);
}

TEST(CFileStatusTest, SizeBeyondFourGibibytes)
{
    constexpr std::uint64_t kLength = (4ull << 30) + 1;
    CTestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder / "big.dat", CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(file.SetLength(kLength));
    CFileStatus status;
    ASSERT_TRUE(CFileStatus::Get(folder / "big.dat", status));
    EXPECT_EQ(status.m_size, kLength);
}

TEST(CFileStatusTest, LinksAreFollowedUnlessAskedNotTo)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#else
    CTestFolder folder;
    const std::string target = folder.WriteFile("target.txt", "abc");
    fs::create_symlink(target, folder.Path() / "link");
    SetModified(folder / "link", 1234567890, AT_SYMLINK_NOFOLLOW);

    CFileStatus followed;
    ASSERT_TRUE(CFileStatus::Get(folder / "link", followed));
    EXPECT_TRUE(followed.m_bRegular);
    EXPECT_FALSE(followed.m_bLink);
    EXPECT_EQ(followed.m_size, 3u);

    CFileStatus itself;
    ASSERT_TRUE(CFileStatus::Get(folder / "link", itself, false));
    EXPECT_TRUE(itself.m_bLink);
    EXPECT_FALSE(itself.m_bRegular);
    EXPECT_EQ(itself.m_size, 0u);
    EXPECT_EQ(itself.m_mtime, 1234567890);
#endif
}

TEST(CFileStatusTest, DanglingLinkIsMissingOnlyWhenFollowed)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#else
    CTestFolder folder;
    fs::create_symlink(folder / "gone.txt", folder.Path() / "dangling");
    CFileStatus status;
    CSystemError::SetLast(ERROR_SUCCESS);
    EXPECT_FALSE(CFileStatus::Get(folder / "dangling", status));
    EXPECT_EQ(CSystemError::GetLast(), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(CFileStatus::Get(folder / "dangling", status, false));
    EXPECT_TRUE(status.m_bLink);
    EXPECT_FALSE(status.m_bRegular);
    EXPECT_FALSE(status.m_bDirectory);
#endif
}

TEST(CFileStatusTest, MissingNameOrFolderKeepsTheStatusAndSetsTheCode)
{
    struct SCase
    {
        const char* name;
        DWORD code;
    };
    const SCase cases[] = {
        {"missing.txt", ERROR_FILE_NOT_FOUND},
        {"missing/missing.txt", ERROR_PATH_NOT_FOUND},
        {"file.txt/missing.txt", ERROR_PATH_NOT_FOUND},
        {"file.txt/", ERROR_PATH_NOT_FOUND},
    };
    CTestFolder folder;
    folder.WriteFile("file.txt", "x");
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CFileStatus status;
        status.m_size = 42;
        CSystemError::SetLast(ERROR_SUCCESS);
        EXPECT_FALSE(CFileStatus::Get(NativePath(folder, c.name), status));
        EXPECT_EQ(CSystemError::GetLast(), c.code);
        EXPECT_EQ(status.m_size, 42u);
    }
}

TEST(CFileStatusTest, SetLastFromErrnoLooksAtTheFolderOnlyForMissingNames)
{
#ifdef _WIN32
    GTEST_SKIP() << "the Windows calls give their own codes: no errno is mapped";
#else
    CTestFolder folder;
    const std::string inExisting = folder / "missing.txt";
    const std::string inMissing = folder / "gone/missing.txt";
    EXPECT_EQ(CFileStatus::SetLastFromErrno(ENOENT, inExisting), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CFileStatus::SetLastFromErrno(ENOENT, inMissing), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CSystemError::GetLast(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CFileStatus::SetLastFromErrno(ENOENT, "relative-missing.txt"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CFileStatus::SetLastFromErrno(ENOENT, "/missing-at-the-root"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CFileStatus::SetLastFromErrno(ENOENT, ""), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CFileStatus::SetLastFromErrno(ENOTDIR, inExisting), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CFileStatus::SetLastFromErrno(EACCES, inMissing), ERROR_ACCESS_DENIED);
#endif
}

#ifndef _WIN32
namespace
{

// Leaves a socket's name behind in the file system; the socket itself closes.
void MakeSocket(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path)) << path;
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_NE(fd, -1);
    const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    ::close(fd);
    ASSERT_EQ(bound, 0) << path;
}

// Any block device the host shows, or an empty name.
std::string FindBlockDevice()
{
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev", error))
    {
        if (entry.is_block_file(error))
            return entry.path().string();
    }
    return {};
}

} // namespace
#endif

TEST(CFileStatusTest, KindTellsEveryItemApart)
{
    struct SCase
    {
        std::string path;
        bool followLinks;
        int kind;
    };
    CTestFolder folder;
    folder.WriteFile("file.txt", "abc");
    fs::create_directory(folder.Path() / "folder");
#ifdef _WIN32
    // A Windows folder holds files, folders and links alone, and links
    // cannot be made here.
    const std::vector<SCase> cases = {
        {NativePath(folder, "file.txt"), true, CFileStatus::KIND_REGULAR},
        {NativePath(folder, "folder"), true, CFileStatus::KIND_DIRECTORY},
        {NativePath(folder, "folder"), false, CFileStatus::KIND_DIRECTORY},
    };
#else
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    MakeSocket(folder / "socket");
    fs::create_symlink(folder / "pipe", folder.Path() / "link-to-pipe");
    std::vector<SCase> cases = {
        {folder / "file.txt", true, CFileStatus::KIND_REGULAR},
        {folder / "folder", true, CFileStatus::KIND_DIRECTORY},
        {folder / "pipe", true, CFileStatus::KIND_FIFO},
        {folder / "socket", true, CFileStatus::KIND_SOCKET},
        {"/dev/null", true, CFileStatus::KIND_CHARACTER},
        {folder / "link-to-pipe", true, CFileStatus::KIND_FIFO},
        {folder / "link-to-pipe", false, CFileStatus::KIND_LINK},
    };
    if (const std::string device = FindBlockDevice(); !device.empty())
        cases.push_back({device, true, CFileStatus::KIND_BLOCK});
#endif
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.path);
        CFileStatus status;
        ASSERT_TRUE(CFileStatus::Get(c.path, status, c.followLinks));
        EXPECT_EQ(status.m_nKind, c.kind);
        EXPECT_EQ(status.m_bRegular, c.kind == CFileStatus::KIND_REGULAR);
        EXPECT_EQ(status.m_bDirectory, c.kind == CFileStatus::KIND_DIRECTORY);
        EXPECT_EQ(status.m_bLink, c.kind == CFileStatus::KIND_LINK);
    }
}

TEST(CFileStatusTest, HardLinkedNamesAreOneFile)
{
    CTestFolder folder;
    const std::string names[] = {folder.WriteFile("first", "x"), folder / "second",
                                 folder.WriteFile("other", "x")};
    fs::create_hard_link(names[0], names[1]);
    CFileStatus status[3];
    for (int i = 0; i < 3; ++i)
    {
        CFile file;
        ASSERT_TRUE(file.Open(names[i], CFile::modeRead) && file.GetStatus(status[i]));
    }
    EXPECT_EQ(status[0].m_nDevice, status[1].m_nDevice);
    EXPECT_EQ(status[0].m_nInode, status[1].m_nInode);
    EXPECT_NE(status[0].m_nInode, status[2].m_nInode);
    EXPECT_EQ(status[1].m_nLinks, 2u);
    // By name Windows tells no identity, and none from the handle may stay.
    ASSERT_TRUE(CFileStatus::Get(names[1], status[1]));
#ifdef _WIN32
    EXPECT_EQ(status[1].m_nLinks, 1u);
#else
    EXPECT_EQ(status[1].m_nLinks, 2u);
#endif
}
