#include "settings/CAppSettings.h"

#include "settings/CRegistryKey.h"
#include "settings/SettingsTestHome.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

// Stored bytes written out by hand, apart from the code that stores them.
class CRecord
{
public:
    CRecord& U16(std::uint16_t value)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(value));
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        return *this;
    }
    CRecord& U32(std::uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
    // Short strings only: a one-byte length.
    CRecord& Str(const std::string& text)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(text.size()));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    CRecord& Zeros(std::size_t count)
    {
        m_bytes.insert(m_bytes.end(), count, 0);
        return *this;
    }
    CRecord& Append(const CRecord& other)
    {
        m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
        return *this;
    }
    // The value: its own total length, then the record.
    Bytes Framed() const
    {
        CRecord framed;
        framed.U32(static_cast<std::uint32_t>(m_bytes.size() + 4)).Append(*this);
        return framed.m_bytes;
    }

private:
    Bytes m_bytes;
};

// Fields 1 to 10 with values unlike the defaults.
CRecord FirstTenFields(std::uint16_t schema)
{
    CRecord r;
    r.U16(schema).U32(0).U32(0).U32(300).U32(64).U32(1).Str("list.txt").U32(0).U32(1).U32(0).U32(0);
    return r;
}

// The placement, the three lists and the archive settings without version word.
CRecord Tail()
{
    CRecord r;
    for (std::uint32_t value : {44u, 0u, 3u, 1u, 2u, 3u, 4u, 10u, 20u, 630u, 470u})
        r.U32(value);
    r.U16(2).U32(120).U32(80);
    r.U16(0);
    r.U16(1).Str("*.c");
    r.Str("600").Str("700").Str("17").Str("3").Str("ann").Str("staff");
    return r;
}

class CAppSettingsTest : public ::testing::Test
{
protected:
    void StoreValue(const Bytes& value)
    {
        CRegistryKey key;
        key.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_ALL_ACCESS);
        key.SetValue("AppState", REG_BINARY, value.data(),
                     static_cast<std::uint32_t>(value.size()));
    }

    Bytes StoredValue()
    {
        CRegistryKey key;
        key.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_READ);
        Bytes value(key.GetValueSize("AppState"));
        std::uint32_t size = static_cast<std::uint32_t>(value.size());
        DWORD type = 0;
        key.QueryValue("AppState", type, value.data(), size);
        EXPECT_EQ(type, REG_BINARY);
        return value;
    }

    CSettingsTestHome m_home;
};

void ExpectDefaults(const CAppSettings& s)
{
    EXPECT_EQ(s.m_bAutoSizeColumns, 1);
    EXPECT_EQ(s.m_bRelativePaths, 1);
    EXPECT_EQ(s.m_nCatalogPaneHeight, 150);
    EXPECT_EQ(s.m_nBlockingFactor, 20);
    EXPECT_EQ(s.m_bAutoListTapes, 0);
    EXPECT_EQ(s.m_strIndexFileName, "index.txt");
    EXPECT_EQ(s.m_bUseIndexFile, 1);
    EXPECT_EQ(s.m_bNoAssocPrompt, 0);
    EXPECT_EQ(s.m_bUseExplorer, 1);
    EXPECT_EQ(s.m_bShowFinishedDialog, 1);
    EXPECT_EQ(s.m_nTapeDevice, 0);
    EXPECT_EQ(s.m_bVariableBlocking, 0);
    EXPECT_EQ(s.m_strExtractFolder, std::filesystem::current_path().string());
    EXPECT_EQ(s.m_bUseCompression, 0);
    EXPECT_EQ(s.m_windowPlacement, SWindowPlacement());
    EXPECT_TRUE(s.m_columnWidths.empty());
    EXPECT_TRUE(s.m_reservedWidths.empty());
    EXPECT_TRUE(s.m_extractSpecs.empty());
    EXPECT_EQ(s.m_tarSettings.m_strUserName, "user");
    EXPECT_EQ(s.m_tarSettings.m_nTerminatingRecords, 10);
}

