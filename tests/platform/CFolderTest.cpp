#include "platform/CFolder.h"

#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "platform/PathStyle.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace
{

template <typename Call> void ExpectFailure(DWORD code, Call call)
{
    CSystemError::SetLast(ERROR_SUCCESS);
    EXPECT_FALSE(call());
    EXPECT_EQ(CSystemError::GetLast(), code);
}

#ifdef _WIN32
// The variable the system looks at first for its temporary folder.
const char kTempVariable[] = "TMP";
#else
const char kTempVariable[] = "TMPDIR";
#endif

// Sets or removes the temporary-folder variable for one case and puts the
// old value back.
class CTempVariableScope
{
public:
    explicit CTempVariableScope(const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv(kTempVariable))
            m_old = old;
        Apply(value);
    }
    ~CTempVariableScope() { Apply(m_old); }
    CTempVariableScope(const CTempVariableScope&) = delete;
    CTempVariableScope& operator=(const CTempVariableScope&) = delete;

private:
    static void Apply(const std::optional<std::string>& value)
    {
#ifdef _WIN32
        // The system reads its own copy of the environment, not the C library's.
        ::SetEnvironmentVariableA(kTempVariable, value ? value->c_str() : nullptr);
        ::_putenv_s(kTempVariable, value ? value->c_str() : "");
#else
        if (value)
            ::setenv(kTempVariable, value->c_str(), 1);
        else
            ::unsetenv(kTempVariable);
#endif
    }

    std::optional<std::string> m_old;
};

} // namespace

TEST(CFolderTest, CreateMakesOneLevel)
{
    CTestFolder folder;
    ASSERT_TRUE(CFolder::Create(folder / "New Folder"));
    EXPECT_TRUE(fs::is_directory(folder.Path() / "New Folder"));
    ASSERT_TRUE(CFolder::Create(folder / "New Folder/Inner"));
    EXPECT_TRUE(fs::is_directory(folder.Path() / "New Folder/Inner"));
}

TEST(CFolderTest, CreateFailuresCarryTheWindowsCodes)
{
    struct SCase
    {
        const char* name;
        DWORD code;
    };
    const SCase cases[] = {
        {"sub", ERROR_ALREADY_EXISTS},
        {"file.txt", ERROR_ALREADY_EXISTS},
        {"missing/new", ERROR_PATH_NOT_FOUND},
        {"file.txt/new", ERROR_PATH_NOT_FOUND},
    };
    CTestFolder folder;
    folder.WriteFile("file.txt", "x");
    fs::create_directory(folder.Path() / "sub");
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        ExpectFailure(c.code, [&] { return CFolder::Create(NativePath(folder, c.name)); });
    }
    ExpectFailure(ERROR_PATH_NOT_FOUND, [] { return CFolder::Create(""); });
}

TEST(CFolderTest, CreateOverADanglingLinkCreatesNothing)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#endif
    CTestFolder folder;
    fs::create_symlink(folder / "gone", folder.Path() / "dangling");
    ExpectFailure(ERROR_ALREADY_EXISTS, [&] { return CFolder::Create(folder / "dangling"); });
    EXPECT_FALSE(fs::exists(folder.Path() / "gone"));
}

std::int64_t SecondsOf(const fs::path& path)
{
    const auto time = std::chrono::file_clock::to_sys(fs::last_write_time(path));
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

TEST(CFolderTest, SetTimeAndModeGivesTheFolderBothOrTheTimeAlone)
{
    CTestFolder folder;
    COpenFolder parent;
    ASSERT_TRUE(parent.Hold(folder.Path().string()));
    ASSERT_TRUE(CFolder::CreateIn(parent, "dir"));
    const std::string path = NativePath(folder, "dir");
    fs::permissions(path, fs::perms(0755), fs::perm_options::replace);

    EXPECT_TRUE(CFolder::SetTimeAndModeIn(parent, "dir", 1234567890, std::nullopt));
    EXPECT_EQ(SecondsOf(path), 1234567890);
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0755));
#endif
    EXPECT_TRUE(CFolder::SetTimeAndModeIn(parent, "dir", 1000000000, 07750));
    EXPECT_EQ(SecondsOf(path), 1000000000);
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0750));
#endif
    ExpectFailure(ERROR_FILE_NOT_FOUND,
                  [&] { return CFolder::SetTimeAndModeIn(parent, "gone", 0, 0700); });
}

