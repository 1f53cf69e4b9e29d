#include "ui/lists/CFileDataSource.h"

#include "core/CMessageLog.h"
#include "ListTestSupport.h"
#include "support/CTestFolder.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace
{

constexpr char kTooLong[] = "The file (%s) has a path %d characters long. Only files %d "
                            "characters or less are supported.";

std::string TooLongMessage(const std::string& file, int length, int limit)
{
    char text[512];
    std::snprintf(text, sizeof text, kTooLong, file.c_str(), length, limit);
    return text;
}

// The files-to-add list as the page sets it up: names shorter than 100
// characters, refusals logged.
class CFileDataSourceTest : public testing::Test
{
protected:
    // Announces what the list holds, as the control showing it would.
    void Show() { m_source.AnnounceReset(m_source.GetCount()); }
    QString Cell(int row, int col) const
    {
        return m_source.data(m_source.index(row, col)).toString();
    }
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < m_log.GetCount(); ++i)
            lines.push_back(m_log.GetAt(i).m_strMessage);
        return lines;
    }

    CMessageLog m_log;
    CFileDataSource m_source{true, 100, &m_log};
    QAbstractItemModelTester m_tester{&m_source,
                                      QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(CFileDataSourceTest, SizeIsShownInKilobytesRoundedUp)
{
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 KB"},
        {1, "1 KB"},
        {1024, "1 KB"},
        {1025, "2 KB"},
        {5ull << 30, "5242880 KB"},          // beyond 32 bits
        {~0ull, "18014398509481984 KB"},     // rounding up must not wrap
    };
    for (const auto& [size, text] : cases)
        m_source.Add(MakeEntry("f" + std::to_string(size), size));
    Show();
    for (int row = 0; row < m_source.GetCount(); ++row)
        EXPECT_EQ(Cell(row, 1), cases[row].second) << cases[row].first;
}

TEST_F(CFileDataSourceTest, TimeIsTheLocalDate)
{
    const char* zone = std::getenv("TZ");
    const std::optional<std::string> savedZone = zone ? std::optional<std::string>(zone) : std::nullopt;
    const std::string savedLocale = std::setlocale(LC_TIME, nullptr);
    setenv("TZ", "EST5", 1);
    tzset();
    std::setlocale(LC_TIME, "C");

    // Midnight of 17 June 1998 in Greenwich is still the 16th five hours west.
    SFileEntry entry = MakeEntry("late");
    entry.time = 898041600;
    m_source.Add(entry);
    Show();
    const QString shown = Cell(0, 2);

    std::setlocale(LC_TIME, savedLocale.c_str());
    if (savedZone)
        setenv("TZ", savedZone->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    EXPECT_EQ(shown, "06/16/98");
}

TEST_F(CFileDataSourceTest, NameColumnFollowsTheRelativeNamesFlag)
{
    m_source.Add(MakeEntry("sub/a.txt", 1, true, "/home/user/"));
    m_source.Add(MakeEntry("sub", 0, false, "/home/user/"));
    Show();
    QSignalSpy changed(&m_source, &QAbstractItemModel::dataChanged);

    EXPECT_EQ(Cell(0, 0), "sub/a.txt");
    m_source.SetUseRelativeNames(false);
    EXPECT_EQ(Cell(0, 0), "/home/user/sub/a.txt");
    m_source.SetUseRelativeNames(false); // unchanged: not announced again
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(m_source.GetUseRelativeNames());

    // The drawer of the name column learns what kind each entry is.
    EXPECT_TRUE(m_source.data(m_source.index(0, 0), CFileDataSource::IS_FILE_ROLE).toBool());
    EXPECT_FALSE(m_source.data(m_source.index(1, 0), CFileDataSource::IS_FILE_ROLE).toBool());
    EXPECT_FALSE(m_source.data(m_source.index(0, 1), CFileDataSource::IS_FILE_ROLE).isValid());
}

TEST_F(CFileDataSourceTest, NamesAsLongAsTheLimitAreRefusedAndLogged)
{
    struct SCase
    {
        std::string name;
        bool accepted;
        std::string logged;
    };
    const std::string dir = "folder/";
    const SCase cases[] = {
        {std::string(99, 'a'), true, ""},
        {std::string(100, 'b'), false, TooLongMessage(std::string(100, 'b'), 100, 100)},
        {dir + std::string(93, 'c'), false, TooLongMessage(std::string(93, 'c'), 100, 100)},
        {std::string(150, 'd'), false, TooLongMessage(std::string(150, 'd'), 150, 100)},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name.size());
        m_log.RemoveAll();
        EXPECT_EQ(m_source.Add(MakeEntry(c.name)) != -1, c.accepted);
        EXPECT_EQ(LogLines(), c.logged.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{c.logged});
    }
    EXPECT_EQ(m_source.GetCount(), 1);
}

