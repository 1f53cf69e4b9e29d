#include "engine/CFileEntrys.h"

#include "platform/PathStyle.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace
{

using Event = std::array<std::int32_t, 3>; // kind, first, count
using Events = std::vector<Event>;

// Records every notice of one list, with the thread it arrived on.
class CRecorder : public CEventHandler
{
public:
    explicit CRecorder(CFileEntrys& list) { list.Advise(this, &CRecorder::OnEvent); }
    ~CRecorder() override { UnadviseAll(); }

    int OnEvent(void* record)
    {
        const auto& event = *static_cast<const SFileEntrysEvent*>(record);
        {
            std::lock_guard guard(m_lock);
            m_events.push_back({event.nKind, event.nFirst, event.nCount});
            m_threads.push_back(std::this_thread::get_id());
        }
        if (m_onEvent)
            m_onEvent();
        return 0;
    }

    Events GetEvents() const
    {
        std::lock_guard guard(m_lock);
        return m_events;
    }
    std::vector<std::thread::id> GetThreads() const
    {
        std::lock_guard guard(m_lock);
        return m_threads;
    }

    std::function<void()> m_onEvent;

private:
    mutable std::mutex m_lock;
    Events m_events;
    std::vector<std::thread::id> m_threads;
};

// Refuses every entry whose name ends in an x, as a list view refuses
// names it cannot show.
class CPickyEntrys : public CFileEntrys
{
public:
    bool CanAdd(const SFileEntry& entry) override { return !entry.strName.ends_with("x"); }
};

SFileEntry Sized(const std::string& name, std::uint64_t size)
{
    SFileEntry entry(name);
    entry.dwSize = size;
    return entry;
}

std::vector<std::string> NamesOf(const CFileEntrys& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i)
        names.push_back(list.GetAt(i)->strName);
    return names;
}

// Native names from names written with slashes.
std::string Native(std::string name)
{
    std::replace(name.begin(), name.end(), '/', kHostSeparator);
    return name;
}

std::set<std::string> NativeSet(std::initializer_list<const char*> names)
{
    std::set<std::string> result;
    for (const char* name : names)
        result.insert(Native(name));
    return result;
}

SFileEntry Find(const CFileEntrys& list, const std::string& name)
{
    for (int i = 0; i < list.GetCount(); ++i)
    {
        if (list.GetAt(i)->strName == name)
            return *list.GetAt(i);
    }
    ADD_FAILURE() << "no entry named " << name;
    return SFileEntry();
}

} // namespace

TEST(CFileEntrysTest, AddAppendsOrInsertsAndReportsTheIndexUsed)
{
    CFileEntrys list;
    CRecorder recorder(list);
    EXPECT_EQ(list.Add(Sized("a", 1)), 0);
    EXPECT_EQ(list.Add(Sized("b", 2), 1), 1); // the count itself appends
    EXPECT_EQ(list.Add(Sized("c", 4), 0), 0);
    EXPECT_EQ(list.Add(Sized("d", 8), 2), 2);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"c", "a", "d", "b"}));
    EXPECT_EQ(list.GetTotalSize(), 15u);
    EXPECT_EQ(recorder.GetEvents(), (Events{{ENTRYS_INSERTED, 0, 1},
                                            {ENTRYS_INSERTED, 1, 1},
                                            {ENTRYS_INSERTED, 0, 1},
                                            {ENTRYS_INSERTED, 2, 1}}));
}

TEST(CFileEntrysTest, BadIndexesThrowAndChangeNothing)
{
    CFileEntrys list;
    list.Add(Sized("a", 1));
    CRecorder recorder(list);
    EXPECT_THROW(list.Add(Sized("b", 2), 2), std::out_of_range);
    EXPECT_THROW(list.Add(Sized("b", 2), -2), std::out_of_range);
    EXPECT_THROW(list.RemoveAt(1), std::out_of_range);
    EXPECT_THROW(list.Move(0, 1), std::out_of_range);
    EXPECT_THROW(list.GetAt(-1), std::out_of_range);
    SFileEntry copy;
    EXPECT_FALSE(list.CopyAt(-1, copy));
    EXPECT_FALSE(list.CopyAt(1, copy));
    ASSERT_TRUE(list.CopyAt(0, copy));
    EXPECT_EQ(copy.strName, "a");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetTotalSize(), 1u);
    EXPECT_TRUE(recorder.GetEvents().empty());
}

