#include "settings/CRegistryKey.h"

#include "core/CBinaryStream.h"
#include "settings/SettingsTestHome.h"
#include "support/ExpectRaise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

struct SValueCase
{
    const char* name;
    DWORD type;
    Bytes data;
};

class CRegistryKeyTest : public ::testing::TestWithParam<SValueCase>
{
protected:
    static void OpenFull(CRegistryKey& key)
    {
        key.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_ALL_ACCESS);
    }

    Bytes Query(const CRegistryKey& key, const std::string& name, DWORD& type)
    {
        Bytes data(key.GetValueSize(name));
        std::uint32_t size = static_cast<std::uint32_t>(data.size());
        key.QueryValue(name, type, data.data(), size);
        data.resize(size);
        return data;
    }

    CSettingsTestHome m_home;
};

TEST_P(CRegistryKeyTest, ValueComesBackWithItsTypeAndBytes)
{
    const SValueCase& value = GetParam();
    CRegistryKey writer;
    OpenFull(writer);
    writer.SetValue(value.name, value.type, value.data.data(),
                    static_cast<std::uint32_t>(value.data.size()));

    CRegistryKey reader;
    reader.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_READ);
    DWORD type = 0;
    EXPECT_EQ(Query(reader, value.name, type), value.data);
    EXPECT_EQ(type, value.type);
    EXPECT_EQ(reader.GetValueSize(value.name), value.data.size());
}

INSTANTIATE_TEST_SUITE_P(Types, CRegistryKeyTest,
                         ::testing::Values(SValueCase{"Binary", REG_BINARY, {0, 1, 0xFF, 7}},
                                           SValueCase{"Text", REG_SZ, {'a', 'b', 0}},
                                           SValueCase{"Number", REG_DWORD, {1, 0, 0, 0}},
                                           SValueCase{"Empty", REG_BINARY, {}}));

class CRegistryKeyErrorTest : public CRegistryKeyTest
{
};

TEST_F(CRegistryKeyErrorTest, MissingKeyOrValueIsFileNotFound)
{
    std::random_device seed;
    const std::string missingKey = "Software\\Hessadyne\\Missing" + std::to_string(seed());
    CRegistryKey key;
    ExpectOsError(ERROR_FILE_NOT_FOUND,
                  [&] { key.Open(ERegistryRoot::CurrentUser, missingKey, KEY_READ); });

    OpenFull(key);
    ExpectOsError(ERROR_FILE_NOT_FOUND, [&] { key.GetValueSize("Nothing"); });
    ExpectOsError(ERROR_FILE_NOT_FOUND, [&] { key.LoadObject("Nothing", [](CBinaryStream&) {}); });
}

TEST_F(CRegistryKeyErrorTest, SmallBufferGetsMoreDataAndTheSizeNeeded)
{
    CRegistryKey key;
    OpenFull(key);
    const Bytes data(10, 0x5A);
    key.SetValue("Binary", REG_BINARY, data.data(), 10);
    Bytes small(4);
    std::uint32_t size = 4;
    DWORD type = 0;
    // Only the code: the POSIX message table has no text for this one yet.
    try
    {
        key.QueryValue("Binary", type, small.data(), size);
        ADD_FAILURE() << "nothing was raised";
    }
    catch (const COsException& e)
    {
        EXPECT_EQ(e.GetErrorCode(), static_cast<DWORD>(ERROR_MORE_DATA));
    }
    EXPECT_EQ(size, 10u);
}

TEST_F(CRegistryKeyErrorTest, KeyOpenedForReadingRefusesWrites)
{
    CRegistryKey key;
    OpenFull(key);
    key.Close();
    key.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_READ);
    const std::uint8_t byte = 1;
    ExpectOsError(ERROR_ACCESS_DENIED, [&] { key.SetValue("Binary", REG_BINARY, &byte, 1); });
}