TEST(CFileDataSourceCatalogueTest, WithoutALimitNamesOfAnyLengthAreTaken)
{
    CMessageLog log;
    CFileDataSource catalogue;
    catalogue.SetLog(&log);

    EXPECT_NE(catalogue.Add(MakeEntry(std::string(5000, 'n'))), -1);
    EXPECT_EQ(log.GetCount(), 0);
}

TEST_F(CFileDataSourceTest, SwitchingToFullPathsRemovesAndLogsWhatNoLongerFits)
{
    const std::string deep = "/" + std::string(90, 'p') + "/";
    m_source.Add(MakeEntry("short.txt", 10, true, "/tmp/"));
    m_source.Add(MakeEntry("long-one.txt", 20, true, deep));
    m_source.Add(MakeEntry("fits.txt", 30, true, "/tmp/"));
    m_source.Add(MakeEntry("long-two.txt", 40, true, deep));
    Show();
    CEntrysRecorder recorder(m_source);

    m_source.SetUseRelativeNames(false);
    m_source.RecheckEntries();

    ASSERT_EQ(m_source.GetCount(), 2);
    EXPECT_EQ(m_source.GetAt(0)->strName, "short.txt");
    EXPECT_EQ(m_source.GetAt(1)->strName, "fits.txt");
    EXPECT_EQ(m_source.GetTotalSize(), 40u);
    const int length = static_cast<int>(deep.size() + 12);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{TooLongMessage("long-two.txt", length, 100),
                                                    TooLongMessage("long-one.txt", length, 100)}));
    // The list reports the removals once.
    EXPECT_EQ(recorder.Events().size(), 1u);
}

TEST_F(CFileDataSourceTest, RemoveEntriesTakesValidRowsAndReportsOnce)
{
    for (const char* name : {"a", "b", "c", "d", "e"})
        m_source.Add(MakeEntry(name));
    CEntrysRecorder recorder(m_source);

    m_source.RemoveEntries({3, 0, 3, 9, -1, 1});

    ASSERT_EQ(m_source.GetCount(), 2);
    EXPECT_EQ(m_source.GetAt(0)->strName, "c");
    EXPECT_EQ(m_source.GetAt(1)->strName, "e");
    ASSERT_EQ(recorder.Events().size(), 1u);
    EXPECT_EQ(recorder.Events()[0].nKind, ENTRYS_REMOVED);
    EXPECT_EQ(recorder.Events()[0].nFirst, 0);

    m_source.RemoveEntries({7});
    EXPECT_EQ(recorder.Events().size(), 1u);
}

class CFileDataSourceDiskTest : public CFileDataSourceTest
{
protected:
    CTestFolder m_folder;
};

TEST_F(CFileDataSourceDiskTest, AddPathsReportsEvenWhenTheLastPathAddsNothing)
{
    const std::string a = m_folder.WriteFile("a.txt", "a");
    const std::string b = m_folder.WriteFile("b.txt", "b");
    CEntrysRecorder recorder(m_source);

    m_source.AddPaths({a, b, m_folder / "missing"});

    EXPECT_EQ(m_source.GetCount(), 2);
    ASSERT_EQ(recorder.Events().size(), 1u);
    EXPECT_EQ(recorder.Events()[0].nKind, ENTRYS_INSERTED);
    EXPECT_EQ(recorder.Events()[0].nFirst, 0);

    // Nothing added at all: nothing to report.
    m_source.AddPaths({m_folder / "missing"});
    EXPECT_EQ(recorder.Events().size(), 1u);
}

#ifndef _WIN32
TEST_F(CFileDataSourceDiskTest, ItemsThatCannotBeStoredAreLogged)
{
    const std::string pipe = m_folder / "proj/pipe";
    m_folder.WriteFile("proj/a.txt", "a");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);

    m_source.AddPaths({m_folder / "proj", "/dev/null"});

    // A pipe is stored as one; a device cannot be.
    EXPECT_EQ(m_source.GetCount(), 3);
    ASSERT_EQ(m_log.GetCount(), 1);
    EXPECT_NE(m_log.GetAt(0).m_strMessage.find("/dev/null"), std::string::npos);
}
#endif

TEST(CFileDataSourceLifeTest, ClientsHearNothingFromASourceBeingDestroyed)
{
    auto source = std::make_unique<CFileDataSource>();
    source->Add(MakeEntry("a"));
    CEntrysRecorder recorder(*source);
    source.reset();
    EXPECT_TRUE(recorder.Events().empty());
}

} // namespace