TEST_F(CAppSettingsTest, FirstRunGivesDefaultsAndSaveStoresSchemaFour)
{
    CAppSettings settings;
    settings.Load();
    ExpectDefaults(settings);

    settings.Save();
    CRecord expected;
    expected.U16(4).U32(1).U32(1).U32(150).U32(20).U32(0).Str("index.txt");
    expected.U32(1).U32(0).U32(1).U32(1).U32(0).U32(0);
    expected.Str(std::filesystem::current_path().string()).U32(0);
    expected.Zeros(44).U16(0).U16(0).U16(0);
    expected.U16(4).Str("644").Str("755").Str("1750").Str("12").Str("user").Str("other");
    expected.U32(10).U32(0).U32(CTarSettings::kOwnPermissionsByDefault).U32(1);
    EXPECT_EQ(StoredValue(), expected.Framed());
}

TEST_F(CAppSettingsTest, SchemaOneKeepsDefaultsOfLaterFields)
{
    StoreValue(FirstTenFields(1).Append(Tail()).Framed());
    CAppSettings settings;
    settings.Load();

    EXPECT_EQ(settings.m_bAutoSizeColumns, 0);
    EXPECT_EQ(settings.m_nCatalogPaneHeight, 300);
    EXPECT_EQ(settings.m_nBlockingFactor, 64);
    EXPECT_EQ(settings.m_strIndexFileName, "list.txt");
    EXPECT_EQ(settings.m_bShowFinishedDialog, 0);
    EXPECT_EQ(settings.m_nTapeDevice, 0);
    EXPECT_EQ(settings.m_bVariableBlocking, 0);
    EXPECT_EQ(settings.m_strExtractFolder, std::filesystem::current_path().string());
    EXPECT_EQ(settings.m_bUseCompression, 0);
    EXPECT_EQ(settings.m_windowPlacement.length, 44u);
    EXPECT_EQ(settings.m_windowPlacement.normalBottom, 470);
    EXPECT_EQ(settings.m_columnWidths, (std::vector<std::uint32_t>{120, 80}));
    EXPECT_TRUE(settings.m_reservedWidths.empty());
    EXPECT_EQ(settings.m_extractSpecs, (std::vector<std::string>{"*.c"}));
    EXPECT_EQ(settings.m_tarSettings.m_strFileMode, "600");
    EXPECT_EQ(settings.m_tarSettings.m_strGroupName, "staff");
    EXPECT_EQ(settings.m_tarSettings.m_nTerminatingRecords, 10);
}

struct SDamageCase
{
    const char* what;
    CRecord record;
    bool placementRead;
};

class CAppSettingsDamageTest : public CAppSettingsTest,
                               public ::testing::WithParamInterface<SDamageCase>
{
};

