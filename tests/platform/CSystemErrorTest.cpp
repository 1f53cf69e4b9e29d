#include "platform/CSystemError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>

namespace
{

struct SErrnoCase
{
    int err;
    DWORD code;
};

// The codes the callers act on or show: the device and the document tell
// these apart, and the user reads their texts.
const SErrnoCase kErrnoCases[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EROFS, ERROR_WRITE_PROTECT},
    {EEXIST, ERROR_FILE_EXISTS},
    {ENOTDIR, ERROR_DIRECTORY},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EIO, ERROR_IO_DEVICE},
    {EBADF, ERROR_INVALID_HANDLE},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EFAULT, ERROR_NOACCESS},
    {EMLINK, ERROR_TOO_MANY_LINKS},
    {ESTALE, ERROR_FILE_INVALID},
};

std::string TextOf(DWORD code)
{
    std::string text;
    CSystemError::LookupText(code, text);
    return text;
}

} // namespace

TEST(CSystemErrorTest, ErrnoMapsToTheNearestWindowsCode)
{
    for (const SErrnoCase& c : kErrnoCases)
        EXPECT_EQ(CSystemError::FromErrno(c.err), c.code) << "errno " << c.err;
}

TEST(CSystemErrorTest, UnmappedErrnoIsAGeneralFailure)
{
    EXPECT_EQ(CSystemError::FromErrno(-1), ERROR_GEN_FAILURE);
    EXPECT_EQ(CSystemError::FromErrno(99999), ERROR_GEN_FAILURE);
}

TEST(CSystemErrorTest, EveryCodeFromErrnoHasATextEndingInALineBreak)
{
    for (int err = 0; err < 4096; ++err)
    {
        const DWORD code = CSystemError::FromErrno(err);
        std::string text;
        ASSERT_TRUE(CSystemError::LookupText(code, text)) << "errno " << err << " -> " << code;
        ASSERT_GT(text.size(), 2u) << "code " << code;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "code " << code;
        EXPECT_EQ(text.find_first_of("\r\n"), text.size() - 2) << "code " << code;
    }
}

TEST(CSystemErrorTest, FileCodesCarryTheWindowsWording)
{
    EXPECT_EQ(TextOf(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(TextOf(ERROR_PATH_NOT_FOUND), "The system cannot find the path specified.\r\n");
    EXPECT_EQ(TextOf(ERROR_DISK_FULL), "There is not enough space on the disk.\r\n");
    EXPECT_EQ(TextOf(ERROR_ALREADY_EXISTS),
              "Cannot create a file when that file already exists.\r\n");
    EXPECT_EQ(TextOf(ERROR_NEGATIVE_SEEK), "An attempt was made to move the file pointer "
                                           "before the beginning of the file.\r\n");
}

TEST(CSystemErrorTest, CodeOutsideTheTableHasNoTextAndLeavesTheTextAlone)
{
    for (const DWORD code : {1234u, 10200u, 4294967295u})
    {
        std::string text = "unchanged";
        EXPECT_FALSE(CSystemError::LookupText(code, text)) << code;
        EXPECT_EQ(text, "unchanged");
    }
}

TEST(CSystemErrorTest, LastErrorBelongsToTheCallingThread)
{
    EXPECT_EQ(CSystemError::SetLastFromErrno(EACCES), ERROR_ACCESS_DENIED);
    DWORD seenByOther = 0;
    std::thread other(
        [&]
        {
            seenByOther = CSystemError::GetLast();
            CSystemError::SetLastFromErrno(ENOSPC);
        });
    other.join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(CSystemError::GetLast(), ERROR_ACCESS_DENIED);
}