TEST_F(CRegistryKeyErrorTest, StoredObjectLeadsWithItsTotalLength)
{
    CRegistryKey key;
    OpenFull(key);
    key.StoreObject("Object", [](CBinaryStream& stream) { stream.WriteBytes("abc", 3); });

    DWORD type = 0;
    EXPECT_EQ(Query(key, "Object", type), (Bytes{7, 0, 0, 0, 'a', 'b', 'c'}));
    EXPECT_EQ(type, REG_BINARY);
    std::string seen;
    key.LoadObject("Object",
                   [&](CBinaryStream& stream)
                   {
                       seen.resize(stream.Remaining());
                       stream.ReadBytes(seen.data(), seen.size());
                   });
    EXPECT_EQ(seen, "abc");
}

#ifndef _WIN32
TEST_F(CRegistryKeyErrorTest, OnlyCreateRightsMakeTheKeyFolder)
{
    CRegistryKey key;
    ExpectOsError(ERROR_FILE_NOT_FOUND,
                  [&] { key.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_READ); });
    EXPECT_FALSE(std::filesystem::exists(m_home.KeyFolder()));

    OpenFull(key);
    EXPECT_TRUE(std::filesystem::is_directory(m_home.KeyFolder()));
    key.Open(ERegistryRoot::CurrentUser, std::string(kVorkantKey) + "\\Sub Key", KEY_ALL_ACCESS);
    EXPECT_TRUE(std::filesystem::is_directory(m_home.KeyFolder() + "/Sub%20Key"));
    ExpectOsError(
        ERROR_INVALID_NAME,
        [&] { key.Open(ERegistryRoot::CurrentUser, "Software\\\\Hessadyne", KEY_ALL_ACCESS); });
}

// Without a usable XDG_CONFIG_HOME (unset, or relative, which is to be
// ignored) the keys live in ~/.config.
TEST_F(CRegistryKeyErrorTest, ConfigFolderFallsBackToHome)
{
    const std::string previousHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", m_home.Folder().Path().c_str(), 1);
    for (const char* configHome : {static_cast<const char*>(nullptr), "relative/config"})
    {
        if (configHome)
            setenv("XDG_CONFIG_HOME", configHome, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(m_home.Folder() / ".config");
        CRegistryKey key;
        OpenFull(key);
        EXPECT_TRUE(std::filesystem::is_directory(m_home.Folder() / ".config/Hessadyne/Vorkant"));
    }
    setenv("HOME", previousHome.c_str(), 1);
}

TEST_F(CRegistryKeyErrorTest, ValueFileHoldsTypeThenDataAndStaysInItsFolder)
{
    CRegistryKey key;
    OpenFull(key);
    const std::uint8_t data[] = {9, 8};
    key.SetValue("Binary", REG_BINARY, data, 2);
    key.SetValue("../Escape", REG_BINARY, data, 2);

    EXPECT_EQ(m_home.Folder().ReadFile("Hessadyne/Vorkant/Binary.value"),
              std::string("\x03\0\0\0\x09\x08", 6));
    EXPECT_TRUE(
        std::filesystem::exists(m_home.Folder() / "Hessadyne/Vorkant/%2E%2E%2FEscape.value"));
    DWORD type = 0;
    EXPECT_EQ(Query(key, "../Escape", type), (Bytes{9, 8}));
}

TEST_F(CRegistryKeyErrorTest, LeftoverTemporaryFileNeverReplacesTheValue)
{
    CRegistryKey key;
    OpenFull(key);
    const std::uint8_t first[] = {1, 2, 3};
    key.SetValue("Binary", REG_BINARY, first, 3);
    // What a writer that died between writing and renaming leaves behind.
    m_home.Folder().WriteFile("Hessadyne/Vorkant/Binary.value.1.1.tmp", "\x03\0\0\0junk");

    DWORD type = 0;
    EXPECT_EQ(Query(key, "Binary", type), (Bytes{1, 2, 3}));
    const std::uint8_t second[] = {4};
    key.SetValue("Binary", REG_BINARY, second, 1);
    EXPECT_EQ(Query(key, "Binary", type), (Bytes{4}));
    // No temporary file of our own is left behind by a good write.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_home.KeyFolder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Binary.value", "Binary.value.1.1.tmp"}));
}
#endif

} // namespace
