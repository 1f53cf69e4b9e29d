#include "platform/CLink.h"

#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "platform/PathStyle.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

TEST(CLinkTest, SymbolicLinkHoldsItsTargetVerbatim)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#else
    CTestFolder folder;
    COpenFolder held;
    ASSERT_TRUE(held.Hold(folder.Path().string()));
    const COpenFolder none; // names go as whole paths
    const struct
    {
        const COpenFolder& at;
        std::string name, target;
    } cases[] = {
        {held, "absolute", folder / "file"},       {held, "relative", "../elsewhere/./file"},
        {held, "dangling", "\xff odd\tbytes"},     {held, "long", std::string(256, 'a')},
        {held, "longest", std::string(4095, 'b')}, {none, folder / "whole", "file"},
    };
    for (const auto& c : cases)
    {
        std::string target;
        EXPECT_TRUE(CLink::CreateSymbolicIn(c.at, c.name, c.target)) << c.name;
        EXPECT_TRUE(CLink::ReadIn(c.at, c.name, target)) << c.name;
        EXPECT_EQ(target, c.target) << c.name;
        EXPECT_FALSE(CLink::CreateSymbolicIn(c.at, c.name, "other")) << c.name;
        EXPECT_EQ(CSystemError::GetLast(), ERROR_ALREADY_EXISTS) << c.name;
    }
#endif
}

// Across two held folders; a link at the target is linked itself, not followed.
TEST(CLinkTest, HardLinkIsAnotherNameOfTheItemItself)
{
    CTestFolder folder;
    folder.WriteFile("from/file", "before");
    fs::create_directory(folder.Path() / "to");
    COpenFolder from;
    COpenFolder to;
    ASSERT_TRUE(from.Hold(NativePath(folder, "from")) && to.Hold(NativePath(folder, "to")));
    ASSERT_TRUE(CLink::CreateHardIn(from, "file", to, "file"));
    folder.WriteFile("to/file", "after");
    EXPECT_EQ(folder.ReadFile("from/file"), "after");
#ifndef _WIN32
    ASSERT_TRUE(CLink::CreateSymbolicIn(from, "link", "file"));
    ASSERT_TRUE(CLink::CreateHardIn(from, "link", to, "link"));
    std::string target;
    EXPECT_TRUE(CLink::ReadIn(to, "link", target));
    EXPECT_EQ(target, "file");
#endif
}

// A link's target keeps its own time, and a FIFO is never opened (which would
// wait for a writer).
TEST(CLinkTest, SetTimeInTimesTheNameItself)
{
    CTestFolder folder;
    folder.WriteFile("file", "x");
    fs::create_directory(folder.Path() / "folder");
    COpenFolder held;
    ASSERT_TRUE(held.Hold(folder.Path().string()));
    std::vector<std::pair<std::string, std::int64_t>> cases = {{"file", -86400},
                                                               {"folder", 946684800}};
#ifndef _WIN32
    ASSERT_TRUE(CLink::CreateSymbolicIn(held, "link", "file") &&
                CLink::CreateFifoIn(held, "pipe", 0600));
    cases.insert(cases.end(), {{"link", 4102444800}, {"pipe", 1234567890}});
#endif
    for (const auto& [name, mtime] : cases)
        EXPECT_TRUE(CLink::SetTimeIn(held, name, mtime)) << name;
    for (const auto& [name, mtime] : cases)
    {
        CFileStatus status;
        EXPECT_TRUE(CFileStatus::GetIn(held, name, status, false));
        EXPECT_EQ(status.m_mtime, mtime) << name;
    }
}

TEST(CLinkTest, FailuresCarryTheWindowsCode)
{
    CTestFolder folder;
    folder.WriteFile("file", "x");
    COpenFolder held;
    ASSERT_TRUE(held.Hold(folder.Path().string()));
    const std::string inMissing = std::string("missing") + kHostSeparator + "name";
    const std::string nul("fi\0le", 5); // the system would see "fi", another name
    std::string target;
    const std::pair<std::function<bool()>, DWORD> cases[] = {
        {[&] { return CLink::ReadIn(held, "file", target); }, ERROR_NOT_A_REPARSE_POINT},
        {[&] { return CLink::CreateHardIn(held, "missing", held, "new"); }, ERROR_FILE_NOT_FOUND},
        {[&] { return CLink::CreateHardIn(held, "file", held, inMissing); }, ERROR_PATH_NOT_FOUND},
#ifdef _WIN32
        {[&] { return CLink::CreateFifoIn(held, "pipe", 0600); }, ERROR_NOT_SUPPORTED},
#else
        {[&] { return CLink::CreateFifoIn(held, "file", 0600); }, ERROR_ALREADY_EXISTS},
#endif
        {[&] { return CLink::ReadIn(held, nul, target); }, ERROR_INVALID_NAME},
        {[&] { return CLink::CreateSymbolicIn(held, "new", nul); }, ERROR_INVALID_NAME},
    };
    for (const auto& [call, code] : cases)
    {
        CSystemError::SetLast(ERROR_SUCCESS);
        EXPECT_FALSE(call());
        EXPECT_EQ(CSystemError::GetLast(), code);
    }
}