TEST(CFileEntrysTest, RefusedEntryChangesNothingAndSendsNothing)
{
    CPickyEntrys list;
    list.Add(Sized("a", 5));
    CRecorder recorder(list);
    EXPECT_EQ(list.Add(Sized("ax", 7)), -1);
    EXPECT_EQ(list.Add(Sized("bx", 7), 0), -1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetTotalSize(), 5u);
    EXPECT_TRUE(recorder.GetEvents().empty());
}

TEST(CFileEntrysTest, RemovingKeepsTheTotalAndReports)
{
    CFileEntrys list;
    list.Add(Sized("a", 10));
    list.Add(Sized("b", 20));
    list.Add(Sized("c", 30));
    CRecorder recorder(list);
    list.RemoveAt(1);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(list.GetTotalSize(), 40u);
    list.RemoveAt(1);
    list.RemoveAt(0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetTotalSize(), 0u);
    list.RemoveAll(); // already empty, and still announced
    list.Add(Sized("d", 1));
    list.RemoveAll();
    EXPECT_EQ(list.GetTotalSize(), 0u);
    EXPECT_EQ(recorder.GetEvents(), (Events{{ENTRYS_REMOVED, 1, 1},
                                            {ENTRYS_REMOVED, 1, 1},
                                            {ENTRYS_REMOVED, 0, 1},
                                            {ENTRYS_CLEARED, 0, 0},
                                            {ENTRYS_INSERTED, 0, 1},
                                            {ENTRYS_CLEARED, 0, 0}}));
}

TEST(CFileEntrysTest, MoveTakesTheEntryOutAndPutsItBack)
{
    CFileEntrys list;
    for (const char* name : {"e0", "e1", "e2", "e3", "e4", "e5"})
        list.Add(Sized(name, 3));
    CRecorder recorder(list);
    list.Move(1, 4);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"e0", "e4", "e1", "e2", "e3", "e5"}));
    list.Move(4, 1);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"e0", "e1", "e2", "e3", "e4", "e5"}));
    list.Move(5, 0);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"e1", "e2", "e3", "e4", "e5", "e0"}));
    list.Move(2, 2);
    EXPECT_EQ(list.GetTotalSize(), 18u);
    EXPECT_EQ(recorder.GetEvents(),
              (Events{{ENTRYS_MOVED, 1, 3}, {ENTRYS_MOVED, 1, 3}, {ENTRYS_MOVED, 0, 5}}));
}

TEST(CFileEntrysTest, TotalsAreSixtyFourBitsWide)
{
    constexpr std::uint64_t kGiB = 1ull << 30;
    CFileEntrys list;
    list.Add(Sized("three", 3 * kGiB));
    list.Add(Sized("two", 2 * kGiB));
    EXPECT_EQ(list.GetTotalSize(), 5 * kGiB);
    EXPECT_EQ(list.GetAt(0)->dwSize, 3 * kGiB);
    list.RemoveAt(0);
    EXPECT_EQ(list.GetTotalSize(), 2 * kGiB);
}

TEST(CFileEntrysTest, StoredEntriesStayPutWhileOthersComeAndGo)
{
    CFileEntrys list;
    list.Add(Sized("kept", 42));
    const SFileEntry* kept = list.GetAt(0);
    for (int i = 0; i < 100; ++i)
        list.Add(Sized("before", 1), 0);
    list.RemoveAt(0);
    list.Move(0, 99);
    EXPECT_EQ(kept->strName, "kept");
    EXPECT_EQ(kept->dwSize, 42u);
}

TEST(CFileEntrysTest, DestroyingTheListTellsClientsItIsCleared)
{
    auto list = std::make_unique<CFileEntrys>();
    list->Add(Sized("a", 1));
    CRecorder recorder(*list);
    list.reset();
    EXPECT_EQ(recorder.GetEvents(), (Events{{ENTRYS_CLEARED, 0, 0}}));
}

