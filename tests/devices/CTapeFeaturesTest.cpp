#include "devices/CTapeFeatures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

using Lines = std::vector<std::string>;

struct SFeatureCase
{
    DWORD low;
    DWORD high;
    Lines lines;
};

// Every named feature in the order the view gathers them, each with the
// lines it adds for the records made by Drive() and Media().
const std::vector<SFeatureCase> kFeatureCases = {
    {0x00000001, 0, {"Fixed data partitons"}},
    {0x00000002, 0, {"Select data partitons"}},
    {0x00000004, 0, {"Initiator data partitons"}},
    {0x00000010, 0, {"Short erase marks"}},
    {0x00000020, 0, {"Long erase marks"}},
    {0x00000040, 0, {"Beginning of partition erase"}},
    {0x00000080, 0, {"Immediate erase"}},
    {0x00000100, 0, {"Tape total capacity"}},
    {0x00000200, 0, {"Tape remaining capacity"}},
    {0x00000400, 0, {"Fixed block"}},
    {0x00001000, 0, {"Tape write protect"}},
    {0x00002000, 0, {"End of medium warning size", "EOT warning zone size 4096"}},
    {0x00100000, 0, {"Get absolute block"}},
    {0x00200000, 0, {"Get logical block"}},
    {0x00400000, 0, {"Set end of medium warning size"}},
    {0x01000000, 0, {"Eject media"}},
    {0, 0x80002000, {"Absolute block immediate move"}},
    {0, 0x80001000, {"Move absolute block"}},
    {0, 0x80010000, {"Move end of data"}},
    {0, 0x80040000, {"Move by file marks"}},
    {0, 0x80000001, {"Load and unload"}},
    {0, 0x80000020, {"Load and unload immediate"}},
    {0, 0x80000004, {"Lock and unlock"}},
    {0, 0x80000080, {"Lock and unlock immediate"}},
    {0, 0x80004000, {"Logical block move"}},
    {0, 0x80008000, {"Logical block move immediate"}},
    {0, 0x80020000, {"Move relative blocks"}},
    {0, 0x80400000, {"Reverse position"}},
    {0, 0x80000008, {"Reverse position immediate"}},
    {0, 0x80080000, {"Sequential file marks"}},
    {0, 0x80200000, {"Sequential set marks"}},
    {0, 0x80000010, {"Set block size", "Blocking factor 20"}},
    {0, 0x80000200, {"Set compression"}},
    {0, 0x80000100, {"Set error correction"}},
    {0, 0x80000400, {"Set data padding"}},
    {0, 0x80000800, {"Set report set marks"}},
    {0, 0x80100000, {"Set set marks"}},
    {0, 0x80800000, {"Immediate spacing"}},
    {0, 0x80000002, {"Tensioning"}},
    {0, 0x80000040, {"Tensioning immediate"}},
    {0, 0x82000000, {"Write file marks"}},
    {0, 0x84000000, {"Write short file marks"}},
    {0, 0x88000000, {"Write long file marks"}},
    {0, 0x90000000, {"Write file marks immediate"}},
    {0, 0x81000000, {"Write set marks"}},
};

const Lines kLimitLines = {"Default block size 10240", "Maximum block size 65536",
                           "Minimum block size 512"};
const Lines kMediaLines = {"Media total capacity 1048576", "Media remaining capacity 524288",
                           "Media block size 10240", "Media partition count 1",
                           "The media is not write protected"};

TAPE_GET_DRIVE_PARAMETERS Drive(DWORD low = 0, DWORD high = 0)
{
    TAPE_GET_DRIVE_PARAMETERS drive{};
    drive.DefaultBlockSize = 10240;
    drive.MaximumBlockSize = 65536;
    drive.MinimumBlockSize = 512;
    drive.FeaturesLow = low;
    drive.FeaturesHigh = high;
    drive.EOTWarningZoneSize = 4096;
    return drive;
}

TAPE_GET_MEDIA_PARAMETERS Media()
{
    TAPE_GET_MEDIA_PARAMETERS media{};
    media.Capacity.QuadPart = 1048576;
    media.Remaining.QuadPart = 524288;
    media.BlockSize = 10240;
    media.PartitionCount = 1;
    return media;
}

// The lines between the block size limits and the tape's own lines.
Lines NamedLines(const CTapeFeatures& features)
{
    const Lines& lines = features.GetLines();
    EXPECT_GE(lines.size(), kLimitLines.size() + kMediaLines.size());
    return Lines(lines.begin() + static_cast<long>(kLimitLines.size()),
                 lines.end() - static_cast<long>(kMediaLines.size()));
}

bool Contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST(CTapeFeaturesTest, DriveWithoutFeaturesGivesOnlyTheAlwaysLines)
{
    const CTapeFeatures features(Drive(), Media());

    Lines expected = kLimitLines;
    expected.insert(expected.end(), kMediaLines.begin(), kMediaLines.end());
    EXPECT_EQ(features.GetLines(), expected);
}

TEST(CTapeFeaturesTest, FeatureBitsWithoutANameAddNoLine)
{
    const DWORD unnamedLow = TAPE_DRIVE_VARIABLE_BLOCK | TAPE_DRIVE_ECC | TAPE_DRIVE_COMPRESSION |
                             TAPE_DRIVE_PADDING | TAPE_DRIVE_REPORT_SMKS |
                             TAPE_DRIVE_CLEAN_REQUESTS | TAPE_DRIVE_SET_CMP_BOP_ONLY;

    const CTapeFeatures features(Drive(unnamedLow, TAPE_DRIVE_FORMAT), Media());

    EXPECT_EQ(NamedLines(features), Lines());
}

