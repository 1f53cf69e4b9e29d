#include "engine/CTarHeader.h"

#include "engine/CTarExtendedHeader.h"
#include "engine/CTarSettings.h"
#include "engine/STarMember.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <optional>
#include <ostream>
#include <string>

namespace
{

constexpr std::uint32_t kTime = 1600000000; // octal 13727410000

// The raw bytes of a field, zeros included.
std::string Field(const CTarHeader& header, std::size_t offset, std::size_t width)
{
    return std::string(reinterpret_cast<const char*>(header.Bytes().data() + offset), width);
}

std::string Padded(const std::string& text, std::size_t width)
{
    return text + std::string(width - text.size(), '\0');
}

CTarHeader Built(const std::string& name, std::uint64_t size, bool isDirectory,
                 const CTarSettings& settings = CTarSettings())
{
    STarMember member;
    member.strName = name;
    member.dwSize = size;
    member.time = kTime;
    member.chType = isDirectory ? '5' : '0';
    CTarHeader header;
    header.Build(member, settings);
    return header;
}

// The sum the checksum field must hold, computed with the field as blanks.
unsigned ExpectedChecksum(const CTarHeader& header)
{
    CTarHeader copy = header;
    std::memset(copy.Bytes().data() + 148, ' ', 8);
    return std::accumulate(copy.Bytes().begin(), copy.Bytes().end(), 0u);
}

void PutField(CTarHeader& header, std::size_t offset, const std::string& bytes)
{
    std::memcpy(header.Bytes().data() + offset, bytes.data(), bytes.size());
}

} // namespace

TEST(CTarHeaderTest, FileHeaderHoldsExactlyTheWrittenFields)
{
    const CTarHeader header = Built("docs/report.txt", 1234, false);

    EXPECT_EQ(Field(header, 0, 100), Padded("docs/report.txt", 100));
    EXPECT_EQ(Field(header, 100, 8), Padded("644", 8));
    EXPECT_EQ(Field(header, 108, 8), Padded("1750", 8));
    EXPECT_EQ(Field(header, 116, 8), Padded("12", 8));
    EXPECT_EQ(Field(header, 124, 12), Padded("2322", 12));
    EXPECT_EQ(Field(header, 136, 12), Padded("13727410000", 12));
    EXPECT_EQ(header.Bytes()[156], '0');
    EXPECT_EQ(Field(header, 157, 100), std::string(100, '\0'));
    EXPECT_EQ(Field(header, 257, 8), std::string("ustar\0\0\0", 8));
    EXPECT_EQ(Field(header, 265, 32), Padded("user", 32));
    EXPECT_EQ(Field(header, 297, 32), Padded("other", 32));
    EXPECT_EQ(Field(header, 329, 183), std::string(183, '\0'));

    char checksum[9];
    std::snprintf(checksum, sizeof checksum, "%6o", ExpectedChecksum(header));
    EXPECT_EQ(Field(header, 148, 8), std::string(checksum, 6) + std::string("\0 ", 2));
}

TEST(CTarHeaderTest, DirectoryHeaderStoresSizeZeroAndTheDirectoryMode)
{
    const CTarHeader header = Built("docs", 4096, true);
    EXPECT_EQ(Field(header, 100, 8), Padded("755", 8));
    EXPECT_EQ(Field(header, 124, 12), Padded("0", 12));
    EXPECT_EQ(header.GetType(), '5');
    EXPECT_EQ(header.GetSize(), 0u);
}

TEST(CTarHeaderTest, SizesBeyondElevenOctalDigitsAreStoredInBase256)
{
    const CTarHeader octal = Built("big", 077777777777ull, false);
    EXPECT_EQ(Field(octal, 124, 12), Padded("77777777777", 12));
    EXPECT_EQ(octal.GetSize(), 077777777777ull);

    const CTarHeader binary = Built("bigger", 9ull << 30, false);
    EXPECT_EQ(Field(binary, 124, 12), std::string("\x80\0\0\0\0\0\0\x02\x40\0\0\0", 12));
    EXPECT_EQ(binary.GetSize(), 9ull << 30);
    // A directory's size is never stored.
    EXPECT_EQ(Built("dir", 9ull << 30, true).GetSize(), 0u);
}

