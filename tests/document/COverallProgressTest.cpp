#include "document/COverallProgress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace
{

using namespace std::chrono_literals;

TEST(COverallProgressTest, SizesAndDurationsReadAsPeopleWriteThem)
{
    const struct
    {
        std::uint64_t bytes;
        const char* text;
    } sizes[] = {{0, "0 bytes"},          {1023, "1023 bytes"},
                 {1536, "1.5 KB"},        {1000 * 1024, "1.0 MB"},
                 {12 * 1024 * 1024, "12 MB"}, {3ull << 40, "3.0 TB"}};
    for (const auto& size : sizes)
        EXPECT_EQ(COverallProgress::FormatSize(size.bytes), size.text) << size.bytes;

    EXPECT_EQ(COverallProgress::FormatDuration(40s), "40 s");
    EXPECT_EQ(COverallProgress::FormatDuration(5min + 20s), "5 min");
    EXPECT_EQ(COverallProgress::FormatDuration(2h + 10min), "2 h 10 min");
}

// Members are counted as their events reach their size, bytes as they grow;
// the time left is the pace so far, once a second has shown it.
TEST(COverallProgressTest, TheLineCountsMembersAndBytesAgainstTheTotals)
{
    const auto start = COverallProgress::Clock::now();
    COverallProgress progress;
    progress.Start(4, 4096, start);
    for (std::uint64_t done : {0, 512, 1024})
        progress.Update(done, 1024);
    progress.Update(0, 0); // a folder
    progress.Update(0, 3072);
    progress.Update(512, 3072);
    EXPECT_EQ(progress.Text(start), "2 of 4 files, 1.5 KB of 4.0 KB");
    EXPECT_EQ(progress.Text(start + 3s), "2 of 4 files, 1.5 KB of 4.0 KB, about 5 s left");

    progress.Start(0, 0, start);
    progress.Update(0, 2048);
    progress.Update(2048, 2048);
    progress.Update(100, 100);
    EXPECT_EQ(progress.Text(start + 1s), "2 files, 2.1 KB read");
}

} // namespace
