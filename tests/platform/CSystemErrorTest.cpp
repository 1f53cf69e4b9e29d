#include "platform/CSystemError.h"

#include "platform/HostTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
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
#ifdef EDQUOT
    {EDQUOT, ERROR_DISK_FULL},
#endif
    {EROFS, ERROR_WRITE_PROTECT},
    {EEXIST, ERROR_FILE_EXISTS},
    {ENOTDIR, ERROR_DIRECTORY},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EIO, ERROR_IO_DEVICE},
    {EBADF, ERROR_INVALID_HANDLE},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EFAULT, ERROR_NOACCESS},
    {EMLINK, ERROR_TOO_MANY_LINKS},
#ifdef ESTALE
    {ESTALE, ERROR_FILE_INVALID},
#endif
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
#ifdef _WIN32
    GTEST_SKIP() << "the texts are the system's own here; Wine has none for some codes";
#endif
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
#ifdef _WIN32
    GTEST_SKIP() << "the texts are the system's own here, and Wine words them differently";
#endif
    EXPECT_EQ(TextOf(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(TextOf(ERROR_PATH_NOT_FOUND), "The system cannot find the path specified.\r\n");
    EXPECT_EQ(TextOf(ERROR_DISK_FULL), "There is not enough space on the disk.\r\n");
    EXPECT_EQ(TextOf(ERROR_ALREADY_EXISTS),
              "Cannot create a file when that file already exists.\r\n");
    EXPECT_EQ(TextOf(ERROR_NEGATIVE_SEEK), "An attempt was made to move the file pointer "
                                           "before the beginning of the file.\r\n");
}

TEST(CSystemErrorTest, CodeWithoutATextLeavesTheTextAlone)
{
    // Bit 29 marks an application's own code: no system has a text for one.
    for (const DWORD code : {0x20000000u | 1234u, 10200u, 4294967295u})
    {
        std::string text = "unchanged";
        EXPECT_FALSE(CSystemError::LookupText(code, text)) << code;
        EXPECT_EQ(text, "unchanged");
    }
}

TEST(CSystemErrorTest, LookingUpATextKeepsTheLastError)
{
    std::string text;
    CSystemError::SetLast(ERROR_DISK_FULL);
    EXPECT_TRUE(CSystemError::LookupText(ERROR_FILE_NOT_FOUND, text));
    EXPECT_FALSE(CSystemError::LookupText(4294967295u, text));
    EXPECT_EQ(CSystemError::GetLast(), ERROR_DISK_FULL);
}

TEST(CSystemErrorTest, TextsAreTheSystemsOwn)
{
#ifndef _WIN32
    GTEST_SKIP() << "only Windows has a message table of its own";
#else
    for (const DWORD code :
         {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED,
          ERROR_NOT_READY, ERROR_NEGATIVE_SEEK, ERROR_NO_DATA_DETECTED, ERROR_MEDIA_CHANGED})
    {
        const std::string expected = SystemText(code);
        ASSERT_GT(expected.size(), 2u) << code;
        EXPECT_EQ(expected.substr(expected.size() - 2), "\r\n") << code;
        EXPECT_EQ(TextOf(code), expected) << code;
    }
#endif
}

TEST(CSystemErrorTest, LastErrorBelongsToTheCallingThread)
{
    // Only atomics come between setting a last error and reading it: on
    // Windows starting, joining or naming a thread clears the caller's.
    std::atomic<int> step{0};
    const auto waitFor = [&](int wanted)
    {
        while (step.load() != wanted)
        {
        }
    };
    DWORD otherAtStart = 99;
    DWORD otherAtEnd = 0;
    DWORD mine = 0;
    std::thread other(
        [&]
        {
            otherAtStart = CSystemError::GetLast();
            step = 1;
            waitFor(2);
            CSystemError::SetLastFromErrno(ENOSPC);
            step = 3;
            waitFor(4);
            otherAtEnd = CSystemError::GetLast();
        });
    waitFor(1);
    EXPECT_EQ(CSystemError::SetLastFromErrno(EACCES), ERROR_ACCESS_DENIED);
    step = 2;
    waitFor(3);
    mine = CSystemError::GetLast();
    step = 4;
    other.join();
    EXPECT_EQ(otherAtStart, ERROR_SUCCESS);
    EXPECT_EQ(mine, ERROR_ACCESS_DENIED);
    EXPECT_EQ(otherAtEnd, ERROR_DISK_FULL);
}
