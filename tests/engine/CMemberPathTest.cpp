#include "engine/CMemberPath.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace
{

struct SSplitCase
{
    std::string_view name;
    EPathStyle style;
    std::optional<std::vector<std::string>> expected;
};

using namespace std::string_view_literals;
using Parts = std::vector<std::string>;
const std::nullopt_t kRefused = std::nullopt;

class CMemberPathSplitTest : public ::testing::TestWithParam<SSplitCase>
{
};

} // namespace

TEST_P(CMemberPathSplitTest, KeepsTheNameBelowTheDestination)
{
    const SSplitCase& c = GetParam();
    EXPECT_EQ(CMemberPath::Split(c.name, c.style), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, CMemberPathSplitTest,
    ::testing::Values(SSplitCase{"a.txt", EPathStyle::Posix, Parts{"a.txt"}},
                      SSplitCase{"dir/b.txt", EPathStyle::Posix, Parts{"dir", "b.txt"}},
                      SSplitCase{"/etc/hosts", EPathStyle::Posix, Parts{"etc", "hosts"}},
                      SSplitCase{"//server//share/./a", EPathStyle::Posix,
                                 Parts{"server", "share", "a"}},
                      SSplitCase{"../evil", EPathStyle::Posix, kRefused},
                      SSplitCase{"a/../../evil", EPathStyle::Posix, kRefused},
                      SSplitCase{"a/..", EPathStyle::Posix, kRefused},
                      SSplitCase{"a/..\0/x"sv, EPathStyle::Posix, kRefused},
                      SSplitCase{"...", EPathStyle::Posix, Parts{"..."}},
                      SSplitCase{"a\\..\\b", EPathStyle::Posix, Parts{"a\\..\\b"}},
                      SSplitCase{"C:x", EPathStyle::Posix, Parts{"C:x"}},
                      SSplitCase{"/", EPathStyle::Posix, Parts{}},
                      SSplitCase{"\\etc\\hosts", EPathStyle::Windows, Parts{"etc", "hosts"}},
                      SSplitCase{"C:\\data\\a.txt", EPathStyle::Windows, Parts{"data", "a.txt"}},
                      SSplitCase{"\\C:\\data", EPathStyle::Windows, Parts{"data"}},
                      SSplitCase{"dir/b.txt", EPathStyle::Windows, Parts{"dir", "b.txt"}},
                      SSplitCase{"a\\..\\b", EPathStyle::Windows, kRefused},
                      SSplitCase{"a/../b", EPathStyle::Windows, kRefused},
                      SSplitCase{"a\\...\\b", EPathStyle::Windows, kRefused},
                      SSplitCase{"a\\.. \\b", EPathStyle::Windows, kRefused},
                      SSplitCase{"a\\b:stream", EPathStyle::Windows, kRefused},
                      SSplitCase{"a\\C:\\b", EPathStyle::Windows, kRefused},
                      SSplitCase{".\\a", EPathStyle::Windows, Parts{"a"}}));

TEST(CMemberPathTest, JoinAddsOneSeparatorWhereNeeded)
{
    const Parts parts{"dir", "b.txt"};
    EXPECT_EQ(CMemberPath::Join("C:\\out", parts, EPathStyle::Windows), "C:\\out\\dir\\b.txt");
    EXPECT_EQ(CMemberPath::Join("C:\\out\\", parts, EPathStyle::Windows), "C:\\out\\dir\\b.txt");
    EXPECT_EQ(CMemberPath::Join("/out/", parts, EPathStyle::Posix), "/out/dir/b.txt");
    EXPECT_EQ(CMemberPath::Join("", parts, EPathStyle::Posix), "dir/b.txt");
    EXPECT_EQ(CMemberPath::Join("/out", {}, EPathStyle::Posix), "/out");
}
