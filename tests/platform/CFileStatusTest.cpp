#include "platform/CFileStatus.h"

#include "platform/CFile.h"
#include "platform/CSystemError.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{

void SetModified(const std::string& path, std::int64_t seconds, int flags = 0)
{
    const timespec times[2] = {{static_cast<time_t>(seconds), 0},
                               {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, flags), 0) << path;
}

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
}

TEST(CFileStatusTest, DanglingLinkIsMissingOnlyWhenFollowed)
{
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
        EXPECT_FALSE(CFileStatus::Get(folder / c.name, status));
        EXPECT_EQ(CSystemError::GetLast(), c.code);
        EXPECT_EQ(status.m_size, 42u);
    }
}

TEST(CFileStatusTest, SetLastFromErrnoLooksAtTheFolderOnlyForMissingNames)
{
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
}