TEST(CFileEntrysTest, NoticesArriveOnTheChangingThreadWithTheListFree)
{
    CFileEntrys list;
    CRecorder recorder(list);
    // A reader on a third thread gets in while the notice is being handled:
    // the list's lock is not held during delivery.
    std::vector<std::future_status> readers;
    recorder.m_onEvent = [&]
    {
        auto reader = std::async(std::launch::async, [&] { return list.GetCount(); });
        readers.push_back(reader.wait_for(10s));
    };
    std::thread::id changer;
    std::thread thread(
        [&]
        {
            changer = std::this_thread::get_id();
            list.Add(Sized("a", 1));
            list.RemoveAll();
        });
    thread.join();
    EXPECT_EQ(recorder.GetThreads(), (std::vector<std::thread::id>{changer, changer}));
    EXPECT_EQ(readers, (std::vector<std::future_status>{std::future_status::ready,
                                                        std::future_status::ready}));
}

TEST(CFileEntrysTest, MissingPathAddsNothing)
{
    CTestFolder folder;
    CFileEntrys list;
    CRecorder recorder(list);
    CFileEntrys::Problems problems;
    for (const bool recurse : {false, true})
        EXPECT_FALSE(list.AddPath(folder / "missing", recurse, &problems));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(recorder.GetEvents().empty());
}

TEST(CFileEntrysTest, WithoutRecursionAnItemIsOneEntryNamedByItsLastComponent)
{
    CTestFolder folder;
    folder.WriteFile("proj/a.txt", "12345");
    const std::chrono::sys_seconds written{std::chrono::seconds(1000000000)};
    fs::last_write_time(folder / "proj/a.txt", std::chrono::file_clock::from_sys(written));
    CFileEntrys list;
    EXPECT_TRUE(list.AddPath(folder / "proj", false));
    EXPECT_TRUE(list.AddPath(folder / "proj/a.txt", false));
    ASSERT_EQ(list.GetCount(), 2);
    const SFileEntry& proj = *list.GetAt(0);
    EXPECT_EQ(proj.strPath, folder / "proj");
    EXPECT_EQ(proj.strName, "proj");
    EXPECT_FALSE(proj.bIsFile);
    EXPECT_EQ(proj.dwSize, 0u);
    const SFileEntry& file = *list.GetAt(1);
    EXPECT_EQ(file.strPath, Native(folder / "proj/a.txt"));
    EXPECT_EQ(file.strName, "a.txt");
    EXPECT_TRUE(file.bIsFile);
    EXPECT_EQ(file.dwSize, 5u);
    EXPECT_EQ(file.time, 1000000000);
    EXPECT_EQ(list.GetTotalSize(), 5u);
}

// Run from inside the folder, as a user names items relative to where they
// stand; the working folder is restored however the test ends.
class CFileEntrysInFolderTest : public testing::Test
{
protected:
    CFileEntrysInFolderTest() { fs::current_path(m_folder.Path()); }
    ~CFileEntrysInFolderTest() override { fs::current_path(m_previous); }

    const fs::path m_previous = fs::current_path();
    CTestFolder m_folder;
};

TEST_F(CFileEntrysInFolderTest, RelativePathsAreMadeAbsolute)
{
    m_folder.WriteFile("proj/a.txt", "x");
    CFileEntrys list;
    // A trailing separator still names proj, not an empty last component.
    ASSERT_TRUE(list.AddPath(std::string("proj") + kHostSeparator, false));
    ASSERT_TRUE(list.AddPath(Native("proj/a.txt"), false));
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(0)->strPath, (fs::current_path() / "proj").string());
    EXPECT_EQ(list.GetAt(0)->strName, "proj");
    EXPECT_EQ(list.GetAt(1)->strPath, (fs::current_path() / "proj" / "a.txt").string());
    EXPECT_EQ(list.GetAt(1)->strName, "a.txt");
}

TEST_F(CFileEntrysInFolderTest, TheUsersSpellingOfAPathIsKept)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links cannot be made here: the C++ library does not make them on "
                    "Windows, and Wine only pretends to";
