#include "platform/CFolder.h"

#include "platform/CSystemError.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace
{

template <typename Call> void ExpectFailure(DWORD code, Call call)
{
    CSystemError::SetLast(ERROR_SUCCESS);
    EXPECT_FALSE(call());
    EXPECT_EQ(CSystemError::GetLast(), code);
}

// Sets or removes TMPDIR for one case and puts the old value back.
class CTmpdirScope
{
public:
    explicit CTmpdirScope(const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv("TMPDIR"))
            m_old = old;
        Apply(value);
    }
    ~CTmpdirScope() { Apply(m_old); }
    CTmpdirScope(const CTmpdirScope&) = delete;
    CTmpdirScope& operator=(const CTmpdirScope&) = delete;

private:
    static void Apply(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv("TMPDIR", value->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
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
        {"sub", ERROR_ALREADY_EXISTS},          {"file.txt", ERROR_ALREADY_EXISTS},
        {"dangling", ERROR_ALREADY_EXISTS},     {"missing/new", ERROR_PATH_NOT_FOUND},
        {"file.txt/new", ERROR_PATH_NOT_FOUND},
    };
    CTestFolder folder;
    folder.WriteFile("file.txt", "x");
    fs::create_directory(folder.Path() / "sub");
    fs::create_symlink(folder / "gone", folder.Path() / "dangling");
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        ExpectFailure(c.code, [&] { return CFolder::Create(folder / c.name); });
    }
    ExpectFailure(ERROR_PATH_NOT_FOUND, [] { return CFolder::Create(""); });
    EXPECT_FALSE(fs::exists(folder.Path() / "gone"));
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
        ExpectFailure(c.code, [&] { return CFolder::Enumerate(folder / c.name, names); });
        EXPECT_EQ(names, std::vector<std::string>{"kept"});
    }
}

TEST(CFolderTest, TempFolderComesFromTmpdirWhenThatIsAFolder)
{
    CTestFolder folder;
    const std::string path = folder.Path().string();
    const std::string file = folder.WriteFile("file.txt", "x");
    struct SCase
    {
        std::optional<std::string> tmpdir;
        std::string expected;
    };
    const SCase cases[] = {
        {path, path + "/"}, {path + "/", path + "/"},     {std::nullopt, "/tmp/"},
        {"", "/tmp/"},      {path + "/missing", "/tmp/"}, {file, "/tmp/"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.tmpdir.value_or("(unset)"));
        CTmpdirScope scope(c.tmpdir);
        EXPECT_EQ(CFolder::GetTempFolder(), c.expected);
    }
}
