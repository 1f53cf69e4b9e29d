#include "core/CMessageLog.h"
#include "core/COsException.h"
#include "platform/CSystemError.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>
#include <utility>
#include <vector>

namespace
{

#ifdef _WIN32
const std::string kEol = "\r\n"; // text mode writes the host's line break
#else
const std::string kEol = "\n";
#endif

class CLogWatcher : public CEventHandler
{
public:
    explicit CLogWatcher(CMessageLog& log) : m_log(log) { log.Advise(this, &CLogWatcher::OnLogEvent); }
    ~CLogWatcher() override { UnadviseAll(); }

    int OnLogEvent(void* record)
    {
        const auto* event = static_cast<CMessageLog::SLogEvent*>(record);
        events.emplace_back(event->nKind, event->nIndex);
        // Reading the log from inside the callback must not deadlock.
        countsSeen.push_back(m_log.GetCount());
        return 0;
    }

    std::vector<std::pair<int, int>> events;
    std::vector<int> countsSeen;

private:
    CMessageLog& m_log;
};

std::int64_t LocalTime(int year, int month, int day, int hour, int minute)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

CLogEntry EntryAt(const std::string& message, std::int64_t time)
{
    CLogEntry entry(message);
    entry.m_time = time;
    return entry;
}

} // namespace

TEST(CMessageLogTest, AddAndClearSendTheirEvents)
{
    CMessageLog log;
    CLogWatcher watcher(log);

    log.RemoveAll();
    for (int i = 0; i < 10; ++i)
        log.Add(CLogEntry("problem " + std::to_string(i)));
    log.RemoveAll();

    ASSERT_EQ(watcher.events.size(), 12u);
    EXPECT_EQ(watcher.events.front(), std::make_pair(2, -1));
    EXPECT_EQ(watcher.events[1], std::make_pair(0, 0));
    EXPECT_EQ(watcher.events[10], std::make_pair(0, 9));
    EXPECT_EQ(watcher.events.back(), std::make_pair(2, -1));
    EXPECT_EQ(watcher.countsSeen[10], 10);
    EXPECT_EQ(log.GetCount(), 0);
}

TEST(CMessageLogTest, GetAtReturnsACopyThatOutlivesChanges)
{
    CMessageLog log;
    log.Add(EntryAt("first", 1000));
    const CLogEntry copy = log.GetAt(0);
    log.RemoveAll();
    EXPECT_EQ(copy.m_strMessage, "first");
    EXPECT_EQ(copy.m_time, 1000);
}

TEST(CMessageLogTest, SavedLinesHoldMessageExtraAndLocalTime)
{
    CTestFolder folder;
    CMessageLog log;
    const std::int64_t afternoon = LocalTime(1998, 3, 7, 14, 5);
    log.Add(EntryAt("Unable to process file [a, b], of type [fifo]", afternoon));
    CLogEntry withExtra = EntryAt("second", afternoon + 30);
    withExtra.m_strExtra = "extra";
    log.Add(withExtra);

    log.SaveToFile(folder / "tar.log");

    EXPECT_EQ(folder.ReadFile("tar.log"),
              "Unable to process file [a, b], of type [fifo], , 14:05, March 07, 1998" + kEol +
                  "second, extra, 14:05, March 07, 1998" + kEol);
}

TEST(CMessageLogTest, SavingAnEmptyLogTruncatesTheFile)
{
    CTestFolder folder;
    folder.WriteFile("tar.log", "old contents");
    CMessageLog log;
    log.SaveToFile(folder / "tar.log");
    EXPECT_EQ(folder.ReadFile("tar.log"), "");
}

TEST(CMessageLogTest, SavingIntoAMissingFolderRaisesWithTheSystemText)
{
    CTestFolder folder;
    CMessageLog log;
    try
    {
        log.SaveToFile(folder / "missing/tar.log");
        FAIL() << "no exception";
    }
    catch (const COsException& e)
    {
        EXPECT_EQ(e.GetErrorCode(), ERROR_PATH_NOT_FOUND);
        std::string expected;
        ASSERT_TRUE(CSystemError::LookupText(ERROR_PATH_NOT_FOUND, expected));
        EXPECT_EQ(e.GetText(), expected);
    }
}

TEST(CMessageLogTest, AddsFromAnotherThreadWhileSavingKeepEveryEntry)
{
    CTestFolder folder;
    CMessageLog log;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i)
            log.Add(CLogEntry("entry"));
        done = true;
    });
    while (!done)
        log.SaveToFile(folder / "tar.log");
    worker.join();
    EXPECT_EQ(log.GetCount(), 200);
}
