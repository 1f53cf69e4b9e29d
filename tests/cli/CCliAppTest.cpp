// vorkant-cli end to end: the program run as a user runs it, on disk
// archives and on a virtual tape, down to its exit status.
#include "cli/CCliProcess.h"
#include "platform/CSystemError.h"
#include "settings/CAppSettings.h"
#include "settings/SettingsTestHome.h"
#include "support/CArchiveImage.h"
#include "support/CTestFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

namespace
{
using testing::HasSubstr;
using testing::IsEmpty;
namespace fs = std::filesystem;

// A member's name as the program prints it: in Windows form there.
std::string Native(std::string name)
{
#ifdef _WIN32
    std::replace(name.begin(), name.end(), '/', '\\');
#endif
    return name;
}

// What a new archive of the folder "data" lists, the index first; the
// folder's own entries come in the order the file system gives them.
std::vector<std::string> DataMembers()
{
    std::vector<std::string> names;
    for (const char* name :
         {"index.txt", "data", "data/sub", "data/sub/b.c", "data/sub/c.txt", "data/a.txt"})
        names.push_back(Native(name));
    return names;
}

// The system's text for a code, as the program prints it: Wine words some
// texts its own way.
std::string SystemMessage(DWORD code)
{
    std::string text;
    CSystemError::LookupText(code, text);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// A line of list -v with its time, when it is a UTC time, written TIME.
std::string WithoutTime(const std::string& line)
{
    static const std::regex utc("^(. [0-9]+ )[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z ");
    return std::regex_replace(line, utc, "$1TIME ");
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

class CCliAppTest : public testing::Test
{
protected:
    CCliAppTest()
    {
        m_folder.WriteFile("data/a.txt", "alpha");
        m_folder.WriteFile("data/sub/b.c", "int b;");
        m_folder.WriteFile("data/sub/c.txt", "charlie");
        m_folder.WriteFile("extra.txt", "extra");
    }

    CCliProcess::SResult Cli(const std::vector<std::string>& args)
    {
        return CCliProcess::Run(args, m_folder.Path().string(), m_env);
    }

    // Runs and expects success with nothing on standard error.
    std::string CliOk(const std::vector<std::string>& args)
    {
        const auto result = Cli(args);
        EXPECT_EQ(result.nStatus, 0) << result.strErr;
        EXPECT_THAT(result.strErr, IsEmpty());
        return result.strOut;
    }

    std::vector<std::string> Files(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& item : fs::recursive_directory_iterator(m_folder / folder))
            names.push_back(fs::relative(item.path(), m_folder / folder).generic_string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void UseVirtualTape()
    {
        m_env["VORKANT_TAPE_IMAGES"] = m_folder / "tape.tap";
    }

    CTestFolder m_folder;
    std::map<std::string, std::string> m_env;
};

TEST_F(CCliAppTest, CreateThenListShowsEveryMemberWithTheIndexFirst)
{
    CliOk({"create", "new.tar", "data"});

    const auto names = Lines(CliOk({"list", "new.tar"}));
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "index.txt");
    EXPECT_THAT(names, testing::UnorderedElementsAreArray(DataMembers()));
    std::vector<std::string> verbose = Lines(CliOk({"list", "-v", "new.tar", "--"}));
    ASSERT_EQ(verbose.size(), names.size());
    std::transform(verbose.begin(), verbose.end(), verbose.begin(), WithoutTime);
    EXPECT_THAT(verbose, testing::Contains("d 0 TIME data"));
    EXPECT_THAT(verbose, testing::Contains("- 5 TIME " + Native("data/a.txt")));
}

TEST_F(CCliAppTest, TheListedTimeIsUtc)
{
    m_folder.WriteFile("dated/old.txt", "old");
    const std::chrono::sys_seconds billennium{std::chrono::seconds{1000000000}};
    fs::last_write_time(m_folder / "dated/old.txt", std::chrono::file_clock::from_sys(billennium));
    CliOk({"create", "--no-index", "dated.tar", "dated/old.txt"});

    EXPECT_EQ(CliOk({"list", "dated.tar", "-v"}), "- 3 2001-09-09T01:46:40Z old.txt\n");
}

TEST_F(CCliAppTest, VerboseListingGivesEachTypeItsLetterAndEachLinkItsTarget)
{
    CArchiveImage image;
    image.Folder("sub").File("plain", "abc").File("old", "abc", '\0');
    image.File("contiguous", "abc", '7').File("fifo", "", '6');
    image.File("tty", "", '3').File("disk", "", '4');
    image.Link("soft", "../far/away.txt").Link("hard", "sub/plain", '1');
    m_folder.WriteFile("types.tar", image.End().Bytes());

    EXPECT_EQ(CliOk({"list", "-v", "types.tar"}),
              "d 0 2020-09-13T12:26:40Z sub\n"
              "- 3 2020-09-13T12:26:40Z plain\n"
              "- 3 2020-09-13T12:26:40Z old\n"
              "- 3 2020-09-13T12:26:40Z contiguous\n"
              "p 0 2020-09-13T12:26:40Z fifo\n"
              "c 0 2020-09-13T12:26:40Z tty\n"
              "b 0 2020-09-13T12:26:40Z disk\n"
              "l 0 2020-09-13T12:26:40Z soft -> ../far/away.txt\n"
              "h 0 2020-09-13T12:26:40Z hard link to sub/plain\n");
    EXPECT_EQ(Lines(CliOk({"list", "types.tar"})).back(), "hard");
}

TEST_F(CCliAppTest, CreateReplacesAnExistingFileAndAppendAddsBehind)
{
    m_folder.WriteFile("new.tar", std::string(20000, 'x'));
    CliOk({"create", "--no-index", "new.tar", "data/a.txt"});
    CliOk({"append", "new.tar", "--no-index", "extra.txt"});

    EXPECT_EQ(Lines(CliOk({"list", "new.tar"})), (std::vector<std::string>{"a.txt", "extra.txt"}));
}

TEST_F(CCliAppTest, ExtractTakesPatternsRowsOrEverything)
{
    CliOk({"create", "--no-index", "new.tar", "data"});
    fs::create_directories(m_folder / "by-pattern");
    fs::create_directories(m_folder / "by-row");
    fs::create_directories(m_folder / "all");

    const auto names = Lines(CliOk({"list", "new.tar"}));
    const auto row = std::find(names.begin(), names.end(), Native("data/sub/c.txt")) - names.begin() + 1;

    CliOk({"extract", "new.tar", "-C", "by-pattern", "*.c", "data/a*"});
    CliOk({"extract", "new.tar", "--rows", std::to_string(row), "-C", "by-row"});
    CliOk({"extract", "-C", "all", "new.tar"});

    EXPECT_EQ(Files("by-pattern"), (std::vector<std::string>{"data", "data/a.txt", "data/sub",
                                                            "data/sub/b.c"}));
    EXPECT_EQ(Files("by-row"), (std::vector<std::string>{"data", "data/sub", "data/sub/c.txt"}));
    EXPECT_EQ(Files("all").size(), 5u);
    EXPECT_EQ(m_folder.ReadFile("all/data/sub/c.txt"), "charlie");
}

TEST_F(CCliAppTest, AbsoluteNamesAndTheIndexNameComeFromTheOptions)
{
    CliOk({"create", "--absolute", "--index-name", "CONTENTS", "new.tar", "extra.txt"});

    const auto names = Lines(CliOk({"list", "new.tar"}));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "CONTENTS");
    // Stored whole, but for a drive.
    const fs::path whole = m_folder / "extra.txt";
    EXPECT_EQ(names[1], (whole.root_directory() / whole.relative_path()).string());
}

TEST_F(CCliAppTest, StoredSettingsApplyAndOptionsAreNeverStored)
{
    // The program reads the store the test writes: the same folder, or on
    // Windows the registry.
    const CSettingsTestHome home;
    const std::string config = home.Folder().Path().string();
    m_env["XDG_CONFIG_HOME"] = config;
    CAppSettings stored;
    stored.m_strIndexFileName = "CATALOG";
    stored.Save();
    const auto storedFiles = Files(config);

    CliOk({"create", "stored.tar", "extra.txt"});
    CliOk({"create", "--index-name", "ONCE", "--absolute", "--fixed-permissions", "--no-sparse",
           "once.tar", "extra.txt"});

    CAppSettings reread;
    reread.Load();
    EXPECT_EQ(Lines(CliOk({"list", "stored.tar"})), (std::vector<std::string>{"CATALOG", "extra.txt"}));
    EXPECT_EQ(Lines(CliOk({"list", "once.tar"}))[0], "ONCE");
    EXPECT_EQ(reread.m_strIndexFileName, "CATALOG");
    EXPECT_EQ(reread.m_bRelativePaths, 1);
    EXPECT_EQ(reread.m_tarSettings.m_bOwnPermissions, CTarSettings::kOwnPermissionsByDefault);
    EXPECT_EQ(reread.m_tarSettings.m_bSparse, 1);
    EXPECT_EQ(Files(config), storedFiles);
}

TEST_F(CCliAppTest, EraseEmptiesTheArchive)
{
    CliOk({"create", "new.tar", "data"});
    CliOk({"erase", "new.tar"});
    EXPECT_EQ(CliOk({"list", "new.tar"}), "");
}

TEST_F(CCliAppTest, ProblemsAreLoggedAndGiveStatusOne)
{
    const auto result = Cli({"create", "new.tar", "missing", "data/a.txt", "--log", "problems.log"});

    EXPECT_EQ(result.nStatus, 1);
    EXPECT_THAT(result.strErr, HasSubstr("Unable to process file [missing]"));
    EXPECT_THAT(m_folder.ReadFile("problems.log"), HasSubstr("Unable to process file [missing]"));
    EXPECT_EQ(Lines(CliOk({"list", "new.tar"})), (std::vector<std::string>{"index.txt", "a.txt"}));
}

TEST_F(CCliAppTest, AnArchiveCutShortListsWhatItHoldsAndGivesStatusOne)
{
    CArchiveImage image;
    const std::string whole = image.File("a.txt", "a").File("cut.bin", std::string(5000, 'c')).Bytes();
    m_folder.WriteFile("cut.tar", whole.substr(0, whole.size() - 2048));
    const auto result = Cli({"list", "cut.tar"});

    EXPECT_EQ(result.nStatus, 1);
    EXPECT_EQ(Lines(result.strOut), std::vector<std::string>{"a.txt"});
    EXPECT_THAT(result.strErr,
                HasSubstr("Unable to process file [cut.bin], the archive ends before its data does"));
}

struct SFailureCase
{
    const char* label;
    std::vector<std::string> args;
    std::string text;
};

class CCliFailureTest : public CCliAppTest, public testing::WithParamInterface<SFailureCase>
{
};

TEST_P(CCliFailureTest, FailuresSayWhatWentWrongAndGiveStatusTwo)
{
    m_folder.WriteFile("junk.tar", std::string(1024, 'j'));
    CArchiveImage one;
    m_folder.WriteFile("one.tar", one.File("a.txt", "a").End().Bytes());
    const auto result = Cli(GetParam().args);

    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr(GetParam().text));
    EXPECT_THAT(result.strOut, IsEmpty());
    EXPECT_FALSE(fs::exists(m_folder / "absent.tar")) << "a reading command made the archive";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CCliFailureTest,
    testing::Values(
        SFailureCase{"UnknownCommand", {"frobnicate", "x.tar"}, "unknown command 'frobnicate'"},
        SFailureCase{"NoCommand", {}, "no command given"},
        SFailureCase{"UnknownOption", {"list", "x.tar", "--fast"}, "unknown option '--fast'"},
        SFailureCase{"BadBlockingFactor", {"list", "tape:0", "-b", "0"}, "from 1 to 10240"},
        SFailureCase{"BadRows", {"extract", "x.tar", "--rows", "1,,2"}, "--rows takes row numbers"},
        SFailureCase{"RowsAndPatterns", {"extract", "x.tar", "--rows", "1", "*.c"}, "not both"},
        SFailureCase{"NothingToAdd", {"create", "x.tar"}, "at least one file"},
        SFailureCase{"BadTapeName", {"list", "tape:x"}, "write tape:N"},
        SFailureCase{"MissingArchive", {"list", "absent.tar"}, "Unable to process file [absent.tar]"},
        SFailureCase{"NotAnArchive", {"list", "junk.tar"}, "This is not a valid tar file."},
        SFailureCase{"RowBeyondTheCatalogue", {"extract", "one.tar", "--rows", "1,2"}, "there is no row 2"},
        SFailureCase{"OnlyMissingPaths", {"create", "x.tar", "absent"}, "nothing to add"},
        SFailureCase{"NoSuchDrive", {"tape-info", "tape:7"}, SystemMessage(ERROR_FILE_NOT_FOUND)}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(CCliAppTest, HelpExplainsEveryCommand)
{
    const std::string help = CliOk({"--help"});
    for (const char* command : {"list", "extract", "create", "append", "erase", "tapes",
                                "tape-info", "eject", "VORKANT_TAPE_IMAGES", "tape:0",
                                "\\\\.\\tapeN", "--own-permissions", "--fixed-permissions",
                                "--sparse", "--no-sparse"})
        EXPECT_THAT(help, HasSubstr(command));
}

TEST_F(CCliAppTest, AVirtualTapeGoesThroughItsWholeLife)
{
    UseVirtualTape();
    EXPECT_EQ(CliOk({"tapes"}), "tape:0 " + (m_folder / "tape.tap") + "\n");

    CliOk({"create", "tape:0", "data"});
    CliOk({"append", "tape:0", "--no-index", "extra.txt"});
    const auto names = Lines(CliOk({"list", "tape:0"}));
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "extra.txt");
    EXPECT_THAT(std::vector<std::string>(names.begin(), names.end() - 1),
                testing::UnorderedElementsAreArray(DataMembers()));

    fs::create_directories(m_folder / "out");
    CliOk({"extract", "tape:0", "-C", "out", "*.txt"});
    EXPECT_EQ(m_folder.ReadFile("out/extra.txt"), "extra");

    const auto info = Lines(CliOk({"tape-info", "tape:0"}));
    ASSERT_GE(info.size(), 2u);
    EXPECT_THAT(info[0], testing::StartsWith("Features high 0x"));
    EXPECT_THAT(info, testing::Contains("Media block size 10240"));
    EXPECT_THAT(info, testing::Contains("Eject media"));

    CliOk({"create", "tape:0", "--no-index", "extra.txt"});
    EXPECT_EQ(CliOk({"list", "tape:0"}), "extra.txt\n");
    CliOk({"eject", "tape:0"});
    CliOk({"erase", "tape:0"});
    EXPECT_EQ(CliOk({"list", "tape:0"}), "");
}

TEST_F(CCliAppTest, ADamagedTapeImageFailsAsABadBlockDoes)
{
    UseVirtualTape();
    CliOk({"create", "tape:0", "data"});
    // As a copy cut short leaves it: inside the first block's data.
    fs::resize_file(m_folder / "tape.tap", 5000);

    const auto result = Cli({"list", "tape:0"});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_THAT(result.strErr, HasSubstr(SystemMessage(ERROR_CRC)));
    EXPECT_THAT(result.strOut, IsEmpty());
}

TEST_F(CCliAppTest, GnuTarReadsWhatTheCliWrote)
{
#ifdef _WIN32
    GTEST_SKIP() << "GNU tar is a program of the build host, not of Windows; the Linux build "
                    "runs this case";
#else
    CliOk({"create", "--no-index", "new.tar", "data"});
    fs::create_directories(m_folder / "peer");
    const std::string command = "tar -xf '" + (m_folder / "new.tar") + "' -C '" + (m_folder / "peer") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(m_folder.ReadFile("peer/data/sub/b.c"), "int b;");
#endif
}

// An archive whose second member would land outside the destination, so
// extracting it asks whether to go on.
class CCliQuestionTest : public CCliAppTest
{
protected:
    CCliQuestionTest()
    {
        CArchiveImage image;
        image.File("good.txt", "good").File("../evil.txt", "evil").File("after.txt", "after").End();
        m_folder.WriteFile("hostile.tar", image.Bytes());
        fs::create_directories(m_folder / "out");
    }

#ifndef _WIN32
    // Started with a terminal to answer on; returns once the question is up.
    std::unique_ptr<CCliProcess> StartExtract()
    {
        auto process = std::make_unique<CCliProcess>(std::vector<std::string>{"extract", "hostile.tar", "-C", "out"},
                                                     m_folder.Path().string());
        process->UseTerminalInput();
        process->Start();
        EXPECT_TRUE(process->WaitForError(kQuestion));
        return process;
    }

    static constexpr const char* kQuestion = "Do you want to continue this operation?";
#else
    static constexpr const char* kNoConsole =
        "Wine gives a program started without a terminal no console to type answers or "
        "Ctrl-C into";
#endif
};

// Windows calls the null device a character device as it does a console:
// only a console may be asked.
TEST_F(CCliQuestionTest, WithoutATerminalTheQuestionIsAnsweredYes)
{
    for (const bool nullDevice : {false, true})
    {
        SCOPED_TRACE(nullDevice ? "from the null device" : "from a pipe");
        fs::remove_all(m_folder / "out");
        fs::create_directories(m_folder / "out");
        CCliProcess process({"extract", "hostile.tar", "-C", "out"}, m_folder.Path().string());
        if (nullDevice)
            process.UseNullInput();
        process.Start();
        const auto result = process.Finish();

        EXPECT_EQ(result.nStatus, 1);
        EXPECT_THAT(result.strErr, HasSubstr("leaves the destination folder"));
        EXPECT_THAT(result.strErr, testing::Not(HasSubstr("[Y/n]")));
        EXPECT_EQ(Files("out"), (std::vector<std::string>{"after.txt", "good.txt"}));
        EXPECT_FALSE(fs::exists(m_folder / "evil.txt"));
    }
}

TEST_F(CCliQuestionTest, AnsweringNoOnTheTerminalStopsWithStatusOne)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoConsole;
#else
    auto process = StartExtract();
    process->Type("n\n");
    const auto result = process->Finish();

    EXPECT_EQ(result.nStatus, 1) << result.strErr;
    EXPECT_EQ(Files("out"), (std::vector<std::string>{"good.txt"}));
#endif
}

TEST_F(CCliQuestionTest, AnsweringYesOnTheTerminalGoesOn)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoConsole;
#else
    auto process = StartExtract();
    process->Type("y\n");
    const auto result = process->Finish();

    EXPECT_EQ(result.nStatus, 1) << result.strErr;
    EXPECT_EQ(Files("out"), (std::vector<std::string>{"after.txt", "good.txt"}));
#endif
}

TEST_F(CCliQuestionTest, CtrlCCancelsWithStatus130)
{
#ifdef _WIN32
    GTEST_SKIP() << kNoConsole;
#else
    auto process = StartExtract();
    process->Interrupt();
    const auto result = process->Finish();

    EXPECT_EQ(result.nStatus, 130) << result.strErr;
    EXPECT_EQ(Files("out"), (std::vector<std::string>{"good.txt"}));
#endif
}
} // namespace