TEST(CFolderTest, SetTimeAndModeRefusesALinkInTheFoldersPlace)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoSymbolicLinks;
#endif
    CTestFolder folder;
    fs::create_directory(folder.Path() / "real");
    fs::permissions(folder.Path() / "real", fs::perms(0755), fs::perm_options::replace);
    const auto before = fs::last_write_time(folder.Path() / "real");
    fs::create_directory_symlink(folder.Path() / "real", folder.Path() / "link");
    COpenFolder parent;
    ASSERT_TRUE(parent.Hold(folder.Path().string()));
    ExpectFailure(ERROR_CANT_RESOLVE_FILENAME,
                  [&] { return CFolder::SetTimeAndModeIn(parent, "link", 0, 0700); });
    EXPECT_EQ(fs::last_write_time(folder.Path() / "real"), before);
    EXPECT_EQ(fs::status(folder.Path() / "real").permissions(), fs::perms(0755));
}

TEST(CFolderTest, EnumerateListsOneLevelWithoutTheDotEntries)
{
    CTestFolder folder;
    folder.WriteFile("b.txt", "b");
    folder.WriteFile("A.TXT", "a");
    folder.WriteFile(".hidden", "h");
    folder.WriteFile("Sub/deeper.txt", "d");
    fs::create_directory(folder.Path() / "empty");
    std::vector<std::string> names{"stale"};
    ASSERT_TRUE(CFolder::Enumerate(folder.Path().string(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "A.TXT", "Sub", "b.txt", "empty"}));

    ASSERT_TRUE(CFolder::Enumerate(folder / "empty", names));
    EXPECT_TRUE(names.empty());
}

TEST(CFolderTest, EnumerateFailuresKeepTheNames)
{
    struct SCase
    {
        const char* name;
        DWORD code;
    };
    const SCase cases[] = {
        {"missing", ERROR_PATH_NOT_FOUND},
        {"missing/deeper", ERROR_PATH_NOT_FOUND},
        {"file.txt/deeper", ERROR_PATH_NOT_FOUND},
        {"file.txt", ERROR_DIRECTORY},
    };
    CTestFolder folder;
    folder.WriteFile("file.txt", "x");
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<std::string> names{"kept"};
        ExpectFailure(c.code,
                      [&] { return CFolder::Enumerate(NativePath(folder, c.name), names); });
        EXPECT_EQ(names, std::vector<std::string>{"kept"});
    }
    std::vector<std::string> names{"kept"};
    ExpectFailure(ERROR_PATH_NOT_FOUND, [&] { return CFolder::Enumerate("", names); });
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST(CFolderTest, EnumerateTakesANameEndingInASeparator)
{
    CTestFolder folder;
    folder.WriteFile("only.txt", "x");
    std::vector<std::string> names;
    ASSERT_TRUE(CFolder::Enumerate(folder.Path().string() + kHostSeparator, names));
    EXPECT_EQ(names, std::vector<std::string>{"only.txt"});
}

TEST(CFolderTest, EnumerateListsADriveRoot)
{
#ifndef _WIN32
    GTEST_SKIP() << kOnlyOnWindows;
#else
    // The temporary folder's drive, and the first folder on the way to it.
    const std::string temp = CFolder::GetTempFolder();
    ASSERT_GT(temp.size(), 3u);
    const std::string root = temp.substr(0, 3);
    const std::string first = temp.substr(3, temp.find('\\', 3) - 3);
    for (const std::string& name : {root, root.substr(0, 2) + "/"})
    {
        SCOPED_TRACE(name);
        std::vector<std::string> names;
        ASSERT_TRUE(CFolder::Enumerate(name, names));
        EXPECT_NE(std::find(names.begin(), names.end(), first), names.end()) << first;
    }
#endif
}

TEST(CFolderTest, TempFolderComesFromTheEnvironment)
{
    CTestFolder folder;
    const std::string path = folder.Path().string();
    struct SCase
    {
        std::optional<std::string> value;
        std::string expected;
    };
#ifdef _WIN32
    // The system takes the variable as it is and adds the separator.
    const std::string sep = "\\";
    const SCase cases[] = {{path, path + sep}, {path + sep, path + sep}};
#else
    const std::string sep = "/";
    const std::string file = folder.WriteFile("file.txt", "x");
    const SCase cases[] = {
        {path, path + sep}, {path + sep, path + sep},     {std::nullopt, "/tmp/"},
        {"", "/tmp/"},      {path + "/missing", "/tmp/"}, {file, "/tmp/"},
    };
#endif
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.value.value_or("(unset)"));
        CTempVariableScope scope(c.value);
        EXPECT_EQ(CFolder::GetTempFolder(), c.expected);
    }
}

TEST(CFolderTest, TempFolderIsAFolderEndingInTheHostSeparator)
{
    const std::string temp = CFolder::GetTempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), kHostSeparator);
    CFileStatus status;
    ASSERT_TRUE(CFileStatus::Get(temp, status)) << temp;
    EXPECT_TRUE(status.m_bDirectory);
}
