#include "engine/CTarExtendedHeader.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(CTarExtendedHeaderTest, ReadsTheRecordsItUsesAndPassesOverTheRest)
{
    CTarExtendedHeader header;
    ASSERT_TRUE(header.Parse(std::string("30 mtime=1700000000.123456789\n"
                                         "20 path=a b=c/d.txt\n"
                                         "20 size=10737418240\n"
                                         "27 SCHILY.xattr.user.k=v=w\n"
                                         "19 linkpath=target\n"
                                         "13 size=12x4\n" // no number: passed over
                                         "11 mtime=a\n") +
                             std::string(3, '\0')));
    EXPECT_EQ(header.m_time, 1700000000u);
    EXPECT_EQ(header.m_path, "a b=c/d.txt");
    EXPECT_EQ(header.m_size, 10737418240u);
    EXPECT_EQ(header.m_linkPath, "target");
}

TEST(CTarExtendedHeaderTest, TimesOutsideThirtyTwoBitsAreClamped)
{
    CTarExtendedHeader header;
    ASSERT_TRUE(header.Parse("16 mtime=-100.5\n"));
    EXPECT_EQ(header.m_time, 0u);
    ASSERT_TRUE(header.Parse("21 mtime=99999999999\n"));
    EXPECT_EQ(header.m_time, 0xFFFFFFFFu);
}

TEST(CTarExtendedHeaderTest, ADamagedRecordLeavesNothingSet)
{
    const std::string damagedRecords[] = {
        "11 path=ok\n99 size=1\n", // a length past the data's end
        "12 path=ok\n",           // the line end is not where the length says
        "3 \n",                   // no room for a key
        "x path=a\n",             // no length
        "10 pathok\n",            // no '='
        "14 path=..\0/x\n"s, // a name the system would read as ".."
        "15 linkpath=\0x\n"s,
    };
    for (const std::string& damaged : damagedRecords)
    {
        CTarExtendedHeader header;
        EXPECT_FALSE(header.Parse(std::string("12 path=abc\n") + damaged)) << damaged;
        EXPECT_FALSE(header.m_path.has_value()) << damaged;
    }
}

TEST(CTarExtendedHeaderTest, ASizeRecordCountsItsOwnLength)
{
    for (const std::uint64_t size : {0ull, 9ull, 99999ull, 9663676416ull, 18446744073709551615ull})
    {
        const std::string record = CTarExtendedHeader::Record("size", std::to_string(size));
        EXPECT_EQ(std::to_string(record.size()) + " size=" + std::to_string(size) + "\n", record);
        CTarExtendedHeader header;
        ASSERT_TRUE(header.Parse(record));
        EXPECT_EQ(header.m_size, size);
    }
}