#else
    m_folder.WriteFile("proj/a.txt", "x");
    fs::create_directory_symlink(m_folder / "proj", m_folder.Path() / "alias");
    CFileEntrys list;
    ASSERT_TRUE(list.AddPath("proj/../proj/a.txt", false));
    ASSERT_TRUE(list.AddPath("alias/a.txt", false)); // a link on the way stays a link
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(0)->strPath, fs::current_path().string() + "/proj/../proj/a.txt");
    EXPECT_EQ(list.GetAt(1)->strPath, fs::current_path().string() + "/alias/a.txt");
#endif
}

TEST(CFileEntrysTest, TreeIsAddedDepthFirstWithNamesBelowTheParent)
{
    CTestFolder folder;
    folder.WriteFile("proj/a.txt", "aaa");
    folder.WriteFile("proj/sub/b.txt", "bbbbbbb");
    folder.WriteFile("proj/sub/deeper/c.txt", "");
    fs::create_directory(folder.Path() / "proj/empty");
    // Folders side by side are listed on two threads: their contents must
    // still follow each one.
    folder.WriteFile("proj/side/d.txt", "");
    folder.WriteFile("proj/side/deep/e.txt", "");
    CFileEntrys list;
    CRecorder recorder(list);
    ASSERT_TRUE(list.AddPath(folder / "proj", true));

    const std::vector<std::string> names = NamesOf(list);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              NativeSet({"proj", "proj/a.txt", "proj/sub", "proj/sub/b.txt", "proj/sub/deeper",
                         "proj/sub/deeper/c.txt", "proj/empty", "proj/side", "proj/side/d.txt",
                         "proj/side/deep", "proj/side/deep/e.txt"}));
    ASSERT_EQ(names.size(), 11u);
    // Depth first, each folder before its contents: what lies below a folder
    // follows it in one unbroken run.
    for (std::size_t i = 0; i < names.size(); ++i)
    {
        const std::string prefix = names[i] + kHostSeparator;
        std::size_t end = i + 1;
        while (end < names.size() && names[end].starts_with(prefix))
            ++end;
        for (std::size_t j = end; j < names.size(); ++j)
            EXPECT_FALSE(names[j].starts_with(prefix)) << names[j] << " strays from " << names[i];
    }
    for (int i = 0; i < list.GetCount(); ++i)
    {
        const SFileEntry& entry = *list.GetAt(i);
        EXPECT_EQ(entry.strPath, folder.Path().string() + kHostSeparator + entry.strName);
        EXPECT_EQ(entry.bIsFile, entry.strName.ends_with(".txt")) << entry.strName;
    }
    EXPECT_EQ(Find(list, Native("proj/sub/b.txt")).dwSize, 7u);
    EXPECT_EQ(list.GetTotalSize(), 10u);
    EXPECT_EQ(recorder.GetEvents().size(), 11u);
}

// A huge folder's names are described a few thousand at a time: every one
// must still go in, each once, with the folders among them entered.
TEST(CFileEntrysTest, AFolderOfThousandsOfNamesGoesInWhole)
{
    constexpr int kFiles = 4200;
    CTestFolder folder;
    for (int i = 0; i < kFiles; ++i)
        folder.WriteFile("big/f" + std::to_string(i), "");
    folder.WriteFile("big/sub/inner.txt", "x");
    CFileEntrys list;
    ASSERT_TRUE(list.AddPath(folder / "big", true));

    const std::vector<std::string> names = NamesOf(list);
    const std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(names.size(), std::size_t(kFiles + 3));
    EXPECT_EQ(unique.size(), names.size());
    EXPECT_TRUE(unique.count(Native("big/f4199")) == 1 &&
                unique.count(Native("big/sub/inner.txt")) == 1);
}

TEST(CFileEntrysTest, RefusedFolderStillHasItsContentsAdded)
{
    CTestFolder folder;
    folder.WriteFile("proj/subx/b.txt", "b");
    folder.WriteFile("proj/filex", "b");
    CPickyEntrys list;
    EXPECT_TRUE(list.AddPath(folder / "proj", true));
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"proj", Native("proj/subx/b.txt")}));
    // A file that is refused is a failure only when it was the item asked for.
    EXPECT_FALSE(list.AddPath(folder / "proj/filex", true));
}