TEST(CTarHeaderTest, AnExtendedHeaderIsNamedAfterItsMember)
{
    const CTarHeader member = Built("videos/holiday.mkv", 9ull << 30, false);
    CTarHeader extended;
    extended.BuildExtended(member, 20, CTarSettings());
    EXPECT_EQ(extended.GetName(EPathStyle::Posix), "PaxHeader/holiday.mkv");
    EXPECT_EQ(extended.GetType(), 'x');
    EXPECT_EQ(extended.GetSize(), 20u);
    EXPECT_EQ(extended.GetTime(), kTime);
}

// Only a POSIX header's prefix belongs to the name: an old GNU header keeps
// other data in those bytes.
TEST(CTarHeaderTest, APosixPrefixLeadsTheName)
{
    CTarHeader posix = Built("file.txt", 1, false);
    PutField(posix, 257, std::string("ustar\0" "00", 8));
    PutField(posix, 345, std::string(150, 'p') + "/deep");
    EXPECT_EQ(posix.GetName(EPathStyle::Posix), std::string(150, 'p') + "/deep/file.txt");

    CTarHeader gnu = posix;
    PutField(gnu, 257, std::string("ustar  \0", 8));
    EXPECT_EQ(gnu.GetName(EPathStyle::Posix), "file.txt");
}

TEST(CTarHeaderTest, SettingsTextsAreCutToTheirFields)
{
    CTarSettings settings;
    settings.m_strUserId = "1234567";
    settings.m_strFileMode = "0100644";
    settings.m_strUserName = std::string(31, 'n');
    const CTarHeader header = Built("a", 0, false, settings);
    EXPECT_EQ(Field(header, 108, 8), Padded("123456", 8));
    EXPECT_EQ(Field(header, 100, 8), Padded("010064", 8));
    EXPECT_EQ(Field(header, 265, 32), Padded(std::string(30, 'n'), 32));
}

TEST(CTarHeaderTest, HundredCharacterNameHasNoTerminatorAndReadsBackWhole)
{
    const std::string name = std::string(60, 'a') + "/" + std::string(39, 'b');
    const CTarHeader header = Built(name, 1, false);
    EXPECT_EQ(Field(header, 0, 100), name);
    EXPECT_EQ(header.Bytes()[100], '6'); // the mode follows at once
    EXPECT_EQ(header.GetName(EPathStyle::Posix), name);
    EXPECT_EQ(header.GetName(EPathStyle::Windows),
              std::string(60, 'a') + "\\" + std::string(39, 'b'));
}

TEST(CTarHeaderTest, ChecksumOfHighCharactersStaysInItsField)
{
    // Every name byte at 0xFF: the sum is at its largest and would turn
    // negative if the bytes were taken as signed.
    const CTarHeader header = Built(std::string(100, '\xFF'), 0xFFFFFFFF, false);
    const unsigned sum = ExpectedChecksum(header);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%6o", sum);
    EXPECT_EQ(Field(header, 148, 8), std::string(digits, 6) + std::string("\0 ", 2));
    EXPECT_EQ(header.Bytes()[156], '0');
    EXPECT_EQ(header.GetType(), '0');
}

TEST(CTarHeaderTest, BuiltHeaderDecodes)
{
    const CTarHeader header = Built("x/y.txt", 513, false);
    EXPECT_EQ(header.Classify(), ETarHeaderKind::Valid);
    EXPECT_EQ(header.GetName(EPathStyle::Windows), "x\\y.txt");
    EXPECT_EQ(header.GetName(EPathStyle::Posix), "x/y.txt");
    EXPECT_EQ(header.GetSize(), 513u);
    EXPECT_EQ(header.GetTime(), kTime);
    EXPECT_EQ(header.GetType(), '0');
}

TEST(CTarHeaderTest, SwappedHeaderIsRecognisedAndReadsTheSameAfterSwapping)
{
    const CTarHeader original = Built("sgi/tape.dat", 700, false);
    CTarHeader swapped = original;
    swapped.SwapBytePairs();
    ASSERT_NE(swapped.Bytes(), original.Bytes());
    EXPECT_EQ(swapped.Classify(), ETarHeaderKind::ValidSwapped);

    swapped.SwapBytePairs();
    EXPECT_EQ(swapped.Bytes(), original.Bytes());
    EXPECT_EQ(swapped.GetName(EPathStyle::Posix), "sgi/tape.dat");
    EXPECT_EQ(swapped.GetSize(), 700u);
    EXPECT_EQ(swapped.GetTime(), kTime);
}