// Fields 1 to 10 are always sound here; what follows them is not.
TEST_P(CAppSettingsDamageTest, FieldsBeforeTheDamageKeepWhatWasRead)
{
    StoreValue(GetParam().record.Framed());
    CAppSettings settings;
    settings.m_columnWidths = {5};
    settings.Load();

    EXPECT_EQ(settings.m_nCatalogPaneHeight, 300);
    EXPECT_EQ(settings.m_strIndexFileName, "list.txt");
    EXPECT_EQ(settings.m_windowPlacement.length, GetParam().placementRead ? 44u : 0u);
    EXPECT_EQ(settings.m_columnWidths, (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(settings.m_tarSettings.m_strUserName, "user");
}

CRecord Placement()
{
    CRecord r;
    r.U32(44).Zeros(40);
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Tails, CAppSettingsDamageTest,
    ::testing::Values(
        SDamageCase{"CutInPlacement", FirstTenFields(1).Zeros(20), false},
        SDamageCase{"StringLongerThanValue",
                    FirstTenFields(3).U32(2).U32(1).U16(0xFFFF).U16(0xFFFF).U16(0xFFFF).U16(0x7FFF),
                    false},
        SDamageCase{"WidthsCut", FirstTenFields(1).Append(Placement()).U16(3).U32(1), true},
        SDamageCase{"CountOfAllItems",
                    FirstTenFields(1).Append(Placement()).U16(0xFFFF).U32(0xFFFFFFFF).U32(1),
                    true}),
    [](const auto& info) { return std::string(info.param.what); });

class CAppSettingsRecordsTest : public CAppSettingsTest,
                                public ::testing::WithParamInterface<std::pair<int, int>>
{
};

TEST_P(CAppSettingsRecordsTest, TerminatingRecordsAreBroughtIntoRange)
{
    CAppSettings stored;
    stored.m_tarSettings.m_nTerminatingRecords = GetParam().first;
    stored.Save();
    CAppSettings settings;
    settings.Load();
    EXPECT_EQ(settings.m_tarSettings.m_nTerminatingRecords, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Counts, CAppSettingsRecordsTest,
                         ::testing::Values(std::pair{0, 1}, std::pair{-5, 1},
                                           std::pair{40000, 32767}, std::pair{32767, 32767},
                                           std::pair{7, 7}));

TEST_F(CAppSettingsTest, SavedValuesComeBack)
{
    CAppSettings stored;
    stored.m_bRelativePaths = 0;
    stored.m_nBlockingFactor = 10240;
    stored.m_strIndexFileName = std::string(300, 'i');
    stored.m_nTapeDevice = 2;
    stored.m_bVariableBlocking = 1;
    stored.m_strExtractFolder = "/srv/out";
    stored.m_bUseCompression = 1;
    stored.m_windowPlacement.length = 44;
    stored.m_windowPlacement.minX = -1;
    stored.m_columnWidths = {1, 2, 3};
    stored.m_reservedWidths = {0xFFFFFFFF};
    stored.m_extractSpecs = {"*.h", "", "*.cpp"};
    stored.m_tarSettings.m_strUserId = "17";
    stored.m_tarSettings.m_bSgiFormat = 1;
    stored.Save();

    CAppSettings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.m_bRelativePaths, 0);
    EXPECT_EQ(loaded.m_nBlockingFactor, 10240);
    EXPECT_EQ(loaded.m_strIndexFileName, stored.m_strIndexFileName);
    EXPECT_EQ(loaded.m_nTapeDevice, 2);
    EXPECT_EQ(loaded.m_bVariableBlocking, 1);
    EXPECT_EQ(loaded.m_strExtractFolder, "/srv/out");
    EXPECT_EQ(loaded.m_bUseCompression, 1);
    EXPECT_EQ(loaded.m_windowPlacement, stored.m_windowPlacement);
    EXPECT_EQ(loaded.m_columnWidths, stored.m_columnWidths);
    EXPECT_EQ(loaded.m_reservedWidths, stored.m_reservedWidths);
    EXPECT_EQ(loaded.m_extractSpecs, stored.m_extractSpecs);
    EXPECT_EQ(loaded.m_tarSettings.m_strUserId, "17");
    EXPECT_EQ(loaded.m_tarSettings.m_bSgiFormat, 1);
}

TEST_F(CAppSettingsTest, UnknownSchemaChangesNothing)
{
    StoreValue(FirstTenFields(5).Append(Tail()).Framed());
    CAppSettings settings;
    settings.Load();
    ExpectDefaults(settings);
}

class CSettingsListener : public CEventHandler
{
public:
    int OnChanged(void* record)
    {
        const auto* changed = static_cast<SSettingsChanged*>(record);
        codes.push_back(changed->nCode);
        senders.push_back(changed->pSettings);
        return 0;
    }

    std::vector<int> codes;
    std::vector<CAppSettings*> senders;
};

TEST(CAppSettingsEventTest, ChangesReachAdvisedClients)
{
    CAppSettings settings;
    CSettingsListener listener;
    settings.Advise(&listener, &CSettingsListener::OnChanged);
    settings.NotifyChanged(SC_PATHS);
    settings.NotifyChanged(SC_ALL);
    settings.Unadvise(&listener);
    settings.NotifyChanged(SC_PERMISSIONS);

    EXPECT_EQ(listener.codes, (std::vector<int>{SC_PATHS, SC_ALL}));
    EXPECT_EQ(listener.senders, (std::vector<CAppSettings*>{&settings, &settings}));
}

} // namespace