TEST(CTapeFeaturesTest, CurrentSettingsComeFirstInOrder)
{
    TAPE_GET_DRIVE_PARAMETERS drive = Drive();
    drive.ECC = 1;
    drive.Compression = 1;
    drive.DataPadding = 1;
    drive.ReportSetmarks = 1;

    const CTapeFeatures features(drive, Media());
    const Lines& lines = features.GetLines();

    const Lines expected = {"Error correction", "Compression", "Data padding", "Report setmarks",
                            "Default block size 10240"};
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5), expected);
}

TEST(CTapeFeaturesTest, EachFeatureAddsOnlyItsOwnLines)
{
    for (const SFeatureCase& c : kFeatureCases)
    {
        SCOPED_TRACE(c.lines.front());
        EXPECT_EQ(NamedLines(CTapeFeatures(Drive(c.low, c.high), Media())), c.lines);
    }
}

TEST(CTapeFeaturesTest, HighFeaturesCountWithoutTheTopBit)
{
    for (const SFeatureCase& c : kFeatureCases)
    {
        if (c.high == 0)
            continue;
        SCOPED_TRACE(c.lines.front());
        const DWORD bare = c.high & ~TAPE_DRIVE_HIGH_FEATURES;
        EXPECT_EQ(NamedLines(CTapeFeatures(Drive(0, bare), Media())), c.lines);
    }
}

TEST(CTapeFeaturesTest, AllFeaturesKeepTheirOrder)
{
    DWORD low = 0;
    DWORD high = 0;
    Lines expected;
    for (const SFeatureCase& c : kFeatureCases)
    {
        low |= c.low;
        high |= c.high;
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    }

    EXPECT_EQ(NamedLines(CTapeFeatures(Drive(low, high), Media())), expected);
}

TEST(CTapeFeaturesTest, HighWordWithoutTopBitShowsAsReportedAndStillSetsBlockSize)
{
    TAPE_GET_MEDIA_PARAMETERS media = Media();
    media.BlockSize = 32768;

    const CTapeFeatures features(Drive(0, 0x10), media);

    EXPECT_EQ(features.GetFeaturesHigh(), "0x10");
    EXPECT_EQ(NamedLines(features), (Lines{"Set block size", "Blocking factor 64"}));
}

TEST(CTapeFeaturesTest, FeatureWordsShowInUpperCaseHex)
{
    const struct
    {
        DWORD word;
        const char* text;
    } cases[] = {{0, "0x0"}, {0x10, "0x10"}, {0x0123ABCD, "0x123ABCD"}, {0xFFFFFFFF, "0xFFFFFFFF"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const CTapeFeatures features(Drive(c.word, c.word), Media());
        EXPECT_EQ(features.GetFeaturesLow(), c.text);
        EXPECT_EQ(features.GetFeaturesHigh(), c.text);
    }
}

TEST(CTapeFeaturesTest, WriteProtectionIsTheLastLine)
{
    TAPE_GET_MEDIA_PARAMETERS media = Media();
    EXPECT_EQ(CTapeFeatures(Drive(), media).GetLines().back(), "The media is not write protected");

    media.WriteProtected = 1;
    EXPECT_EQ(CTapeFeatures(Drive(), media).GetLines().back(), "The media is write protected");
}

TEST(CTapeFeaturesTest, CapacitiesAreShownInFull)
{
    const struct
    {
        std::int64_t total;
        const char* totalText;
        const char* remainingText;
    } cases[] = {{6442450944, "6442450944", "6442450943"},
                 {4294967296, "4294967296", "4294967295"},
                 {-1, "18446744073709551615", "18446744073709551614"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.totalText);
        TAPE_GET_MEDIA_PARAMETERS media = Media();
        media.Capacity.QuadPart = c.total;
        media.Remaining.QuadPart = c.total - 1;

        const CTapeFeatures features(Drive(), media);
        const Lines& lines = features.GetLines();

        EXPECT_TRUE(Contains(lines, std::string("Media total capacity ") + c.totalText));
        EXPECT_TRUE(Contains(lines, std::string("Media remaining capacity ") + c.remainingText));
    }
}

TEST(CTapeFeaturesTest, SortedLinesIgnoreCase)
{
    TAPE_GET_DRIVE_PARAMETERS drive = Drive(TAPE_DRIVE_EOT_WZ_SIZE | TAPE_DRIVE_EJECT_MEDIA);
    drive.ECC = 1;
    const CTapeFeatures features(drive, Media());

    const Lines sorted = features.GetSortedLines();

    // Mixed capitals in "EOT" must not pull its line ahead of "Eject".
    const Lines expected = {"Default block size 10240",
                            "Eject media",
                            "End of medium warning size",
                            "EOT warning zone size 4096",
                            "Error correction",
                            "Maximum block size 65536",
                            "Media block size 10240",
                            "Media partition count 1",
                            "Media remaining capacity 524288",
                            "Media total capacity 1048576",
                            "Minimum block size 512",
                            "The media is not write protected"};
    EXPECT_EQ(sorted, expected);
}
