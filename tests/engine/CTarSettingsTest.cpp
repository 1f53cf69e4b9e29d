#include "engine/CTarSettings.h"

#include "core/CBinaryStream.h"
#include "core/CGenericException.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& bytes, std::initializer_list<std::uint8_t> more)
{
    bytes.insert(bytes.end(), more);
}

void AppendText(Bytes& bytes, const std::string& text)
{
    bytes.push_back(static_cast<std::uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// Six short strings "a".."f", as a record without version word stores them.
Bytes SixStrings()
{
    Bytes bytes;
    for (const char* text : {"a", "b", "c", "d", "e", "f"})
        AppendText(bytes, text);
    return bytes;
}

CTarSettings Changed()
{
    CTarSettings s;
    s.m_strFileMode = "600";
    s.m_strDirMode = "700";
    s.m_strUserId = "0";
    s.m_strGroupId = "";
    s.m_strUserName = std::string(300, 'u');
    s.m_strGroupName = "wheel";
    s.m_nTerminatingRecords = 32767;
    s.m_bSgiFormat = 1;
    s.m_bOwnPermissions = 1 - CTarSettings::kOwnPermissionsByDefault;
    s.m_bSparse = 0;
    return s;
}

void ExpectSameValues(const CTarSettings& a, const CTarSettings& b)
{
    EXPECT_EQ(a.m_strFileMode, b.m_strFileMode);
    EXPECT_EQ(a.m_strDirMode, b.m_strDirMode);
    EXPECT_EQ(a.m_strUserId, b.m_strUserId);
    EXPECT_EQ(a.m_strGroupId, b.m_strGroupId);
    EXPECT_EQ(a.m_strUserName, b.m_strUserName);
    EXPECT_EQ(a.m_strGroupName, b.m_strGroupName);
    EXPECT_EQ(a.m_nTerminatingRecords, b.m_nTerminatingRecords);
    EXPECT_EQ(a.m_bSgiFormat, b.m_bSgiFormat);
    EXPECT_EQ(a.m_bOwnPermissions, b.m_bOwnPermissions);
    EXPECT_EQ(a.m_bSparse, b.m_bSparse);
}

} // namespace

TEST(CTarSettingsTest, DefaultsAreStoredByteForByte)
{
    CBinaryStream out;
    CTarSettings().Store(out);

    Bytes expected{0x04, 0x00};
    for (const char* text : {"644", "755", "1750", "12", "user", "other"})
        AppendText(expected, text);
    Append(expected, {0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Append(expected, {CTarSettings::kOwnPermissionsByDefault, 0x00, 0x00, 0x00});
    Append(expected, {0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(out.Buffer(), expected);
}

TEST(CTarSettingsTest, StoreThenLoadGivesBackEveryValue)
{
    const CTarSettings original = Changed();
    CBinaryStream stream;
    original.Store(stream);

    CTarSettings loaded;
    CBinaryStream in(stream.Buffer());
    loaded.Load(in);
    ExpectSameValues(loaded, original);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(CTarSettingsTest, WithoutVersionWordOnlyTheSixStringsAreRead)
{
    Bytes record = SixStrings();
    Append(record, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}); // belongs to the next field

    CTarSettings s;
    s.m_bHasVersion = 0;
    s.m_nTerminatingRecords = 77;
    s.m_bSgiFormat = 1;
    CBinaryStream in(record);
    s.Load(in);

    EXPECT_EQ(s.m_strFileMode, "a");
    EXPECT_EQ(s.m_strGroupName, "f");
    EXPECT_EQ(s.m_nTerminatingRecords, 77);
    EXPECT_EQ(s.m_bSgiFormat, 1);
    EXPECT_EQ(in.Remaining(), 8u);
}

TEST(CTarSettingsTest, VersionOneReadsTheCountButNotTheSgiFlag)
{
    Bytes record{0x01, 0x00};
    const Bytes strings = SixStrings();
    record.insert(record.end(), strings.begin(), strings.end());
    Append(record, {0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00});

    CTarSettings s;
    CBinaryStream in(record);
    s.Load(in);

    EXPECT_EQ(s.m_strUserName, "e");
    EXPECT_EQ(s.m_nTerminatingRecords, 3);
    EXPECT_EQ(s.m_bSgiFormat, 0);
    EXPECT_EQ(s.m_bOwnPermissions, CTarSettings::kOwnPermissionsByDefault);
    EXPECT_EQ(s.m_bSparse, 1);
    EXPECT_EQ(in.Remaining(), 4u);
}

TEST(CTarSettingsTest, DamagedTailKeepsWhatWasReadBeforeIt)
{
    Bytes record{0x02, 0x00};
    AppendText(record, "600");
    Append(record, {0x05, 'x'}); // claims five characters, holds one

    CTarSettings s;
    CBinaryStream in(record);
    EXPECT_THROW(s.Load(in), CGenericException);
    EXPECT_EQ(s.m_strFileMode, "600");
    EXPECT_EQ(s.m_strDirMode, "755");
    EXPECT_EQ(s.m_nTerminatingRecords, 10);
}

TEST(CTarSettingsTest, AssignmentCopiesAllButTheVersionFlag)
{
    CTarSettings source = Changed();
    source.m_bHasVersion = 1;
    CTarSettings target;
    target.m_bHasVersion = 0;

    target = source;
    ExpectSameValues(target, source);
    EXPECT_EQ(target.m_bHasVersion, 0);
}
