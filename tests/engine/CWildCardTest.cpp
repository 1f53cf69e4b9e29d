#include "engine/CWildCard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fnmatch.h>
#endif

namespace
{

struct SMatchCase
{
    const char* pattern;
    const char* name;
    bool matches;
};

template <std::size_t N> void ExpectMatches(const SMatchCase (&cases)[N])
{
    for (const SMatchCase& c : cases)
    {
        EXPECT_EQ(CWildCard::MatchOne(c.pattern, c.name), c.matches)
            << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
    }
}

const SMatchCase kBasics[] = {
    {"*.txt", "report.TXT", true},
    {"*.txt", "docs\\notes.txt", true}, // a star crosses separators
    {"*.txt", "docs/notes.txt", true},
    {"*.txt", "report.txt.bak", false},
    {"docs\\*", "docs\\a.txt", true}, // the backslash is literal, not an escape
    {"docs\\*", "docsa.txt", false},
    {"\\*", "\\x", true},
    {"README", "readme", true},
    {".*", ".profile", true}, // no special leading dot
    {"", "", true},
    {"", "a", false},
    {"abc", "ab", false},
    {"ab", "abc", false},
};

TEST(CWildCardTest, Basics)
{
    ExpectMatches(kBasics);
}

const SMatchCase kStarsAndQuestionMarks[] = {
    {"*", "", true},          {"***", "", true},
    {"a**", "a", true},       {"**b", "b", true},
    {"a*b*c", "aXbYc", true}, {"a*b*c", "aXbYcZ", false},
    {"*ab", "aab", true}, // the star must give back what it first took
    {"*aab", "aaab", true},   {"a*b*c*d", "abcbcd", true},
    {"*a*a*a", "aa", false},  {"?", "", false}, // never the end of the name
    {"a?", "a", false},       {"a?", "a\\", true},
    {"*?", "", false},        {"*?", "x", true},
    {"?*?", "a", false},      {"?*?", "ab", true},
    {"*?*?*", "a", false},    {"*?.*", "README", false},
    {"*?.*", "x.y", true},    {"*?*.txt", "a.txt", true},
};

TEST(CWildCardTest, StarsAndQuestionMarks)
{
    ExpectMatches(kStarsAndQuestionMarks);
}

const SMatchCase kSets[] = {
    {"[a-c]*", "Beta.doc", true}, // folding applies to ranges
    {"[!a-c]*", "Beta.doc", false},
    {"[^a-c]*", "delta", true},
    {"[A-C]", "b", true},
    {"[Z-a]", "_", false}, // both ends folded: z to a is empty
    {"[Z-a]", "z", false},
    {"[]]", "]", true}, // a ] straight after the opening is a member
    {"[]a]", "a", true},
    {"[!]]", "]", false},
    {"[!]]", "x", true},
    {"[^]]", "]", false},
    {"[]-a]", "^", true}, // from ] to a
    {"[a-]", "-", true},  // a - before the closing ] is a member
    {"[a-]", "b", false},
    {"[-a]", "-", true},
    {"[\\]", "\\", true},
    {"[\\a]", "a", true},
    {"a[b-z]", "a", false}, // a set never matches the end
    {"a[!b]", "a", false},
    {"[[:digit:]]x", "7x", true},
    {"[[:upper:]]", "a", false},
    {"[![:alpha:]]", "1", true},
    {"[[:alpha]", "l", true}, // no class: [ : a l p h are members
    {"[[:nope:]]", "n", false},
};

TEST(CWildCardTest, Sets)
{
    ExpectMatches(kSets);
}

// A star followed by a set is tried at every position of the name, and a set
// that fails hands the work back to the star.
const SMatchCase kSetsAfterStars[] = {
    {"*[0-9]", "file7", true},   {"*[0-9]", "file", false},     {"*[!.]", "a.", false},
    {"*[!.]", "a.b", true},      {"*[ab]c", "xxbc", true},      {"*[ab]c", "xxbcc", false},
    {"*[ab]b", "aab", true},     {"*[ab]*[cd]", "xaxxd", true}, {"*[ab]*[cd]", "xdxxa", false},
    {"*?x*[!x]", "axxxy", true}, {"*[a-c]?[x]", "zzbqx", true}, {"*[", "a[", false},
};

TEST(CWildCardTest, SetsAfterStars)
{
    ExpectMatches(kSetsAfterStars);
}

// An unclosed [ makes the whole pattern match nothing, itself included.
const SMatchCase kUnclosedSets[] = {
    {"abc[", "abc[", false}, {"abc[", "abc", false},     {"[", "[", false},
    {"[]", "]", false},      {"[!]", "a", false},        {"[a-", "a", false},
    {"*[a", "xa", false},    {"[[:alpha:]", "a", false},
};

TEST(CWildCardTest, UnclosedSets)
{
    ExpectMatches(kUnclosedSets);
}

// Bytes from 0x80 up are not folded, and in ranges they sort below ASCII.
const SMatchCase kHighBytes[] = {
    {"\xe9t\xe9", "\xe9t\xe9", true}, {"\xc9", "\xe9", false},    {"?", "\xff", true},
    {"[\x80-z]", "a", true},          {"[\x80-z]", "\x90", true}, {"[\x80-b]", "c", false},
    {"[a-\xff]", "b", false}, // from 'a' down to -1: empty
    {"[!a-\xff]", "\xff", true},      {"*\xff", "abc\xff", true},
};

TEST(CWildCardTest, HighBytes)
{
    ExpectMatches(kHighBytes);
}

TEST(CWildCardTest, HostilePatternsFinishFast)
{
    const std::string as(100000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CWildCard::MatchOne("*a*a*a*a*a*a*a*a*b", as));
    EXPECT_TRUE(CWildCard::MatchOne("*a*a*a*a*a*a*a*a*b", as + "b"));
    EXPECT_FALSE(CWildCard::MatchOne("*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[b]", as));
    EXPECT_FALSE(CWildCard::MatchOne("*?*?*?*?*?*?*?*?*?*b", as));
    // A backtracking matcher would not finish within the lifetime of the test.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

#ifndef _WIN32
// Without unclosed sets and bytes from 0x80 up, matching is that of the C
// library's fnmatch with case folding and no escapes. Random patterns of
// stars, question marks, literals and well-formed sets against random names
// compare the two.
std::string RandomPattern(std::mt19937& random)
{
    static const std::string kLiterals = "abAB-!^\\.";
    static const std::string kMembers = "abcAB-!^\\.";
    auto pick = [&random](const std::string& from) { return from[random() % from.size()]; };
    std::string pattern;
    for (std::size_t length = random() % 7; length > 0; --length)
    {
        switch (random() % 5)
        {
        case 0:
            pattern += '*';
            break;
        case 1:
            pattern += '?';
            break;
        case 2:
        {
            std::string set = "[";
            if (random() % 3 == 0)
                set += random() % 2 ? '!' : '^';
            if (random() % 4 == 0)
                set += ']';
            for (std::size_t members = 1 + random() % 3; members > 0; --members)
            {
                // A ! or ^ first would negate the set instead of being a member.
                char member = pick(kMembers);
                while (set == "[" && (member == '!' || member == '^'))
                    member = pick(kMembers);
                set += member;
            }
            pattern += set + ']';
            break;
        }
        default:
            pattern += pick(kLiterals);
        }
    }
    return pattern;
}
#endif

TEST(CWildCardTest, AgreesWithTheCLibraryOnWellFormedPatterns)
{
#ifdef _WIN32
    GTEST_SKIP() << "the C library of Windows has no fnmatch to compare with";
#else
    static const std::string kNameCharacters = "abcAB-!^\\.]";
    std::mt19937 random(20240601);
    for (int i = 0; i < 100000; ++i)
    {
        const std::string pattern = RandomPattern(random);
        std::string name;
        for (std::size_t length = random() % 6; length > 0; --length)
            name += kNameCharacters[random() % kNameCharacters.size()];
        const bool expected =
            ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
        ASSERT_EQ(CWildCard::MatchOne(pattern, name), expected)
            << "pattern \"" << pattern << "\" name \"" << name << "\"";
    }
#endif
}

TEST(CWildCardTest, InWindowsStyleASlashAndABackslashAreOneSeparator)
{
    const struct
    {
        const char* pattern;
        const char* name;
        bool windows;
        bool posix;
    } cases[] = {
        {"tree/sub/*", "tree\\sub\\a.txt", true, false},
        {"tree\\sub\\*", "tree/sub/a.txt", true, false},
        {"tree\\sub\\*", "tree\\sub\\a.txt", true, true},
        {"tree/sub/*", "tree/sub/a.txt", true, true},
        {"tree[/]sub", "tree\\sub", true, false},
        {"tree[!/]sub", "tree\\sub", false, true},
        {"tree/sub", "treexsub", false, false},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(CWildCard::MatchOne(c.pattern, c.name, EPathStyle::Windows), c.windows)
            << c.pattern << " " << c.name;
        EXPECT_EQ(CWildCard::MatchOne(c.pattern, c.name, EPathStyle::Posix), c.posix)
            << c.pattern << " " << c.name;
        CWildCard specs;
        specs.SetSpecs({c.pattern});
        EXPECT_EQ(specs.Match(c.name), kHostPathStyle == EPathStyle::Windows ? c.windows : c.posix)
            << "the host's style: " << c.pattern << " " << c.name;
    }
}

TEST(CWildCardTest, EverythingSpecsMatchNamesWithoutADot)
{
    CWildCard specs;
    specs.SetSpecs({"*.*"});
    EXPECT_TRUE(specs.Match("README"));
    EXPECT_TRUE(specs.Match(""));
    specs.SetSpecs({"*"});
    EXPECT_TRUE(specs.Match(""));
    specs.SetSpecs({"*?.*"});
    EXPECT_FALSE(specs.Match("README"));
    specs.SetSpecs({});
    EXPECT_FALSE(specs.Match("README"));
}

TEST(CWildCardTest, MatchReportsTheLastSpecThatMatched)
{
    CWildCard specs;
    specs.SetSpecs({"*.txt", "r*", "*.doc"});
    int index = 42;
    EXPECT_TRUE(specs.Match("readme.txt", &index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(specs.Match("notes.txt", &index));
    EXPECT_EQ(index, 0);
    index = 42;
    EXPECT_FALSE(specs.Match("notes.pdf", &index));
    EXPECT_EQ(index, 42);
}

TEST(CWildCardTest, AddSpecLowersAsciiAndRefusesDuplicates)
{
    CWildCard specs;
    EXPECT_EQ(specs.AddSpec("*.txt"), 0);
    EXPECT_EQ(specs.AddSpec("*.TXT"), -1);
    EXPECT_EQ(specs.AddSpec("DOCS\\\xc9T\xc9*"), 1);
    EXPECT_EQ(specs.GetSpecs(), (std::vector<std::string>{"*.txt", "docs\\\xc9t\xc9*"}));
}

TEST(CWildCardTest, SetAndCopyKeepSpecsAsGiven)
{
    CWildCard specs;
    specs.AddSpec("old");
    specs.SetSpecs({"*.txt", "*.TXT", "*.txt"});
    EXPECT_EQ(specs.GetSpecs(), (std::vector<std::string>{"*.txt", "*.TXT", "*.txt"}));
    CWildCard copy;
    copy.AddSpec("other");
    copy.CopySpecs(specs);
    EXPECT_EQ(copy.GetSpecs(), specs.GetSpecs());
}

} // namespace
