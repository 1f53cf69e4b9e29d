#include "platform/COwnerNames.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#endif

TEST(COwnerNamesTest, NamesComeFromTheUserDatabase)
{
    constexpr std::uint32_t kUnused = 4000000000;
#ifdef _WIN32
    const std::uint32_t uid = 0, gid = 0;
    const std::string user, group;
#else
    const std::uint32_t uid = ::getuid(), gid = ::getgid();
    const std::string user = ::getpwuid(uid) ? ::getpwuid(uid)->pw_name : "";
    const std::string group = ::getgrgid(gid) ? ::getgrgid(gid)->gr_name : "";
#endif
    const struct
    {
        std::uint32_t uid, gid;
        std::string user, group;
    } cases[] = {{uid, gid, user, group}, {kUnused, kUnused, "", ""}};
    COwnerNames names;
    for (const auto& c : cases)
    {
        EXPECT_EQ(names.UserName(c.uid), c.user) << c.uid;
        EXPECT_EQ(names.GroupName(c.gid), c.group) << c.gid;
    }
}
