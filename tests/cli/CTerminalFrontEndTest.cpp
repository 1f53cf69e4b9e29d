#include "cli/CTerminalFrontEnd.h"

#include "document/CWaitDialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace
{
TEST(CTerminalFrontEnd, TheStatusLineFitsTheTerminalKeepingTheEndOfTheName)
{
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("Listing archive...", -1, 80), "Listing archive...");
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("Standard format.\r\nd/a.txt", -1, 80),
              "Standard format.  d/a.txt");
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("a/very/long/name.txt", -1, 12), "...name.txt");

    const std::string line = CTerminalFrontEnd::FormatStatusLine("folder/file.bin", 45, 40);
    EXPECT_EQ(line.size(), 39u);
    EXPECT_EQ(line.substr(line.size() - 28), " [#########           ]  45%");
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("x", 100, 10).substr(0, 2), " [");

    // The whole operation's progress leads, and gives way only to a name
    // that would have no room at all.
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("d/a.txt", -1, 80, "1 of 2 files"),
              "1 of 2 files  d/a.txt");
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("folder/file.bin", -1, 27, "1 of 2 files"),
              "1 of 2 files  .../file.bin");
    EXPECT_EQ(CTerminalFrontEnd::FormatStatusLine("d/a.txt", -1, 20, "1 of 2 files"), "d/a.txt");
}

TEST(CTerminalFrontEnd, AShortenedNameNeverStartsInsideACharacter)
{
    // "é" is two bytes; cutting between them would print a broken character.
    const std::string line = CTerminalFrontEnd::FormatStatusLine("aaaaaaaaé.txt", -1, 10);
    EXPECT_EQ(line, "...\xC3\xA9.txt") << line;
}

TEST(CTerminalFrontEnd, ControlCharactersCannotSteerTheTerminal)
{
    EXPECT_EQ(CTerminalFrontEnd::Printable("evil\x1b]0;owned\x07\nname\x7f"),
              "evil\\033]0;owned\\007\\012name\\177");
    EXPECT_EQ(CTerminalFrontEnd::Printable("caf\xC3\xA9 a\\b"), "caf\xC3\xA9 a\\b");
}

struct SAnswerCase
{
    const char* typed;
    unsigned style;
    int answer;
};

class CTerminalAnswerTest : public testing::TestWithParam<SAnswerCase>
{
};

// Standard input is a file standing in for the terminal's keys.
TEST_P(CTerminalAnswerTest, TheTypedLineAnswersTheQuestion)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> keys(std::tmpfile(), std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> screen(std::tmpfile(), std::fclose);
    std::fputs(GetParam().typed, keys.get());
    std::rewind(keys.get());
    CTerminalFrontEnd frontEnd(keys.get(), screen.get(), true, false);

    EXPECT_EQ(frontEnd.Ask("Go on?", "", GetParam().style), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CTerminalAnswerTest,
    testing::Values(SAnswerCase{"y\n", MB_YESNO, IDYES}, SAnswerCase{"N\n", MB_YESNO, IDNO},
                    SAnswerCase{"\n", MB_YESNO, IDYES},
                    SAnswerCase{"\n", MB_YESNO | MB_DEFBUTTON2, IDNO},
                    SAnswerCase{"yes\n", MB_OKCANCEL, IDOK}, SAnswerCase{"n\n", MB_OKCANCEL, IDCANCEL},
                    SAnswerCase{"c\n", MB_YESNOCANCEL, IDCANCEL},
                    SAnswerCase{"n\n", MB_YESNOCANCEL, IDNO},
                    // The end of input is no consent.
                    SAnswerCase{"", MB_YESNO, IDNO}, SAnswerCase{"", MB_OKCANCEL, IDCANCEL}));

TEST(CTerminalFrontEnd, WithoutATerminalEveryQuestionIsAnsweredYes)
{
    CTerminalFrontEnd frontEnd(stdin, stderr, false, false);

    EXPECT_EQ(frontEnd.Ask("Go on?", "", MB_YESNO | MB_DEFBUTTON2), IDYES);
    EXPECT_EQ(frontEnd.Ask("Catalog?", "Catalog", MB_OKCANCEL), IDOK);
}
} // namespace
