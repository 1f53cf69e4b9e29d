#include "platform/COpenFolder.h"

#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

// A folder below a held one is held only when the name is one folder,
// never a link, a way up or a name the system would read cut short.
TEST(COpenFolderTest, HoldInHoldsOnlyAFolderUnderItsOwnName)
{
    CTestFolder folder;
    fs::create_directory(folder.Path() / "dir");
    folder.WriteFile("file", "f");
    folder.WriteFile("dir/inner", "i");
    COpenFolder parent;
    ASSERT_TRUE(parent.Hold(folder.Path().string()));
    struct SCase
    {
        std::string name;
        DWORD code; // ERROR_SUCCESS when held
    };
    std::vector<SCase> cases = {
        {"dir", ERROR_SUCCESS},
        {"file", ERROR_DIRECTORY},
        {"missing", ERROR_FILE_NOT_FOUND},
        {"..", ERROR_INVALID_NAME},
        {".", ERROR_INVALID_NAME},
        {"dir/inner", ERROR_INVALID_NAME},
        {std::string("di\0r", 4), ERROR_INVALID_NAME},
    };
#ifndef _WIN32
    fs::create_directory_symlink(folder.Path() / "dir", folder.Path() / "link");
    cases.push_back({"link", ERROR_CANT_RESOLVE_FILENAME});
#endif
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        COpenFolder below;
        CSystemError::SetLast(ERROR_SUCCESS);
        EXPECT_EQ(below.HoldIn(parent, c.name), c.code == ERROR_SUCCESS);
        EXPECT_EQ(CSystemError::GetLast(), c.code);
        if (c.code == ERROR_SUCCESS)
        {
            EXPECT_EQ(below.GetPath(), NativePath(folder, c.name));
        }
    }
}

#ifdef _WIN32
TEST(COpenFolderTest, AFolderHeldBelowAnotherCannotBeRenamedOrRemoved)
{
    if (RunsUnderWine())
        GTEST_SKIP() << "Wine lets a folder held without delete sharing be renamed";
    CTestFolder folder;
    fs::create_directory(folder.Path() / "dir");
    COpenFolder parent;
    ASSERT_TRUE(parent.Hold(folder.Path().string()));
    COpenFolder held;
    ASSERT_TRUE(held.HoldIn(parent, "dir"));
    EXPECT_FALSE(
        ::MoveFileA(NativePath(folder, "dir").c_str(), NativePath(folder, "moved").c_str()));
    EXPECT_FALSE(::RemoveDirectoryA(NativePath(folder, "dir").c_str()));
    held.Release();
    EXPECT_TRUE(
        ::MoveFileA(NativePath(folder, "dir").c_str(), NativePath(folder, "moved").c_str()));
}
#endif
