#include "cli/CCliOptions.h"

#include "settings/CAppSettings.h"

#include <gtest/gtest.h>

namespace
{
CCliOptions Parsed(const std::vector<std::string>& args)
{
    CCliOptions options;
    EXPECT_TRUE(options.Parse(args)) << options.m_strError;
    return options;
}

TEST(CCliOptions, OptionsMayStandAnywhereAfterTheCommand)
{
    const auto options = Parsed({"extract", "-C", "out", "a.tar", "--rows", "3,1", "--log", "x.log"});

    EXPECT_EQ(options.m_nCommand, CCliOptions::CMD_EXTRACT);
    EXPECT_EQ(options.m_strArchive, "a.tar");
    EXPECT_EQ(options.m_strDestination, "out");
    EXPECT_EQ(options.m_rows, (std::vector<std::uint32_t>{2, 0}));
    EXPECT_EQ(options.m_strLogFile, "x.log");
}

TEST(CCliOptions, ADoubleDashLetsAPatternBeginWithADash)
{
    const auto options = Parsed({"extract", "a.tar", "--", "-v", "--rows"});

    EXPECT_FALSE(options.m_bVerbose);
    EXPECT_EQ(options.m_operands, (std::vector<std::string>{"-v", "--rows"}));
}

TEST(CCliOptions, TapeNamesBecomeDriveNames)
{
    EXPECT_EQ(Parsed({"list", "tape:12"}).m_strArchive, "\\\\.\\tape12");
    EXPECT_EQ(Parsed({"list", "tapes.tar"}).m_strArchive, "tapes.tar");
    CCliOptions options;
    EXPECT_FALSE(options.Parse({"list", "tape:"}));
    EXPECT_FALSE(options.Parse({"list", "tape:-1"}));
}

TEST(CCliOptions, SettingsChangeOnlyWhereAnOptionWasGiven)
{
    CAppSettings settings;
    settings.m_bRelativePaths = 0;
    settings.m_bVariableBlocking = 1;
    settings.m_bUseIndexFile = 1;
    settings.m_tarSettings.m_bOwnPermissions = 1;

    Parsed({"create", "a.tar", "x", "-b", "64", "--no-index", "--sgi", "--terminating-records", "3",
            "--own-permissions", "--fixed-permissions", "--sparse", "--no-sparse", "-z", "--zstd",
            "--level", "19"})
        .ApplyTo(settings);

    EXPECT_EQ(settings.m_bRelativePaths, 0);
    EXPECT_EQ(settings.m_nBlockingFactor, 64);
    EXPECT_EQ(settings.m_bVariableBlocking, 0) << "a factor given now is the one used";
    EXPECT_EQ(settings.m_bUseIndexFile, 0);
    EXPECT_EQ(settings.m_tarSettings.m_bSgiFormat, 1);
    EXPECT_EQ(settings.m_tarSettings.m_nTerminatingRecords, 3);
    EXPECT_EQ(settings.m_tarSettings.m_bOwnPermissions, 0) << "the last switch wins";
    EXPECT_EQ(settings.m_tarSettings.m_bSparse, 0) << "the last switch wins";
    EXPECT_EQ(settings.m_tarSettings.m_compression, ECodecKind::Zstd) << "the last switch wins";
    EXPECT_EQ(settings.m_tarSettings.m_nCompressionLevel, 19);
    EXPECT_EQ(settings.m_strIndexFileName, "index.txt");
}

TEST(CCliOptions, NumbersOutsideTheirRangeAreRefused)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"list", "a.tar", "-b", "10241"},
             {"list", "a.tar", "-b", "20x"},
             {"list", "a.tar", "--terminating-records", "0"},
             {"list", "a.tar", "--terminating-records", "32768"},
             {"create", "a.tar", "x", "--level", "20"},
             {"create", "tape:0", "x", "-z"},
             {"extract", "a.tar", "--rows", "0"},
             {"extract", "a.tar", "--rows", "1,"},
             {"extract", "a.tar", "--rows", "99999999999"},
             {"list", "a.tar", "-b"}})
    {
        CCliOptions options;
        EXPECT_FALSE(options.Parse(args)) << args[2] << " " << args.back();
        EXPECT_FALSE(options.m_strError.empty());
    }
}

TEST(CCliOptions, EachCommandTakesItsOwnOperands)
{
    CCliOptions options;
    EXPECT_FALSE(options.Parse({"list"}));
    EXPECT_FALSE(options.Parse({"list", "a.tar", "b.tar"}));
    EXPECT_FALSE(options.Parse({"append", "a.tar"}));
    EXPECT_FALSE(options.Parse({"tapes", "x"}));
    EXPECT_EQ(Parsed({"tapes"}).m_nCommand, CCliOptions::CMD_TAPES);
    EXPECT_EQ(Parsed({"list", "a.tar", "--help"}).m_nCommand, CCliOptions::CMD_HELP);
}
} // namespace