TEST(CFileEntrysTest, TreeIsAddedUnderOneHoldOfTheLock)
{
    CTestFolder folder;
    folder.WriteFile("proj/a.txt", "a");
    folder.WriteFile("proj/b.txt", "b");
    CFileEntrys list;
    CRecorder recorder(list);
    // The count alone is read without the lock; the entries and their
    // total are not.
    std::vector<std::future<std::uint64_t>> readers;
    recorder.m_onEvent = [&]
    {
        readers.push_back(std::async(std::launch::async, [&] { return list.GetTotalSize(); }));
        EXPECT_EQ(readers.back().wait_for(100ms), std::future_status::timeout)
            << "another thread saw a tree half added";
    };
    ASSERT_TRUE(list.AddPath(folder / "proj", true));
    for (auto& reader : readers)
        EXPECT_EQ(reader.get(), 2u); // once the walk was done
}

TEST(CFileEntrysTest, LinksAreStoredAsLinksAndNeverEntered)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links cannot be made here: the C++ library does not make them on "
                    "Windows, and Wine only pretends to";
#else
    CTestFolder folder;
    folder.WriteFile("proj/a.txt", "12345");
    folder.WriteFile("outside/o.txt", "o");
    fs::create_directory_symlink(folder / "proj", folder.Path() / "proj/loop");
    fs::create_directory_symlink(folder / "outside", folder.Path() / "proj/out");
    fs::create_symlink(folder / "proj/a.txt", folder.Path() / "proj/file-link");
    CFileEntrys list;
    ASSERT_TRUE(list.AddPath(folder / "proj", true));
    const std::vector<std::string> names = NamesOf(list);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              NativeSet({"proj", "proj/a.txt", "proj/loop", "proj/out", "proj/file-link"}));
    for (const char* link : {"proj/loop", "proj/out", "proj/file-link"})
    {
        EXPECT_EQ(Find(list, Native(link)).chType, '2') << link;
        EXPECT_EQ(Find(list, Native(link)).dwSize, 0u) << link;
    }

    // Named by the user, a link is still a link.
    CFileEntrys alone;
    ASSERT_TRUE(alone.AddPath(folder / "proj/out", true));
    EXPECT_EQ(NamesOf(alone), (std::vector<std::string>{"out"}));
    EXPECT_EQ(alone.GetAt(0)->chType, '2');
#endif
}

TEST(CFileEntrysTest, LinksAndPipesAreStoredAndDevicesRefusedWithAReason)
{
#ifdef _WIN32
    GTEST_SKIP() << "pipes, device files and symbolic links are POSIX things";
#else
    CTestFolder folder;
    folder.WriteFile("proj/a.txt", "a");
    // Opening a pipe with no writer would wait for ever, so merely reaching
    // the end of this test shows it was never opened.
    ASSERT_EQ(::mkfifo((folder / "proj/pipe").c_str(), 0600), 0);
    fs::create_symlink(folder / "proj/gone", folder.Path() / "proj/dangling");
    fs::create_symlink("/dev/null", folder.Path() / "proj/null");

    // The pipe and the links are stored as what they are.
    CFileEntrys list;
    CFileEntrys::Problems problems;
    ASSERT_TRUE(list.AddPath(folder / "proj", true, &problems));
    const std::vector<std::string> names = NamesOf(list);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              NativeSet({"proj", "proj/a.txt", "proj/dangling", "proj/null", "proj/pipe"}));
    EXPECT_EQ(Find(list, Native("proj/pipe")).chType, '6');
    EXPECT_TRUE(problems.empty());

    EXPECT_FALSE(list.AddPath("/dev/null", true, &problems));
    EXPECT_EQ(problems, CFileEntrys::Problems{"Unable to process file [/dev/null], of type [character]"});
    EXPECT_EQ(list.GetCount(), 5);
#endif
}