TEST(CTarHeaderTest, SwapBytePairsLeavesAnOddLastByte)
{
    std::uint8_t bytes[5] = {1, 2, 3, 4, 5};
    CTarHeader::SwapBytePairs(bytes);
    EXPECT_EQ(std::string(bytes, bytes + 5), std::string("\2\1\4\3\5"));
}

struct SClassifyCase
{
    const char* label;
    void (*prepare)(CTarHeader&);
    ETarHeaderKind expected;
};

void PrintTo(const SClassifyCase& c, std::ostream* os)
{
    *os << c.label;
}

class CTarHeaderClassifyTest : public testing::TestWithParam<SClassifyCase>
{
};

TEST_P(CTarHeaderClassifyTest, Classifies)
{
    CTarHeader header;
    GetParam().prepare(header);
    EXPECT_EQ(header.Classify(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, CTarHeaderClassifyTest,
    testing::Values(
        SClassifyCase{"Zeros", [](CTarHeader&) {}, ETarHeaderKind::NotHeader},
        SClassifyCase{"GnuBlanksMagic",
                      [](CTarHeader& h) { PutField(h, 257, std::string("ustar  \0", 8)); },
                      ETarHeaderKind::Valid},
        SClassifyCase{"GnutarMagic", [](CTarHeader& h) { PutField(h, 257, "GNUtar"); },
                      ETarHeaderKind::Valid},
        SClassifyCase{"SwappedGnutarMagic", [](CTarHeader& h) { PutField(h, 256, "G?UNat r"); },
                      ETarHeaderKind::ValidSwapped},
        SClassifyCase{"MagicCaseMatters",
                      [](CTarHeader& h)
                      {
                          PutField(h, 0, "name");
                          PutField(h, 257, "USTAR");
                      },
                      ETarHeaderKind::NotHeader},
        SClassifyCase{"OldStyleWithoutMagic", [](CTarHeader& h) { PutField(h, 0, "old.c"); },
                      ETarHeaderKind::Valid},
        SClassifyCase{"NoNameNoMagic", [](CTarHeader& h) { PutField(h, 257, "x"); },
                      ETarHeaderKind::NotHeader},
        SClassifyCase{"Text",
                      [](CTarHeader& h) { std::memset(h.Bytes().data(), 'T', TAR_RECORD_SIZE); },
                      ETarHeaderKind::NotHeader},
        SClassifyCase{"WrongChecksumStillAccepted",
                      [](CTarHeader& h)
                      {
                          h = Built("a.txt", 1, false);
                          PutField(h, 148, "999999");
                      },
                      ETarHeaderKind::Valid}),
    [](const testing::TestParamInfo<SClassifyCase>& info) { return info.param.label; });

struct SNumberCase
{
    const char* label;
    std::string field; // the 12 bytes of the size field
    std::uint64_t expected;
};

void PrintTo(const SNumberCase& c, std::ostream* os)
{
    *os << c.label;
}

class CTarHeaderNumberTest : public testing::TestWithParam<SNumberCase>
{
};

TEST_P(CTarHeaderNumberTest, ParsesSize)
{
    CTarHeader header;
    PutField(header, 124, GetParam().field);
    EXPECT_EQ(header.GetSize(), GetParam().expected);
}

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Fields, CTarHeaderNumberTest,
    testing::Values(
        SNumberCase{"Empty", std::string(12, '\0'), 0},
        SNumberCase{"ZeroFilled", std::string("00000001750\0", 12), 1000},
        SNumberCase{"LeadingBlanks", std::string("   1234 \0\0\0\0", 12), 01234},
        SNumberCase{"StopsAtNonOctal", std::string("1289\0", 5), 012},
        SNumberCase{"OnlyBlanks", std::string(12, ' '), 0},
        SNumberCase{"ElevenDigitsAboveFourGiB", std::string("40000000001\0", 12), 0x100000001ull},
        SNumberCase{"TwelveDigitsNoTerminator", "777777777777", 0xFFFFFFFFFull},
        SNumberCase{"Base256", std::string("\x80\0\0\0\0\0\0\x02\0\0\0\x07", 12), 0x200000007ull},
        SNumberCase{"Base256Largest64",
                    std::string("\x80\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 12), kMax64},
        SNumberCase{"Base256Beyond64", std::string("\x80\0\0\x01\0\0\0\0\0\0\0\0", 12), kMax64},
        SNumberCase{"Base256Negative", std::string(12, '\xFF'), kMax64}),
    [](const testing::TestParamInfo<SNumberCase>& info) { return info.param.label; });

TEST(CTarHeaderTest, TimeBeyondThirtyTwoBitsReadsAsTheLargest)
{
    CTarHeader header;
    PutField(header, 136, std::string("40000000000\0", 12));
    EXPECT_EQ(header.GetTime(), 0xFFFFFFFFu);
    PutField(header, 136, std::string("37777777777\0", 12));
    EXPECT_EQ(header.GetTime(), 0xFFFFFFFFu);
    PutField(header, 136, std::string(" 17\0", 4));
    EXPECT_EQ(header.GetTime(), 15u);
}

// A mode field that holds no number says nothing: not "no permissions".
TEST(CTarHeaderTest, ModeIsParsedLikeTheSizeOrIsMissing)
{
    const struct
    {
        const char* label;
        std::string field; // the 8 bytes of the mode field
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {"ZeroFilled", std::string("0000755\0", 8), 0755},
        {"AsWeWriteIt", Padded("644", 8), 0644},
        {"LeadingBlanks", std::string("   4755 ", 8), 04755},
        {"Zero", std::string("0000000\0", 8), 0},
        {"Base256", std::string("\x80\0\0\0\0\0\x01\xA4", 8), 0644},
        {"Empty", std::string(8, '\0'), std::nullopt},
        {"OnlyBlanks", std::string(8, ' '), std::nullopt},
        {"Text", Padded("rw-r--r", 8), std::nullopt},
    };
    for (const auto& test : cases)
    {
        CTarHeader header = Built("a", 1, false);
        PutField(header, 100, test.field);
        EXPECT_EQ(header.GetMode(), test.expected) << test.label;
    }
    EXPECT_EQ(Built("d", 0, true).GetMode(), 0755u);
}

TEST(CTarHeaderTest, TypeNames)
{
    const std::pair<char, const char*> cases[] = {
        {'\0', "file"},         {'0', "file"},      {'1', "link"},
        {'2', "symbolic link"}, {'3', "character"}, {'4', "block"},
        {'5', "directory"},     {'6', "fifo"},      {'7', "high-performance"},
        {'9', "unknown"},       {'L', "unknown"},   {'\xFF', "unknown"}};
    for (const auto& [type, name] : cases)
        EXPECT_STREQ(CTarHeader::GetTypeName(type), name) << "type " << int(type);
}

struct SArchiveNameCase
{
    const char* native;
    bool relative;
    EPathStyle style;
    const char* expected;
};

void PrintTo(const SArchiveNameCase& c, std::ostream* os)
{
    *os << c.native << (c.relative ? " relative" : " absolute")
        << (c.style == EPathStyle::Windows ? " windows" : " posix");
}

class CTarHeaderArchiveNameTest : public testing::TestWithParam<SArchiveNameCase>
{
};

TEST_P(CTarHeaderArchiveNameTest, Converts)
{
    const SArchiveNameCase& c = GetParam();
    EXPECT_EQ(CTarHeader::ToArchiveName(c.native, c.relative, c.style), c.expected);
}

constexpr EPathStyle kWin = EPathStyle::Windows;
constexpr EPathStyle kPosix = EPathStyle::Posix;

INSTANTIATE_TEST_SUITE_P(
    Paths, CTarHeaderArchiveNameTest,
    testing::Values(SArchiveNameCase{"C:\\data\\report.txt", false, kWin, "/data/report.txt"},
                    SArchiveNameCase{"\\\\server\\share\\a.txt", false, kWin,
                                     "//server/share/a.txt"},
                    SArchiveNameCase{"proj\\src\\main.c", true, kWin, "proj/src/main.c"},
                    SArchiveNameCase{"\\x.txt", true, kWin, "x.txt"},
                    SArchiveNameCase{"C:\\x.txt", false, kWin, "/x.txt"},
                    SArchiveNameCase{"C:\\x.txt", true, kWin, "x.txt"},
                    SArchiveNameCase{"\\\\\\x", true, kWin, "x"},
                    SArchiveNameCase{"dir\\a:b", true, kWin, "b"},
                    SArchiveNameCase{"mixed/sep\\x", false, kWin, "mixed/sep/x"},
                    SArchiveNameCase{"/home/u/a:b.txt", false, kPosix, "/home/u/a:b.txt"},
                    SArchiveNameCase{"//home/u/x", true, kPosix, "home/u/x"},
                    SArchiveNameCase{"back\\slash", false, kPosix, "back\\slash"},
                    SArchiveNameCase{"./x/../y", true, kPosix, "./x/../y"}));

// A long name goes into the prefix and name fields where a slash lets it,
// and otherwise whole into the extended header; so does a long link target.
TEST(CTarHeaderTest, LongNamesSplitOverThePrefixOrGoIntoTheExtendedHeader)
{
    const std::string hundred(100, 'n');
    const std::string split = std::string(60, 'p') + "/" + std::string(89, 'n');
    const std::string longLast = std::string(20, 'p') + "/" + std::string(120, 'n');
    const std::string longPrefix = std::string(160, 'p') + "/n";
    struct SCase
    {
        std::string name;
        std::string link;
        std::string extended; // the records the member needs
    };
    const SCase cases[] = {
        {hundred, "", ""},
        {split, "", ""},
        {longLast, "", CTarExtendedHeader::Record("path", longLast)},
        {longPrefix, "", CTarExtendedHeader::Record("path", longPrefix)},
        {"l", hundred, ""},
        {"l", hundred + "t", CTarExtendedHeader::Record("linkpath", hundred + "t")},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name + " -> " + c.link);
        STarMember member;
        member.strName = c.name;
        member.chType = c.link.empty() ? '0' : '2';
        member.strLinkTarget = c.link;
        CTarHeader header;
        header.Build(member, CTarSettings());
        EXPECT_EQ(CTarHeader::ExtendedData(member), c.extended);
        EXPECT_EQ(header.GetLinkName(), c.link.substr(0, 100));
        EXPECT_EQ(header.GetName(EPathStyle::Posix), c.extended.find(" path=") == std::string::npos
                                                         ? c.name
                                                         : c.name.substr(0, 100));
        EXPECT_EQ(ExpectedChecksum(header), std::stoul(Field(header, 148, 6), nullptr, 8));
    }
}

// With the file's own owner the header holds its numbers and names, in the
// fields' widths; the extended header holds what does not fit.
TEST(CTarHeaderTest, AFilesOwnOwnerFillsTheOwnerFields)
{
    STarMember member;
    member.strName = "run.sh";
    member.bOwnOwner = true;
    member.nMode = 0104755; // the type bits above the twelve are never stored
    member.nUid = 1000;
    member.nGid = 07777777 + 1;
    member.strUserName = "someone";
    member.strGroupName = std::string(32, 'g');
    CTarHeader header;
    header.Build(member, CTarSettings());
    EXPECT_EQ(Field(header, 100, 8), std::string("0004755\0", 8));
    EXPECT_EQ(Field(header, 108, 8), std::string("0001750\0", 8));
    EXPECT_EQ(Field(header, 116, 8), std::string("7777777\0", 8));
    EXPECT_EQ(Field(header, 265, 32), Padded("someone", 32));
    EXPECT_EQ(Field(header, 297, 32), Padded(std::string(31, 'g'), 32));
    EXPECT_EQ(CTarHeader::ExtendedData(member),
              CTarExtendedHeader::Record("gid", "2097152") +
                  CTarExtendedHeader::Record("gname", std::string(32, 'g')));
}

TEST(CTarHeaderTest, NativeNameReplacesOnlySlashes)
{
    EXPECT_EQ(CTarHeader::ToNativeName("/a/../b/./c", kWin), "\\a\\..\\b\\.\\c");
    EXPECT_EQ(CTarHeader::ToNativeName("/a/b\\c", kPosix), "/a/b\\c");
}
