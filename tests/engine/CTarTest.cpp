#include "engine/CTar.h"
#include "codec/CCodecKind.h"
#include "codec/CDecoder.h"
#include "core/CGenericException.h"
#include "core/COsException.h"
#include "core/MessageBoxCodes.h"
#include "devices/CTarFileDevice.h"
#include "engine/CFileEntrys.h"
#include "engine/CWildCard.h"
#include "platform/PathStyle.h"
#include "support/CArchiveImage.h"
#include "support/ExpectRaise.h"
#include "support/CSmallDisk.h"
#include "support/CTestFolder.h"
#include "support/CUmaskScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace
{

// Records what the engine reports; ticks are only counted.
class CArchiveRecorder : public CEventHandler
{
public:
    explicit CArchiveRecorder(CTar& tar) { tar.Advise(this, &CArchiveRecorder::OnArchiveEvent); }
    ~CArchiveRecorder() override { UnadviseAll(); }

    int OnArchiveEvent(void* record)
    {
        const auto& event = *static_cast<const SArchiveEvent*>(record);
        if (event.nKind == TAR_EVENT_TICK)
            ++ticks;
        else
            events.push_back(event);
        return 0;
    }

    std::vector<SArchiveEvent> Of(int kind) const
    {
        std::vector<SArchiveEvent> found;
        for (const SArchiveEvent& event : events)
        {
            if (event.nKind == kind)
                found.push_back(event);
        }
        return found;
    }

    std::vector<std::string> Names(int kind) const
    {
        std::vector<std::string> names;
        for (const SArchiveEvent& event : Of(kind))
            names.push_back(event.strName);
        return names;
    }

    std::vector<SArchiveEvent> events;
    int ticks = 0;
};

// Cancels the engine's operation at the given tick, as a user's Cancel does.
class CCanceller : public CEventHandler
{
public:
    CCanceller(CTar& tar, int atTick) : m_atTick(atTick)
    {
        tar.Advise(this, &CCanceller::OnEvent);
    }
    ~CCanceller() override { UnadviseAll(); }

private:
    int OnEvent(void* record)
    {
        if (static_cast<SArchiveEvent*>(record)->nKind == TAR_EVENT_TICK && ++m_ticks == m_atTick)
            throw TAR_CANCEL;
        return 0;
    }

    const int m_atTick;
    int m_ticks = 0;
};

// Acts when a member's extraction starts, as another program may act on
// the destination between two members.
class CAtMemberStart : public CEventHandler
{
public:
    CAtMemberStart(CTar& tar, std::function<void(const fs::path&)> action)
        : m_action(std::move(action))
    {
        tar.Advise(this, &CAtMemberStart::OnEvent);
    }
    ~CAtMemberStart() override { UnadviseAll(); }

private:
    int OnEvent(void* record)
    {
        const auto* event = static_cast<SArchiveEvent*>(record);
        if (event->nKind == TAR_EVENT_EXTRACTED && event->dwDone == 0)
            m_action(event->strName);
        return 0;
    }

    std::function<void(const fs::path&)> m_action;
};

// A disk-file device that counts the records it reads.
class CCountingDevice : public CTarFileDevice
{
public:
    explicit CCountingDevice(int& reads) : m_reads(reads) {}
    bool ReadRecord(unsigned char* record) override
    {
        ++m_reads;
        return CTarFileDevice::ReadRecord(record);
    }
    std::uint32_t ReadRecords(unsigned char* records, std::uint32_t count) override
    {
        const std::uint32_t read = CTarFileDevice::ReadRecords(records, count);
        m_reads += static_cast<int>(read);
        return read;
    }

private:
    int& m_reads;
};

class CCountingTar : public CTar
{
public:
    int reads = 0;

protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string&, bool, bool) override
    {
        return std::make_unique<CCountingDevice>(reads);
    }
};

class CTarTest : public ::testing::Test
{
protected:
    std::string Archive(const CArchiveImage& image)
    {
        return m_folder.WriteFile("a.tar", image.Bytes());
    }

    std::string Native(const std::string& name) const
    {
        std::string native = name;
        for (char& c : native)
        {
            if (c == '/')
                c = kHostSeparator;
        }
        return native;
    }

    void ExtractAll(CTar& tar, const std::string& destination)
    {
        CWildCard all;
        all.AddSpec("*.*");
        const std::vector<std::uint32_t> none;
        tar.Extract(&all, &none, destination);
    }

    // Appends a small file "new.txt" to the open archive at path, then lists
    // the archive afresh and returns what that listing reported.
    std::vector<SArchiveEvent> AppendAndListAgain(const std::string& path)
    {
        CFileEntrys entries;
        entries.AddPath(m_folder.WriteFile("new.txt", "new"), false);
        m_tar.Write(entries, true, -1);
        CTar reader;
        CArchiveRecorder readerEvents(reader);
        reader.Open(path, 20, false);
        reader.List();
        return readerEvents.events;
    }

    void ExtractRows(CTar& tar, std::vector<std::uint32_t> rows, const std::string& destination)
    {
        const CWildCard none;
        tar.Extract(&none, &rows, destination);
    }

    CTestFolder m_folder;
    CTar m_tar;
    CArchiveRecorder m_recorder{m_tar};
};

std::uintmax_t SizeOf(const std::string& path)
{
    return fs::file_size(path);
}

// Seconds since 1970 of the item's last write.
std::int64_t TimeOf(const fs::path& path)
{
    const auto time = std::chrono::file_clock::to_sys(fs::last_write_time(path));
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

// Every bit of the item's mode, special ones included.
unsigned ModeOf(const fs::path& path)
{
    return static_cast<unsigned>(fs::symlink_status(path).permissions() & fs::perms::mask);
}

// Members with modes and times of their own; the folder comes before what
// goes into it, so writing those must not move its time.
struct SRestored
{
    const char* name;
    char type;
    std::uint32_t mode;
    std::uint32_t time;
};
const SRestored kRestored[] = {
    {"tree", '5', 0700, 1100000000},
    {"tree/run.sh", '0', 0755, 1200000000},
    {"tree/secret", '0', 0600, 1300000000},
    {"tree/note", '0', 0644, 1400000000},
    {"tree/frozen", '0', 0444, 1450000000},
    {"tree/setuid", '0', 04755, 1500000000},
    {"tree/shared", '5', 03777, 1550000000},
    {"tree/shared/inner", '0', 02664, 1560000000},
    {"plain", '0', 0640, 1000000000},
};

CArchiveImage RestoredImage()
{
    CArchiveImage image;
    for (const SRestored& member : kRestored)
        image.Member(member.name, member.type == '5' ? "" : member.name, member.type,
                     member.mode, member.time);
    return image.End();
}

// Each member of kRestored below root has its time and, less the umask,
// its permission bits and no others; on Windows only a member that nobody
// may write is read-only.
void ExpectRestored(const fs::path& root, unsigned umask, const std::string& how)
{
    for (const SRestored& member : kRestored)
    {
        const fs::path path = root / fs::path(member.name).make_preferred();
        EXPECT_EQ(TimeOf(path), member.time) << how << " " << member.name;
#ifdef _WIN32
        (void)umask;
        if (member.type != '5')
        {
            EXPECT_EQ((ModeOf(path) & 0200) == 0, (member.mode & 0222) == 0)
                << how << " " << member.name;
        }
#else
        EXPECT_EQ(ModeOf(path), member.mode & 0777 & ~umask) << how << " " << member.name;
#endif
    }
}

// Windows refuses to delete a read-only file, which would leave the tree
// behind.
void MakeWritable(const fs::path& root)
{
#ifdef _WIN32
    for (const auto& entry : fs::recursive_directory_iterator(root))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
#else
    (void)root;
#endif
}

} // namespace

// ----------------------------------------------------------------- listing

TEST_F(CTarTest, ListsEveryMemberWithItsSizeTimeAndType)
{
    m_tar.Open(Archive(CArchiveImage()
                           .File("a.txt", std::string(100, 'a'))
                           .Folder("dir")
                           .File("dir/b.txt", std::string(1024, 'b'))
                           .End()),
               20, false);
    m_tar.List();
    const auto listed = m_recorder.Of(TAR_EVENT_LISTED);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].strName, "a.txt");
    EXPECT_EQ(listed[0].dwTotal, 100u);
    EXPECT_EQ(listed[0].dwDone, 100u);
    EXPECT_EQ(listed[0].time, 1600000000u);
    EXPECT_EQ(listed[1].chType, '5');
    EXPECT_EQ(listed[2].strName, Native("dir/b.txt"));
    EXPECT_FALSE(m_tar.m_bEmpty);
    EXPECT_FALSE(m_tar.IsByteSwapped());
}

TEST_F(CTarTest, RefusesWhatIsNotAnArchive)
{
    const struct
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"300 bytes", std::string(300, 'x')},
        {"a text record", CArchiveImage().TextRecord("just some text").Bytes()},
    };
    for (const auto& test : cases)
    {
        CTar tar;
        tar.Open(m_folder.WriteFile("bad.tar", test.bytes), 20, false);
        try
        {
            tar.List();
            ADD_FAILURE() << test.what;
        }
        catch (const CGenericException& e)
        {
            EXPECT_EQ(e.GetText(), "This is not a valid tar file.") << test.what;
        }
    }
}

TEST_F(CTarTest, EmptyOrZeroArchivesListNothing)
{
    for (const std::string& bytes : {std::string(), std::string(512, '\0')})
    {
        CTar tar;
        CArchiveRecorder recorder(tar);
        tar.Open(m_folder.WriteFile("empty.tar", bytes), 20, false);
        tar.List();
        EXPECT_TRUE(recorder.Of(TAR_EVENT_LISTED).empty());
        EXPECT_TRUE(tar.m_bEmpty);
    }
}

TEST_F(CTarTest, TextAfterTheFirstMemberCountsTowardsTheEnd)
{
    m_tar.Open(Archive(CArchiveImage().File("a", "").TextRecord("text").File("b", "").End()), 20,
               false);
    m_tar.List();
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED), (std::vector<std::string>{"a", "b"}));
}

TEST_F(CTarTest, TheTerminatingRecordCountDecidesWhereTheArchiveEnds)
{
    const std::string path = Archive(CArchiveImage().File("a", "1").Zeros(3).File("b", "2").End());
    const struct
    {
        int terminating;
        std::vector<std::string> listed;
    } cases[] = {{10, {"a", "b"}}, {3, {"a"}}, {0, {}}};
    for (const auto& test : cases)
    {
        CTar tar;
        CArchiveRecorder recorder(tar);
        tar.m_settings.m_nTerminatingRecords = test.terminating;
        tar.Open(path, 20, false);
        tar.List();
        EXPECT_EQ(recorder.Names(TAR_EVENT_LISTED), test.listed) << "T = " << test.terminating;
        EXPECT_EQ(tar.m_bEmpty, test.listed.empty());
    }
}

TEST_F(CTarTest, AMemberWhoseDataIsMissingEndsTheListAndIsTheAppendPoint)
{
    const std::string path = Archive(CArchiveImage().File("a", "1").HeaderOnly("cut", 5000));
    m_tar.Open(path, 20, false);
    m_tar.List();
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED), std::vector<std::string>{"a"});

    // Appending lands on the cut member's header.
    const auto events = AppendAndListAgain(path);
    ASSERT_EQ(std::count_if(events.begin(), events.end(),
                            [](const SArchiveEvent& e) { return e.nKind == TAR_EVENT_LISTED; }),
              2);
    EXPECT_EQ(SizeOf(path), 1024u + 1024u + 1024u);
}

// Member data is read and swapped a piece at a time: every record of a
// member that spans pieces must come back in its own order.
TEST_F(CTarTest, ByteSwappedMembersExtractAsTheyWereWritten)
{
    std::string data(150 * 1024 + 3, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 13 % 253);
    CArchiveImage image;
    image.File("small", "odd").File("big", data).End();
    m_tar.Open(m_folder.WriteFile("s.tar", image.SwappedBytes()), 20, false);
    ExtractAll(m_tar, m_folder / "out");

    EXPECT_EQ(m_folder.ReadFile("out/small"), "odd");
    EXPECT_EQ(m_folder.ReadFile("out/big"), data);
}

TEST_F(CTarTest, GnuPaddingEndsTheScanAtTheFirstZeroRecord)
{
    const std::string path = Archive(CArchiveImage().File("a", std::string(100, 'a')).Zeros(18));
    m_tar.Open(path, 20, false);
    m_tar.List();
    // An append now overwrites the first zero record.
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("b", "b"), false);
    m_tar.Write(entries, true, -1);
    const std::string bytes = m_folder.ReadFile("a.tar");
    EXPECT_EQ(bytes.substr(1024, 1), "b");
}

TEST_F(CTarTest, ByteSwappedArchivesListTheSameMembers)
{
    CArchiveImage image;
    image.File("swapped.txt", std::string(700, 's')).Folder("d").End();
    m_tar.Open(m_folder.WriteFile("s.tar", image.SwappedBytes()), 20, false);
    m_tar.List();
    const auto listed = m_recorder.Of(TAR_EVENT_LISTED);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].strName, "swapped.txt");
    EXPECT_EQ(listed[0].dwTotal, 700u);
    EXPECT_TRUE(m_tar.IsByteSwapped());
}

TEST_F(CTarTest, ListingReadsOneRecordPerMember)
{
    CArchiveImage image;
    for (int i = 0; i < 1000; ++i)
        image.File("member" + std::to_string(i), std::string(1500, 'x'));
    image.End();
    CCountingTar tar;
    CArchiveRecorder recorder(tar);
    tar.Open(Archive(image), 20, false);
    tar.List();
    EXPECT_EQ(recorder.Of(TAR_EVENT_LISTED).size(), 1000u);
    EXPECT_LE(tar.reads, 1000 + tar.m_settings.m_nTerminatingRecords);

    // Appending scans the same way and reads no member data.
    tar.reads = 0;
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("extra", "x"), false);
    tar.Write(entries, true, -1);
    EXPECT_LE(tar.reads, 1000 + tar.m_settings.m_nTerminatingRecords);
}

TEST_F(CTarTest, OperationsNeedAnOpenArchive)
{
    CTar tar;
    CFileEntrys entries;
    const CWildCard specs;
    const std::vector<std::uint32_t> rows;
    for (auto operation :
         std::vector<std::function<void()>>{
             [&] { tar.List(); }, [&] { tar.Erase(); }, [&] { tar.Write(entries, true, -1); },
             [&] { tar.Extract(&specs, &rows, ""); }, [&] { tar.Eject(); }})
    {
        try
        {
            operation();
            ADD_FAILURE() << "no exception";
        }
        catch (const CGenericException& e)
        {
            EXPECT_EQ(e.GetText(), "Archive not open.");
        }
    }
}

// -------------------------------------------------------------- extracting

TEST_F(CTarTest, ExtractsFilesAndFoldersWithTheirEvents)
{
    m_tar.Open(Archive(CArchiveImage()
                           .File("a.txt", std::string(100, 'a'))
                           .Folder("dir")
                           .File("dir/b.txt", std::string(1024, 'b'))
                           .File("empty", "")
                           .End()),
               20, false);
    const std::string out = m_folder / "out";
    ExtractAll(m_tar, out);

    EXPECT_EQ(m_folder.ReadFile("out/a.txt"), std::string(100, 'a'));
    EXPECT_EQ(m_folder.ReadFile("out/dir/b.txt"), std::string(1024, 'b'));
    EXPECT_TRUE(fs::is_directory(m_folder.Path() / "out" / "dir"));
    EXPECT_EQ(SizeOf(m_folder / "out/empty"), 0u);
    const auto extracted = m_recorder.Of(TAR_EVENT_EXTRACTED);
    ASSERT_EQ(extracted.size(), 2u + 1u + 3u + 1u);
    EXPECT_EQ(extracted[0].strName, out + kHostSeparator + "a.txt");
    EXPECT_EQ(extracted[0].dwDone, 0u);
    EXPECT_EQ(extracted[1].dwDone, 100u);
    EXPECT_EQ(extracted[5].dwDone, 1024u);
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

// Small members are finished on a thread of their own and big ones where
// they are read: a name that comes again must still end with its last
// member, whichever way each went.
TEST_F(CTarTest, TheLastMemberOfANameIsTheOneThatStays)
{
    const std::string big(200 * 1024, 'B');
    CArchiveImage image;
    image.File("x", "small").File("x", big).File("y", big).File("y", "small");
    for (int i = 0; i < 50; ++i)
        image.File("filler" + std::to_string(i), "f");
    image.File("z", "small").File("z", big).End();
    m_tar.Open(Archive(image), 20, false);
    // Each member is then written beside the file and renamed over it.
    for (const char* name : {"out/x", "out/y", "out/z"})
        m_folder.WriteFile(name, "old");
    ExtractAll(m_tar, m_folder / "out");

    EXPECT_EQ(m_folder.ReadFile("out/x"), big);
    EXPECT_EQ(m_folder.ReadFile("out/y"), "small");
    EXPECT_EQ(m_folder.ReadFile("out/z"), big);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder / "out"), fs::directory_iterator()),
              53)
        << "no file left beside one it replaced";
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

TEST_F(CTarTest, ATrailingSeparatorOnTheDestinationChangesNothing)
{
    m_tar.Open(Archive(CArchiveImage().File("a.txt", "x").End()), 20, false);
    ExtractAll(m_tar, (m_folder / "out") + kHostSeparator);
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_EXTRACTED)[0].strName,
              (m_folder / "out") + kHostSeparator + "a.txt");
}

TEST_F(CTarTest, ExtractingByRowStopsAfterTheLastWantedMember)
{
    CArchiveImage image;
    for (int i = 0; i < 5; ++i)
        image.File("m" + std::to_string(i), std::string(600, static_cast<char>('0' + i)));
    image.End();
    CCountingTar tar;
    CArchiveRecorder recorder(tar);
    tar.Open(Archive(image), 20, false);
    ExtractRows(tar, {0, 2}, m_folder / "out");

    EXPECT_TRUE(fs::exists(m_folder.Path() / "out" / "m0"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "out" / "m1"));
    EXPECT_EQ(m_folder.ReadFile("out/m2"), std::string(600, '2'));
    // Three headers and the two data records of each extracted member.
    EXPECT_EQ(tar.reads, 3 + 2 + 2);
}

TEST_F(CTarTest, RowsCountOnlyCatalogueMembers)
{
    // A member of a type no writer uses has no catalogue row, so row 1 is
    // the file after it.
    m_tar.Open(
        Archive(CArchiveImage().File("first", "1").File("odd", "", 'Q').File("second", "2").End()),
        20, false);
    ExtractRows(m_tar, {1}, m_folder / "out");
    EXPECT_EQ(m_folder.ReadFile("out/second"), "2");
    EXPECT_FALSE(fs::exists(m_folder.Path() / "out" / "first"));
}

TEST_F(CTarTest, ExtractsByFileSpec)
{
    m_tar.Open(
        Archive(CArchiveImage().File("a.txt", "a").File("b.doc", "b").File("dir/c.TXT", "c").End()),
        20, false);
    CWildCard specs;
    specs.AddSpec("*.txt");
    const std::vector<std::uint32_t> none;
    m_tar.Extract(&specs, &none, m_folder / "out");
    EXPECT_TRUE(fs::exists(m_folder.Path() / "out" / "a.txt"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "out" / "b.doc"));
    EXPECT_TRUE(fs::exists(m_folder.Path() / "out" / "dir" / "c.TXT"));
}

TEST_F(CTarTest, ExtractionArgumentsAreChecked)
{
    m_tar.Open(Archive(CArchiveImage().File("a", "a").End()), 20, false);
    CWildCard specs;
    specs.AddSpec("*");
    const std::vector<std::uint32_t> rows{0};
    const struct
    {
        const CWildCard* specs;
        const std::vector<std::uint32_t>* rows;
        const char* text;
    } cases[] = {
        {nullptr, &rows, "Invalid parameters."},
        {&specs, nullptr, "Invalid parameters."},
        {&specs, &rows, "Must use either a file spec. or a file indexes to extract."},
    };
    for (const auto& test : cases)
    {
        try
        {
            m_tar.Extract(test.specs, test.rows, "");
            ADD_FAILURE() << test.text;
        }
        catch (const CGenericException& e)
        {
            EXPECT_EQ(e.GetText(), test.text);
        }
    }
}

TEST_F(CTarTest, UnsupportedMembersAreReportedAndSkipped)
{
    m_tar.Open(Archive(CArchiveImage()
                           .File("dev", "", '3')
                           .File("odd", "", 'Q')
                           .File("after", "still here")
                           .End()),
               20, false);
    const std::string out = m_folder / "out";
    ExtractAll(m_tar, out);
    const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].strMessage,
              "Unable to process file [" + out + kHostSeparator + "dev], of type [character]");
    EXPECT_NE(problems[1].strMessage.find("of type [unknown]"), std::string::npos);
    EXPECT_EQ(m_folder.ReadFile("out/after"), "still here");
}

TEST_F(CTarTest, NamesNeverLeaveTheDestination)
{
    m_tar.Open(Archive(CArchiveImage()
                           .File("../escaped", "bad")
                           .File("a/../../escaped2", "bad")
                           .File("/abs/inside", "good")
                           .File("next", "good")
                           .End()),
               20, false);
    const std::string out = m_folder / "out";
    ExtractAll(m_tar, out);

    EXPECT_FALSE(fs::exists(m_folder.Path() / "escaped"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "escaped2"));
    EXPECT_EQ(m_folder.ReadFile("out/abs/inside"), "good");
    EXPECT_EQ(m_folder.ReadFile("out/next"), "good");
    const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].strMessage, "Unable to process file [" + Native("../escaped") +
                                          "], its path leaves the destination folder");
}

TEST_F(CTarTest, LinksOnDiskAreNeverFollowedOutOfTheDestination)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links cannot be made here: the C++ library does not make them on "
                    "Windows, and Wine only pretends to";
#else
    const std::string out = m_folder / "out";
    fs::create_directories(out);
    fs::create_directories(m_folder.Path() / "outside");
    fs::create_directory_symlink(m_folder.Path() / "outside", fs::path(out) / "sub");
    m_folder.WriteFile("outside/target", "precious");
    fs::create_symlink(m_folder.Path() / "outside" / "target", fs::path(out) / "file");

    m_tar.Open(Archive(CArchiveImage().File("sub/x", "bad").File("file", "new contents").End()), 20,
               false);
    ExtractAll(m_tar, out);

    EXPECT_FALSE(fs::exists(m_folder.Path() / "outside" / "x"));
    EXPECT_EQ(m_folder.ReadFile("outside/target"), "precious");
    EXPECT_FALSE(fs::is_symlink(fs::path(out) / "file"));
    EXPECT_EQ(m_folder.ReadFile("out/file"), "new contents");
    ASSERT_EQ(m_recorder.Of(TAR_EVENT_PROBLEM).size(), 1u);
#endif
}

TEST_F(CTarTest, AFileThatCannotBeCreatedKeepsTheScanInStep)
{
    // A folder where the file should go: creating the file fails even for root.
    const std::string out = m_folder / "out";
    fs::create_directories(fs::path(out) / "taken");
    m_tar.Open(
        Archive(CArchiveImage().File("taken", std::string(2000, 'n')).File("next", "ok").End()), 20,
        false);
    ExtractAll(m_tar, out);
    const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].strMessage.rfind("Unable to process file [" + out, 0), 0u);
    EXPECT_EQ(m_folder.ReadFile("out/next"), "ok");
}

TEST_F(CTarTest, ByteSwappedMembersAreWrittenInTheNormalOrder)
{
    CArchiveImage image;
    image.File("data", "abcdefgh").End();
    m_tar.Open(m_folder.WriteFile("s.tar", image.SwappedBytes()), 20, false);
    ExtractAll(m_tar, m_folder / "out");
    EXPECT_EQ(m_folder.ReadFile("out/data"), "abcdefgh");
}

// Members past what 32 bits count, in bytes and in records (2 TiB is 2^32
// records): listed, passed over, and appended behind. Their data is a hole.
TEST_F(CTarTest, MembersOf4GiBAnd2TiBAreListedPassedOverAndAppendedBehind)
{
    for (const std::uint64_t huge : {5ull << 30, 2ull << 40})
    {
        SCOPED_TRACE(huge);
        const CTestFolder folder;
        const std::string path = folder / "huge.tar";
        folder.WriteFile("huge.tar", CArchiveImage::Header("huge", huge, '0'));
        std::error_code error;
        fs::resize_file(path, 512 + huge, error);
        if (error)
            GTEST_SKIP() << "no sparse file of " << huge << " bytes here: " << error.message();
        {
            std::ofstream out(path, std::ios::binary | std::ios::app);
            out << CArchiveImage().File("after", "tail").End().Bytes();
        }
        CTar tar;
        CArchiveRecorder events(tar);
        tar.Open(path, 20, false);
        tar.List();
        const auto listed = events.Of(TAR_EVENT_LISTED);
        ASSERT_EQ(listed.size(), 2u);
        EXPECT_EQ(listed[0].dwTotal, huge);
        EXPECT_EQ(listed[1].strName, "after");

        CWildCard after;
        after.AddSpec("after");
        const std::vector<std::uint32_t> none;
        tar.Extract(&after, &none, folder / "out");
        EXPECT_EQ(folder.ReadFile("out/after"), "tail");

        CFileEntrys entries;
        entries.AddPath(folder.WriteFile("new.txt", "new"), false);
        ASSERT_TRUE(tar.Write(entries, true, -1));
        events.events.clear();
        tar.List();
        EXPECT_EQ(events.Names(TAR_EVENT_LISTED),
                  (std::vector<std::string>{"huge", "after", "new.txt"}));
        EXPECT_TRUE(events.Of(TAR_EVENT_PROBLEM).empty());
    }
}

// ------------------------------------------- long names, extended headers

namespace
{

// A POSIX header whose prefix field holds the prefix, and its data.
std::string PrefixedMember(const std::string& prefix, const std::string& name,
                           const std::string& contents)
{
    std::string header = CArchiveImage::Header(name, contents.size(), '0');
    header.replace(345, prefix.size(), prefix);
    return header + contents + std::string(512 - contents.size(), '\0');
}

// Every file and folder below root, relative, sorted.
std::vector<std::string> TreeNames(const fs::path& root)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        names.push_back(fs::relative(entry.path(), root).generic_string());
    std::sort(names.begin(), names.end());
    return names;
}

// A pax record with its length counted.
std::string PaxRecord(const std::string& keyValue)
{
    std::size_t length = keyValue.size() + 3;
    length += std::to_string(length).size() - 1;
    return std::to_string(length) + " " + keyValue + "\n";
}

// An old-style sparse header whose one map entry puts 5 bytes at offset,
// in a file of realSize bytes.
std::string OldSparseHeader(const std::string& offset, const std::string& realSize)
{
    std::string header = CArchiveImage::Header("sparse", 5, 'S');
    header.replace(257, 8, "ustar  \0", 8);
    header.replace(386, 11, offset);
    header.replace(398, 11, "00000000005");
    header.replace(483, 11, realSize);
    return header;
}

} // namespace

TEST_F(CTarTest, LongNamesComeFromThePrefixGnuNameMembersAndExtendedHeaders)
{
    const std::string longName = std::string(120, 'l') + "/file.txt";
    const std::string path =
        m_folder.WriteFile("a.tar", PrefixedMember(std::string(130, 'p'), "in-prefix", "one") +
                                        CArchiveImage()
                                            .File("././@LongLink", longName + '\0', 'L')
                                            .File("cut-name", "two")
                                            .File("././@LongLink", "target", 'K')
                                            .File("pax", PaxRecord("path=" + longName + "2") +
                                                             PaxRecord("mtime=1700000000.5") +
                                                             PaxRecord("size=4") +
                                                             PaxRecord("comment=ignored"), 'x')
                                            .File("short", "four")
                                            .File("global", PaxRecord("path=nobody"), 'g')
                                            .File("plain", "five")
                                            .End()
                                            .Bytes());
    m_tar.Open(path, 20, false);
    m_tar.List();
    const auto listed = m_recorder.Of(TAR_EVENT_LISTED);
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0].strName, Native(std::string(130, 'p') + "/in-prefix"));
    EXPECT_EQ(listed[1].strName, Native(longName));
    EXPECT_EQ(listed[2].strName, Native(longName + "2"));
    EXPECT_EQ(listed[2].time, 1700000000u);
    EXPECT_EQ(listed[2].dwTotal, 4u);
    EXPECT_EQ(listed[3].strName, "plain");
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());

    ExtractAll(m_tar, m_folder / "out");
    EXPECT_EQ(m_folder.ReadFile("out/" + longName), "two");
    EXPECT_EQ(m_folder.ReadFile("out/" + longName + "2"), "four");
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

TEST_F(CTarTest, ADamagedExtendedHeaderIsOneProblemAndTheScanStaysInStep)
{
    for (const std::string& damaged :
         {std::string("99 path=x\n"), std::string("5 pa\n"),
          std::string("garbage")})
    {
        SCOPED_TRACE(damaged);
        m_recorder.events.clear();
        m_tar.Open(Archive(CArchiveImage()
                               .File("pax", damaged, 'x')
                               .File("own", "kept")
                               .File("next", "n")
                               .End()),
                   20, false);
        m_tar.List();
        EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED), (std::vector<std::string>{"own", "next"}));
        const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].strMessage,
                  "Unable to process file [own], its extended header is damaged");
        m_tar.Close();
    }
}

// A map that puts data past the file's end, goes back, or needs more than
// the stored data is one problem: the member is listed but never extracted,
// and the next member is read where it lies.
TEST_F(CTarTest, ADamagedSparseMapIsOneProblemAndTheScanStaysInStep)
{
    const std::string version0 = PaxRecord("GNU.sparse.size=100");
    const std::string version1 = PaxRecord("GNU.sparse.major=1") + PaxRecord("GNU.sparse.minor=0") +
                                 PaxRecord("GNU.sparse.name=sparse") +
                                 PaxRecord("GNU.sparse.realsize=100");
    const struct
    {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"map past the data",
         CArchiveImage().File("pax", version0 + PaxRecord("GNU.sparse.map=0,50,60,40"), 'x')
             .File("sparse", "short").Bytes()},
        {"offsets going back",
         CArchiveImage().File("pax", version0 + PaxRecord("GNU.sparse.offset=60") +
                                         PaxRecord("GNU.sparse.numbytes=5") +
                                         PaxRecord("GNU.sparse.offset=10") +
                                         PaxRecord("GNU.sparse.numbytes=5"), 'x')
             .File("sparse", "0123456789").Bytes()},
        {"map longer than the data",
         CArchiveImage().File("pax", version1, 'x')
             .File("GNUSparseFile.0/sparse", "3\n0\n5\n").Bytes()},
        {"old header past the end",
         OldSparseHeader("00000000200", "00000000100") + std::string("12345").append(507, '\0')},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        const std::string path =
            m_folder.WriteFile("a.tar", c.bytes + CArchiveImage().File("next", "n").End().Bytes());
        for (const bool extract : {false, true})
        {
            m_recorder.events.clear();
            m_tar.Open(path, 20, false);
            if (extract)
                ExtractAll(m_tar, m_folder / "out");
            else
                m_tar.List();
            m_tar.Close();
            if (extract)
                EXPECT_EQ(m_folder.ReadFile("out/next"), "n");
            else
                EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED),
                          (std::vector<std::string>{"sparse", "next"}));
            const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_EQ(problems[0].strMessage,
                      "Unable to process file [sparse], the map of its holes is damaged");
        }
        EXPECT_FALSE(fs::exists(m_folder / "out/sparse"));
    }
}

// What other writers put in that is no member, or no use, is passed over
// without a word: a volume label, a hard link whose header carries its
// target's size but no data, an extended header's time that is no number.
TEST_F(CTarTest, HeadersOfOtherWritersThatAreNoMembersListCleanly)
{
    m_tar.Open(Archive(CArchiveImage()
                           .File("Volume 1", "", 'V')
                           .File("file", "contents")
                           .HeaderOnly("hard", 8, '1')
                           .File("pax", PaxRecord("mtime=1748089464.951928467a"), 'x')
                           .File("after", "kept")
                           .File("acl", "user::rwx", 'A')
                           .End()),
               20, false);
    m_tar.List();
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED),
              (std::vector<std::string>{"file", "hard", "after"}));
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_LISTED)[1].dwTotal, 0u);
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_LISTED)[2].time, 1600000000u);
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

// Headers that no member follows are a problem, and a write appends over
// them: left in place, they would rename the first member appended.
TEST_F(CTarTest, NameHeadersWithoutTheirMemberAreAProblemAndTheAppendPoint)
{
    const std::string path = Archive(
        CArchiveImage().File("a", "1").File("././@LongLink", "stray-name", 'L').End());
    m_tar.Open(path, 20, false);
    m_tar.List();
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED), std::vector<std::string>{"a"});
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_PROBLEM),
              std::vector<std::string>{Native("././@LongLink")});

    std::vector<std::string> names;
    for (const SArchiveEvent& event : AppendAndListAgain(path))
        names.push_back(event.strName);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "new.txt"}));
}

TEST_F(CTarTest, NameHeadersClaimingMoreThanTheArchiveHoldsEndTheScan)
{
    for (const std::uint64_t claimed : {std::uint64_t{3000}, std::uint64_t{5} << 30})
    {
        SCOPED_TRACE(claimed);
        m_recorder.events.clear();
        m_tar.Open(Archive(CArchiveImage().File("a", "1").HeaderOnly("././@LongLink", claimed, 'L')
                               .Zeros(3)),
                   20, false);
        m_tar.List();
        EXPECT_EQ(m_recorder.Names(TAR_EVENT_LISTED), std::vector<std::string>{"a"});
        EXPECT_EQ(m_recorder.Of(TAR_EVENT_PROBLEM).size(), 1u);
        m_tar.Close();
    }
}

TEST_F(CTarTest, LongNamesNeverLeaveTheDestination)
{
    m_tar.Open(m_folder.WriteFile(
                   "a.tar", PrefixedMember("../..", "prefix-escape", "bad") +
                                CArchiveImage()
                                    .File("././@LongLink", "../gnu-escape", 'L')
                                    .File("harmless", "bad")
                                    .File("pax", PaxRecord("path=a/../../pax-escape"), 'x')
                                    .File("harmless2", "bad")
                                    .File("next", "good")
                                    .End()
                                    .Bytes()),
               20, false);
    // Deep enough that every escape would still land in the test's folder.
    ExtractAll(m_tar, m_folder / "x/y/out");
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_PROBLEM).size(), 3u);
    EXPECT_EQ(TreeNames(m_folder.Path()),
              (std::vector<std::string>{"a.tar", "x", "x/y", "x/y/out", "x/y/out/next"}));
}

namespace
{

// The name, mode and time of everything below root but what lies below
// skipped, root itself included.
std::vector<std::string> Surroundings(const fs::path& root, const fs::path& skipped)
{
    std::vector<std::string> seen;
    auto describe = [&](const fs::path& path)
    {
        const auto time = fs::last_write_time(path).time_since_epoch().count();
        seen.push_back(fs::relative(path, root).generic_string() + " " +
                       std::to_string(ModeOf(path)) + " " + std::to_string(time));
    };
    describe(root);
    for (auto it = fs::recursive_directory_iterator(root); it != fs::end(it); ++it)
    {
        if (it->path() == skipped)
            it.disable_recursion_pending();
        else
            describe(it->path());
    }
    std::sort(seen.begin(), seen.end());
    return seen;
}

} // namespace

// The system reads a name only up to a NUL, so a name that goes on after
// one is checked as what the system will see, or not taken at all.
TEST_F(CTarTest, NamesHoldingANulNeverLeaveTheDestination)
{
    const std::string nul(1, '\0');
    const fs::path destination = m_folder.Path() / "scratch" / "dest";
    fs::create_directories(destination);
    m_tar.Open(Archive(CArchiveImage()
                           .File("pax", PaxRecord("path=.." + nul + "/evil"), 'x')
                           .File("file", "bad")
                           .File("pax", PaxRecord("path=.." + nul + "/"), 'x')
                           .Member("folder", "", '5', 0700, 1000000000)
                           .File("pax", PaxRecord("path=a/.." + nul + "/.." + nul + "/deep"), 'x')
                           .File("deep", "bad")
                           .File("././@LongLink", ".." + nul + "/gnu-escape", 'L')
                           .File("gnu", "bad")
                           .End()),
               20, false);
    const auto before = Surroundings(m_folder.Path(), destination);
    ExtractAll(m_tar, destination.string());

    EXPECT_EQ(Surroundings(m_folder.Path(), destination), before);
    // An extended header holding such a name is damaged: its member keeps
    // its own name.
    EXPECT_EQ(TreeNames(destination), (std::vector<std::string>{"deep", "file", "folder"}));
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_PROBLEM),
              (std::vector<std::string>{"file", "folder", "deep", ".."}));
}

// Another program swaps a folder the extraction made for a link to one
// outside, between two of its members: the folder held for the member
// before it has gone, and the one reached again is a link, never followed.
TEST_F(CTarTest, AFolderSwappedForALinkBetweenItsMembersLeadsNowhere)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links cannot be made here: the C++ library does not make them on "
                    "Windows, and Wine only pretends to";
#else
    const fs::path out = m_folder.Path() / "out";
    const fs::path outside = m_folder.Path() / "outside";
    fs::create_directories(outside);
    const CAtMemberStart swapper(m_tar,
                                 [&](const fs::path& member)
                                 {
                                     if (member.filename() != "two")
                                         return;
                                     fs::remove_all(member.parent_path());
                                     fs::create_directory_symlink(outside, member.parent_path());
                                 });

    // "held/two" comes right after its neighbour; "earlier/two" after
    // another folder's member.
    m_tar.Open(Archive(CArchiveImage()
                           .File("held/one", "1")
                           .File("held/two", "2")
                           .File("earlier/one", "1")
                           .File("elsewhere/x", "x")
                           .File("earlier/two", "2")
                           .End()),
               20, false);
    ExtractAll(m_tar, out.string());

    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_PROBLEM),
              (std::vector<std::string>{(out / "held" / "two").string(),
                                        (out / "earlier" / "two").string()}));
    EXPECT_EQ(m_folder.ReadFile("out/elsewhere/x"), "x");
#endif
}

// --------------------------------------------------- links and FIFOs

#ifndef _WIN32
namespace
{

// The last-write time of the item itself, a link never followed.
std::int64_t OwnTimeOf(const fs::path& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

} // namespace
#endif

TEST_F(CTarTest, LinksAndFifosComeBackAsTheyWere)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links and FIFOs cannot be made here";
#else
    const CUmaskScope scope(022);
    const fs::path out = m_folder.Path() / "out";
    m_tar.Open(Archive(CArchiveImage()
                           .File("dir/file", "contents")
                           .Link("dir/relative", "file", '2', 1100000000)
                           .Link("absolute", "/no/such/place", '2', 1200000000)
                           .Link("dangling", "dir/gone")
                           .Link("dir/hard", "dir/file", '1')
                           .Member("pipe", "", '6', 0640, 1300000000)
                           .File("device", "", '3')
                           .Link("dir/later", "file")
                           .File("dir/later", "a file after a link of its name")
                           .End()),
               20, false);
    ExtractAll(m_tar, out.string());

    EXPECT_EQ(fs::read_symlink(out / "dir" / "relative"), "file");
    EXPECT_EQ(OwnTimeOf(out / "dir" / "relative"), 1100000000);
    EXPECT_EQ(fs::read_symlink(out / "absolute"), "/no/such/place");
    EXPECT_EQ(OwnTimeOf(out / "absolute"), 1200000000);
    EXPECT_EQ(fs::read_symlink(out / "dangling"), "dir/gone");
    EXPECT_TRUE(fs::equivalent(out / "dir" / "hard", out / "dir" / "file"));
    EXPECT_EQ(fs::hard_link_count(out / "dir" / "file"), 2u);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(out / "pipe")));
    EXPECT_EQ(ModeOf(out / "pipe"), 0640u);
    EXPECT_EQ(OwnTimeOf(out / "pipe"), 1300000000);
    EXPECT_FALSE(fs::exists(fs::symlink_status(out / "device")));
    EXPECT_EQ(m_folder.ReadFile("out/dir/later"), "a file after a link of its name");
    const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].strMessage, "Unable to process file [" + (out / "device").string() +
                                          "], of type [character]");
#endif
}

// Links the archive makes lead nowhere for the members after them, and a
// hard link names only a file this extraction made.
TEST_F(CTarTest, LinksInTheArchiveNeverLeadOutOfTheDestination)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links cannot be made here";
#else
    const fs::path destination = m_folder.Path() / "scratch" / "dest";
    const fs::path outside = m_folder.Path() / "outside";
    fs::create_directories(destination);
    fs::create_directories(outside);
    m_folder.WriteFile("outside/x", "precious");
    const std::string away = outside.string();
    m_tar.Open(Archive(CArchiveImage()
                           .Link("up", "..")
                           .File("up/x", "inside")
                           .Link("abs", away)
                           .File("abs/x", "inside")
                           .Link("same", away + "/x")
                           .File("same", "inside")
                           .Link("hard-out", "../outside/x", '1')
                           .Link("hard-abs", away + "/x", '1')
                           .Link("hard-unmade", "never", '1')
                           .File("hard-out", "inside")
                           .End()),
               20, false);
    const auto before = Surroundings(m_folder.Path(), destination);
    ExtractAll(m_tar, destination.string());

    EXPECT_EQ(Surroundings(m_folder.Path(), destination), before);
    EXPECT_EQ(m_folder.ReadFile("outside/x"), "precious");
    EXPECT_EQ(m_folder.ReadFile("scratch/dest/same"), "inside");
    EXPECT_EQ(m_folder.ReadFile("scratch/dest/hard-out"), "inside");
    // "up" and "abs" are folders by the time their links would be made.
    auto path = [&](const char* name) { return (destination / name).string(); };
    EXPECT_EQ(m_recorder.Names(TAR_EVENT_PROBLEM),
              (std::vector<std::string>{path("hard-out"), path("hard-abs"), path("hard-unmade"),
                                        path("up"), path("abs")}));
#endif
}

// ------------------------------------------------ times and permission bits

TEST_F(CTarTest, ExtractionRestoresTimesAndPermissionBitsUnderTheUmask)
{
    m_tar.Open(Archive(RestoredImage()), 20, false);
    std::vector<std::uint32_t> everyRow;
    for (std::uint32_t row = 0; row < std::size(kRestored); ++row)
        everyRow.push_back(row);
    for (const unsigned umask : {022u, 077u})
    {
        const CUmaskScope scope(umask);
        const std::string suffix = std::to_string(umask);
        ExtractAll(m_tar, m_folder / ("all" + suffix));
        ExtractRows(m_tar, everyRow, m_folder / ("rows" + suffix));
        ExpectRestored(m_folder.Path() / ("all" + suffix), umask, "by pattern");
        ExpectRestored(m_folder.Path() / ("rows" + suffix), umask, "by rows");
        MakeWritable(m_folder.Path());
    }
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

TEST_F(CTarTest, TheLastOfTwoFolderMembersOfOneNameDecides)
{
    const CUmaskScope scope(022);
    m_tar.Open(Archive(CArchiveImage()
                           .Member("a", "", '5', 0755, 1100000000)
                           .Member("a/b", "", '5', 0700, 1200000000)
                           .Member("a", "", '5', 0750, 1300000000)
                           .End()),
               20, false);
    ExtractAll(m_tar, m_folder / "out");
    EXPECT_EQ(TimeOf(m_folder.Path() / "out" / "a"), 1300000000);
    EXPECT_EQ(TimeOf(m_folder.Path() / "out" / "a" / "b"), 1200000000);
#ifndef _WIN32
    EXPECT_EQ(ModeOf(m_folder.Path() / "out" / "a"), 0750u);
#endif
}

TEST_F(CTarTest, AMemberWithoutAModeKeepsTheDefaultPermissionsAndGetsItsTime)
{
    const CUmaskScope scope(022);
    m_tar.Open(Archive(CArchiveImage()
                           .Member("dir", "", '5', CArchiveImage::kNoMode, 1100000000)
                           .Member("dir/file", "x", '0', CArchiveImage::kNoMode, 1200000000)
                           .End()),
               20, false);
    ExtractAll(m_tar, m_folder / "out");
    const fs::path out = m_folder.Path() / "out";
    EXPECT_EQ(TimeOf(out / "dir"), 1100000000);
    EXPECT_EQ(TimeOf(out / "dir" / "file"), 1200000000);
#ifndef _WIN32
    EXPECT_EQ(ModeOf(out / "dir"), 0755u);
    EXPECT_EQ(ModeOf(out / "dir" / "file"), 0644u);
#endif
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

// The destination is the user's folder: a member "./" names it, and its
// time and mode stay the user's.
TEST_F(CTarTest, TheDestinationKeepsItsOwnTimeAndMode)
{
    const CUmaskScope scope(022);
    const fs::path out = m_folder.Path() / "out";
    fs::create_directory(out);
    const auto before = fs::last_write_time(out);
    m_tar.Open(Archive(CArchiveImage().Member("./", "", '5', 0500, 1100000000).End()), 20, false);
    ExtractAll(m_tar, out.string());
    EXPECT_EQ(fs::last_write_time(out), before);
#ifndef _WIN32
    EXPECT_EQ(ModeOf(out), 0755u);
#endif
}

// A cancel or a failure leaves an extraction unfinished: its folders stay
// open to the user, for another try to fill.
TEST_F(CTarTest, AnExtractionCutShortLeavesItsFoldersWritable)
{
    const CUmaskScope scope(022);
    CArchiveImage image;
    image.Member("locked", "", '5', 0500, 1100000000);
    for (int i = 0; i < 20; ++i)
        image.File("locked/m" + std::to_string(i), "x");
    m_tar.Open(Archive(image.End()), 20, false);
    const CCanceller canceller(m_tar, 5);
    EXPECT_THROW(ExtractAll(m_tar, m_folder / "out"), int);
    const fs::path locked = m_folder.Path() / "out" / "locked";
    EXPECT_NE(TimeOf(locked), 1100000000);
#ifndef _WIN32
    EXPECT_EQ(ModeOf(locked), 0755u);
#endif
}

TEST_F(CTarTest, AFolderThatCannotTakeItsTimeIsOneProblemAndNothingIsFollowed)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links cannot be made here: the C++ library does not make them on "
                    "Windows, and Wine only pretends to";
#else
    const CUmaskScope scope(022);
    const fs::path out = m_folder.Path() / "out";
    const fs::path outside = m_folder.Path() / "outside";
    fs::create_directories(outside);
    fs::permissions(outside, fs::perms(0750), fs::perm_options::replace);
    const auto outsideTime = fs::last_write_time(outside);
    // Once "last" starts, "moved" is a link to a folder outside the
    // destination: what was meant for the folder must not reach that one.
    const fs::path moved = out / "moved";
    const CAtMemberStart swapper(m_tar,
                                 [&](const fs::path& member)
                                 {
                                     if (member.filename() != "last")
                                         return;
                                     fs::rename(moved, moved.string() + ".old");
                                     fs::create_directory_symlink(outside, moved);
                                 });

    m_tar.Open(Archive(CArchiveImage()
                           .Member("moved", "", '5', 0700, 1100000000)
                           .Member("kept", "", '5', 0700, 1200000000)
                           .Member("last", "x", '0', 0600, 1300000000)
                           .End()),
               20, false);
    ExtractAll(m_tar, out.string());

    const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].strName, (out / "moved").string());
    EXPECT_EQ(problems[0].strMessage.rfind("Unable to process file [" + (out / "moved").string() + "], ", 0),
              0u);
    EXPECT_EQ(ModeOf(outside), 0750u);
    EXPECT_EQ(fs::last_write_time(outside), outsideTime);
    EXPECT_EQ(TimeOf(out / "kept"), 1200000000);
    EXPECT_EQ(TimeOf(out / "last"), 1300000000);
    EXPECT_EQ(m_folder.ReadFile("out/last"), "x");
#endif
}

// ----------------------------------------------------------------- writing

TEST_F(CTarTest, WritingTwoFilesGivesTheExpectedLayout)
{
    const std::string path = m_folder / "new.tar";
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("src/f100", std::string(100, '1')), false);
    entries.AddPath(m_folder.WriteFile("src/f600", std::string(600, '6')), false);
    m_tar.Open(path, 20, false);
    EXPECT_TRUE(m_tar.Write(entries, true, -1));
    EXPECT_EQ(SizeOf(path), 3584u);

    const auto written = m_recorder.Of(TAR_EVENT_WRITTEN);
    ASSERT_EQ(written.size(), 1u + 1u + 1u + 2u);
    EXPECT_EQ(written[0].strName, "f100");
    EXPECT_EQ(written[0].dwDone, 0u);
    EXPECT_EQ(written[4].dwDone, 600u);

    // Appending one more file starts over the old end marker at 2560.
    CFileEntrys more;
    more.AddPath(m_folder.WriteFile("src/third", "3"), false);
    m_tar.Write(more, true, -1);
    EXPECT_EQ(m_folder.ReadFile("new.tar").substr(2560, 5), "third");
    EXPECT_EQ(SizeOf(path), 2560u + 1024u + 1024u);
}

TEST_F(CTarTest, RelativeAndAbsoluteNames)
{
    const std::string file = m_folder.WriteFile("src/x.txt", "x");
    for (const bool relative : {true, false})
    {
        CTar tar;
        CArchiveRecorder recorder(tar);
        CFileEntrys entries;
        entries.AddPath(file, false);
        tar.Open(m_folder / (relative ? "rel.tar" : "abs.tar"), 20, false);
        tar.Write(entries, relative, -1);
        const std::string stored = recorder.Of(TAR_EVENT_WRITTEN).at(0).strName;
        if (relative)
            EXPECT_EQ(stored, "x.txt");
        else
        {
            // Absolute names keep the path without its drive.
            const std::string native = fs::path(file).make_preferred().string();
            EXPECT_EQ(stored, native.substr(native.find(kHostSeparator)));
        }
    }
}

TEST_F(CTarTest, RefusedEntriesAreReportedAndAnAllRefusedWriteLeavesTheFileEmpty)
{
    CFileEntrys entries;
    SFileEntry tooLong(m_folder / std::string(120, 'n'));
    entries.Add(tooLong);
    entries.Add(SFileEntry(m_folder / "vanished"));
    const std::string path = m_folder / "empty.tar";
    m_tar.Open(path, 20, false);
    EXPECT_FALSE(m_tar.Write(entries, false, -1));
    EXPECT_EQ(SizeOf(path), 0u);
    const auto problems = m_recorder.Of(TAR_EVENT_PROBLEM);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].strMessage.find(std::string(120, 'n')), std::string::npos);
    EXPECT_NE(problems[1].strMessage.find("vanished"), std::string::npos);
}

TEST_F(CTarTest, TheIndexFileGoesOnlyIntoAnEmptyArchive)
{
    const std::string index = m_folder.WriteFile("tmp/vk123.tmp", "a, 1\r\n");
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("src/a", "a"), false);
    SFileEntry indexEntry(index);
    indexEntry.strName = "index.txt";
    entries.Add(indexEntry, 0);

    const std::string path = m_folder / "i.tar";
    m_tar.Open(path, 20, false);
    m_tar.Write(entries, false, 0);
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_WRITTEN).front().strName, "index.txt");
    m_recorder.events.clear();
    m_tar.Write(entries, false, 0);
    for (const auto& event : m_recorder.Of(TAR_EVENT_WRITTEN))
        EXPECT_NE(event.strName, "index.txt");
}

TEST_F(CTarTest, FoldersAreWrittenWithoutData)
{
    fs::create_directories(m_folder.Path() / "src" / "tree" / "empty");
    m_folder.WriteFile("src/tree/file", std::string(513, 'f'));
    CFileEntrys entries;
    entries.AddPath(m_folder / "src/tree", true);
    m_tar.Open(m_folder / "t.tar", 20, false);
    m_tar.Write(entries, true, -1);
    CTar reader;
    CArchiveRecorder listing(reader);
    reader.Open(m_folder / "t.tar", 20, false);
    reader.List();
    const auto listed = listing.Of(TAR_EVENT_LISTED);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].strName, "tree");
    EXPECT_EQ(listed[0].chType, '5');
    EXPECT_EQ(SizeOf(m_folder / "t.tar"), 512u * (1 + 1 + 1 + 2 + 2));
}

// A pipe is stored as one, never read; a device is refused.
TEST_F(CTarTest, PipesAreStoredWithoutDataAndDevicesRefused)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no named pipes in the file system";
#else
    const std::string fifo = m_folder / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CFileEntrys entries;
    entries.Add(SFileEntry(fifo));
    entries.Add(SFileEntry("/dev/null"));
    m_tar.Open(m_folder / "f.tar", 20, false);
    EXPECT_TRUE(m_tar.Write(entries, true, -1));
    ASSERT_EQ(m_recorder.Of(TAR_EVENT_PROBLEM).size(), 1u);
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_PROBLEM)[0].strMessage,
              "Unable to process file [/dev/null], of type [character]");
    const auto written = m_recorder.Of(TAR_EVENT_WRITTEN);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].chType, '6');
    EXPECT_EQ(SizeOf(m_folder / "f.tar"), 512u * 3);
#endif
}

TEST_F(CTarTest, DiskArchivesAreWrittenInTheStandardLayoutWhateverTheSgiSetting)
{
    m_tar.m_settings.m_bSgiFormat = 1;
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("src/a", "a"), false);
    m_tar.Open(m_folder / "sgi.tar", 20, false);
    m_tar.Write(entries, true, -1);
    EXPECT_FALSE(m_tar.IsByteSwapped());
    CTar reader;
    reader.Open(m_folder / "sgi.tar", 20, false);
    reader.List();
    EXPECT_FALSE(reader.IsByteSwapped());
}

TEST_F(CTarTest, EraseLeavesAnEmptyArchive)
{
    const std::string path = Archive(CArchiveImage().File("a", "a").End());
    m_tar.Open(path, 20, false);
    m_tar.Erase();
    EXPECT_TRUE(m_tar.m_bEmpty);
    EXPECT_EQ(SizeOf(path), 0u);
    m_tar.List();
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_LISTED).empty());
}

TEST_F(CTarTest, ACancelFromATickLeavesTheOperationAtOnce)
{
    CArchiveImage image;
    for (int i = 0; i < 20; ++i)
        image.File("m" + std::to_string(i), "x");
    m_tar.Open(Archive(image.End()), 20, false);
    const CCanceller canceller(m_tar, 5);
    EXPECT_THROW(ExtractAll(m_tar, m_folder / "out"), int);
    EXPECT_FALSE(fs::exists(m_folder.Path() / "out" / "m10"));
}

TEST_F(CTarTest, AnArchiveThatEndsInsideAMemberLeavesNoPieceOfIt)
{
    // The header claims 4 GiB - 1 bytes; the archive holds 300 records of
    // it, more than the extraction gathers before writing. What stood under
    // the name before stays; a new file goes again.
    const std::string path = m_folder.WriteFile(
        "cut.tar", CArchiveImage::Header("big", 0xFFFFFFFF, '0') + std::string(300 * 512, 'd'));
    m_folder.WriteFile("old/big", "the user's own");
    for (const char* folder : {"old", "new"})
    {
        CTar tar;
        CArchiveRecorder recorder(tar);
        tar.Open(path, 20, false);
        ExtractAll(tar, m_folder / folder);
        const auto problems = recorder.Of(TAR_EVENT_PROBLEM);
        ASSERT_EQ(problems.size(), 1u) << folder;
        EXPECT_NE(problems[0].strMessage.find("the archive ends before its data does"),
                  std::string::npos);
        EXPECT_EQ(fs::directory_iterator(m_folder / folder) == fs::directory_iterator(),
                  std::string(folder) == "new");
    }
    EXPECT_EQ(m_folder.ReadFile("old/big"), "the user's own");
}

// ------------------------------------------------------ many small members

namespace
{

// The contents of the i-th of many small members: 0 to 1 500 bytes, so that
// headers and data fall across every point of the pieces the disk device
// reads and writes in.
std::string SmallContents(int i)
{
    return std::string(static_cast<std::size_t>(i * 37 % 1501), static_cast<char>('a' + i % 26));
}

} // namespace

TEST_F(CTarTest, ListingManySmallMembersReportsEachAndAppendsAfterTheLast)
{
    constexpr int kCount = 600;
    CArchiveImage image;
    for (int i = 0; i < kCount; ++i)
        image.File("m" + std::to_string(i), SmallContents(i));
    const std::size_t members = image.Bytes().size();
    // Whole members with and without an end marker, then a cut one: its data
    // runs past the end of the file.
    const std::string whole = Archive(CArchiveImage(image).End());
    const std::string unmarked = m_folder.WriteFile("unmarked.tar", image.Bytes());
    const std::string cut = m_folder.WriteFile(
        "cut.tar", image.Bytes() + CArchiveImage::Header("cut", 5000, '0') + std::string(1000, 'c'));

    for (const std::string& path : {whole, unmarked, cut})
    {
        CTar tar;
        CArchiveRecorder recorder(tar);
        tar.Open(path, 20, false);
        tar.List();
        const auto listed = recorder.Of(TAR_EVENT_LISTED);
        ASSERT_EQ(listed.size(), std::size_t{kCount}) << path;
        // Only the cut member is a problem; a missing end marker is not.
        const auto problems = recorder.Of(TAR_EVENT_PROBLEM);
        ASSERT_EQ(problems.size(), path == cut ? 1u : 0u) << path;
        if (path == cut)
        {
            EXPECT_EQ(problems[0].strName, "cut");
        }
        for (int i = 0; i < kCount; ++i)
        {
            EXPECT_EQ(listed[i].strName, "m" + std::to_string(i));
            EXPECT_EQ(listed[i].dwTotal, SmallContents(i).size());
        }
        // The append point is the end marker, or the cut member's header.
        CFileEntrys entries;
        entries.AddPath(m_folder.WriteFile("new", "n"), false);
        EXPECT_TRUE(tar.Write(entries, true, -1));
        tar.Close();
        EXPECT_EQ(SizeOf(path), members + 1024u + 1024u) << path;
        EXPECT_EQ(m_folder.ReadFile(fs::path(path).filename().string()).substr(members, 4),
                  std::string("new\0", 4));
    }
}

TEST_F(CTarTest, ACancelMidwayThroughAWriteLeavesTheArchiveAsItWas)
{
    constexpr int kCount = 400;
    CFileEntrys entries;
    for (int i = 0; i < kCount; ++i)
        entries.AddPath(m_folder.WriteFile("src/m" + std::to_string(i), SmallContents(i)), false);
    CFileEntrys first;
    first.AddPath(m_folder.WriteFile("first", "1"), false);
    const std::string path = m_folder / "new.tar";
    {
        CTar writer;
        writer.Open(path, 20, false);
        const CCanceller canceller(writer, 700);
        EXPECT_THROW(writer.Write(entries, true, -1), int);
        EXPECT_FALSE(writer.IsOpen());
    }
    EXPECT_FALSE(fs::exists(path)) << "a new archive goes";

    m_tar.Open(path, 20, false);
    ASSERT_TRUE(m_tar.Write(first, true, -1));
    const std::string before = m_folder.ReadFile("new.tar");
    {
        const CCanceller canceller(m_tar, 700);
        EXPECT_THROW(m_tar.Write(entries, true, -1), int);
    }
    EXPECT_EQ(m_folder.ReadFile("new.tar"), before) << "an append is cut back";
    m_tar.List();
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_LISTED).size(), 2u) << "by the cancelled write, then alone";
    EXPECT_TRUE(m_recorder.Of(TAR_EVENT_PROBLEM).empty());
}

// A disk whose records past the first few cannot be read, as a bad sector
// gives them: the device raises the system's error.
class CBadSectorTar : public CTar
{
    class CBadSectorDevice : public CTarFileDevice
    {
    public:
        bool ReadRecord(unsigned char* record) override { return ReadRecords(record, 1) == 1; }
        std::uint32_t ReadRecords(unsigned char* records, std::uint32_t count) override
        {
            if (m_nRead + count > kGoodRecords)
                throw COsException(ERROR_IO_DEVICE);
            const std::uint32_t read = CTarFileDevice::ReadRecords(records, count);
            m_nRead += read;
            return read;
        }

    private:
        static constexpr std::uint32_t kGoodRecords = 3;
        std::uint32_t m_nRead = 0;
    };

protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string&, bool, bool) override
    {
        return std::make_unique<CBadSectorDevice>();
    }
};

// An error is never the archive's end: the listing fails with it, and an
// append, which would have gone over the members after it, writes nothing.
TEST_F(CTarTest, AReadErrorFailsTheOperationAndAnAppendWritesNothing)
{
    CArchiveImage image;
    for (int i = 0; i < 6; ++i)
        image.File("m" + std::to_string(i), "data");
    const std::string path = Archive(image.End());
    const std::string before = m_folder.ReadFile("a.tar");
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("new.txt", "new"), false);

    CBadSectorTar tar;
    tar.Open(path, 20, false);
    ExpectOsError(ERROR_IO_DEVICE, [&] { tar.List(); });
    ExpectOsError(ERROR_IO_DEVICE, [&] { tar.Write(entries, true, -1); });
    EXPECT_TRUE(m_folder.ReadFile("a.tar") == before);
}

// A file that was there before, empty, is the user's: a failed first write
// leaves it as it was instead of removing it.
TEST_F(CTarTest, ACancelledWriteToAnEmptyFileKeepsTheFile)
{
    CFileEntrys entries;
    for (int i = 0; i < 400; ++i)
        entries.AddPath(m_folder.WriteFile("src/m" + std::to_string(i), SmallContents(i)), false);
    for (const char* name : {"empty.tar", "empty.tar.gz"})
    {
        SCOPED_TRACE(name);
        const std::string path = m_folder.WriteFile(name, "");
        CTar writer;
        writer.Open(path, 20, false);
        {
            const CCanceller canceller(writer, 700);
            EXPECT_THROW(writer.Write(entries, true, -1), int);
        }
        writer.Close();
        ASSERT_TRUE(fs::exists(path));
        EXPECT_EQ(fs::file_size(path), 0u);
    }
}

// --------------------------------------------- failures leave things whole

namespace
{
constexpr std::uint64_t kSmallDisk = 1024 * 1024;
const std::string kTooBig(3 * 1024 * 1024, 'b');
} // namespace

TEST_F(CTarTest, ExtractionOntoAFullDiskKeepsWhatItWouldReplace)
{
    CArchiveImage image;
    image.File("big", kTooBig).File("fresh", kTooBig).File("after.txt", "after").End();
    m_tar.Open(Archive(image), 20, false);
    const CSmallDisk disk(m_folder.Path() / "disk", kSmallDisk);
    m_folder.WriteFile("disk/big", "the user's own");

    if (!disk.Run([&] { ExtractAll(m_tar, disk.Path().string()); }))
        GTEST_SKIP() << "no way to make a small disk here";
    EXPECT_EQ(m_recorder.Of(TAR_EVENT_PROBLEM).size(), 2u);
    EXPECT_EQ(m_folder.ReadFile("disk/big"), "the user's own");
    EXPECT_EQ(m_folder.ReadFile("disk/after.txt"), "after");
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), fs::directory_iterator()), 2)
        << "no piece of a member, no file written beside";
}

// Small members are written behind the reading, on a thread of their own:
// the disk runs full there, and each member it refuses must still be told
// of and leave nothing behind.
TEST_F(CTarTest, SmallMembersThatFillTheDiskAreEachToldOfAndRemoved)
{
    constexpr int kCount = 30;
    const std::string contents(60 * 1024, 's');
    CArchiveImage image;
    for (int i = 0; i < kCount; ++i)
        image.File("m" + std::to_string(i), contents);
    m_tar.Open(Archive(image.End()), 20, false);
    const CSmallDisk disk(m_folder.Path() / "disk", kSmallDisk);

    if (!disk.Run([&] { ExtractAll(m_tar, disk.Path().string()); }))
        GTEST_SKIP() << "no way to make a small disk here";
    std::set<std::string> refused;
    for (const SArchiveEvent& problem : m_recorder.Of(TAR_EVENT_PROBLEM))
        refused.insert(problem.strName);
    for (int i = 0; i < kCount; ++i)
    {
        const std::string name = "m" + std::to_string(i);
        SCOPED_TRACE(name);
        if (refused.count(disk / name) != 0)
        {
            EXPECT_FALSE(fs::exists(disk.Path() / name));
        }
        else
        {
            EXPECT_EQ(m_folder.ReadFile("disk/" + name), contents);
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), fs::directory_iterator()),
              kCount - static_cast<std::ptrdiff_t>(refused.size()));
}

TEST_F(CTarTest, AWriteThatFillsTheDiskLeavesTheArchiveAsItWas)
{
    CFileEntrys small;
    small.AddPath(m_folder.WriteFile("small", "s"), false);
    CFileEntrys big;
    big.AddPath(m_folder.WriteFile("big", kTooBig), false);
    const CSmallDisk disk(m_folder.Path() / "disk", kSmallDisk);
    const std::string path = disk / "a.tar";
    std::string before;

    const bool ran = disk.Run(
        [&]
        {
            m_tar.Open(path, 20, false);
            EXPECT_THROW(m_tar.Write(big, true, -1), CException);
            EXPECT_FALSE(fs::exists(path)) << "a new archive goes";
            m_tar.Open(path, 20, false);
            ASSERT_TRUE(m_tar.Write(small, true, -1));
            before = m_folder.ReadFile("disk/a.tar");
            EXPECT_THROW(m_tar.Write(big, true, -1), CException);
            EXPECT_EQ(m_folder.ReadFile("disk/a.tar"), before) << "an append is cut back";
            m_tar.OpenNew(path);
            EXPECT_THROW(m_tar.Write(big, true, -1), CException);
        });
    if (!ran)
        GTEST_SKIP() << "no way to make a small disk here";
    EXPECT_EQ(m_folder.ReadFile("disk/a.tar"), before) << "a new archive in its place goes";
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), fs::directory_iterator()), 1);
    m_tar.Close();
}

// Members read before a cancel may still wait to be written on the
// extraction's second thread: each must be finished whole, and nothing of
// the member the cancel cut may stay.
TEST_F(CTarTest, ACancelFinishesEveryMemberReadBeforeIt)
{
    constexpr int kCount = 200;
    CArchiveImage image;
    for (int i = 0; i < kCount; ++i)
        image.File("m" + std::to_string(i), std::string(100 + i, static_cast<char>('a' + i % 26)));
    m_tar.Open(Archive(image.End()), 20, false);
    {
        const CCanceller canceller(m_tar, 150);
        EXPECT_THROW(ExtractAll(m_tar, m_folder / "out"), int);
    }
    const auto present =
        std::distance(fs::directory_iterator(m_folder / "out"), fs::directory_iterator());
    for (int i = 0; i < present; ++i)
        EXPECT_EQ(m_folder.ReadFile("out/m" + std::to_string(i)),
                  std::string(100 + i, static_cast<char>('a' + i % 26)));
    const auto extracted = m_recorder.Of(TAR_EVENT_EXTRACTED);
    const auto begun = std::count_if(extracted.begin(), extracted.end(),
                                     [](const SArchiveEvent& e) { return e.dwDone == 0; });
    EXPECT_GT(present, 0);
    EXPECT_TRUE(begun == present || begun == present + 1)
        << "every member begun is finished, but the one the cancel cut";
}

TEST_F(CTarTest, ACancelInsideAMemberKeepsTheFileItWouldReplace)
{
    CArchiveImage image;
    m_tar.Open(Archive(image.File("big", kTooBig).End()), 20, false);
    m_folder.WriteFile("out/big", "the user's own");
    {
        // The member's data is read in 48 pieces, a tick before each.
        const CCanceller canceller(m_tar, 20);
        EXPECT_THROW(ExtractAll(m_tar, m_folder / "out"), int);
    }
    EXPECT_EQ(m_folder.ReadFile("out/big"), "the user's own");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder / "out"), fs::directory_iterator()), 1);
}

// ------------------------------------------------------ compressed archives

namespace
{

struct SCompressedCase
{
    ECodecKind kind;
    const char* name; // the archive's name
    ECodecKind asked; // what the run asks for, whatever the name says
};

const SCompressedCase kCompressedCases[] = {
    {ECodecKind::Gzip, "a.tar.gz", ECodecKind::None},
    {ECodecKind::Bzip2, "a.tbz2", ECodecKind::None},
    {ECodecKind::Xz, "a.txz", ECodecKind::None},
    {ECodecKind::Zstd, "a.tar.zst", ECodecKind::None},
    {ECodecKind::Zstd, "plain-name.tar", ECodecKind::Zstd},
};

// Text of many lines, as most archived files hold, so that it compresses.
std::string TextContents(int lines, int seed)
{
    std::string text;
    for (int i = 0; i < lines; ++i)
        text +=
            "line " + std::to_string(i * 7919 + seed) + " of file " + std::to_string(seed) + "\n";
    return text;
}

ECodecKind KindOfFile(const std::string& bytes)
{
    return CCodecKind::Detect(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

} // namespace

// A new archive takes the kind its name (or the run) asks for; it appends,
// lists and extracts like a plain one, and a cancelled append leaves the
// file byte for byte with nothing beside it.
TEST_F(CTarTest, CompressedArchivesOfEveryKindAreWrittenAppendedAndReadBack)
{
    for (const SCompressedCase& c : kCompressedCases)
    {
        if (!CCodecKind::IsAvailable(c.kind))
            continue;
        SCOPED_TRACE(c.name);
        const CTestFolder folder;
        CFileEntrys first;
        first.AddPath(folder.WriteFile("src/one.txt", TextContents(2000, 1)), false);
        first.AddPath(folder.WriteFile("src/two.txt", TextContents(10, 2)), false);
        CFileEntrys more;
        more.AddPath(folder.WriteFile("src/three.txt", TextContents(500, 3)), false);
        const std::string path = folder / c.name;
        {
            CTar cancelled;
            cancelled.m_settings.m_compression = c.asked;
            cancelled.Open(path, 20, false);
            const CCanceller canceller(cancelled, 20);
            EXPECT_THROW(cancelled.Write(first, true, -1), int);
        }
        EXPECT_FALSE(fs::exists(path)) << "a new archive goes";
        {
            CTar tar;
            CArchiveRecorder events(tar);
            tar.m_settings.m_compression = c.asked;
            tar.Open(path, 20, false);
            ASSERT_TRUE(tar.Write(first, true, -1));
            EXPECT_EQ(KindOfFile(folder.ReadFile(c.name)), c.kind);
            ASSERT_TRUE(tar.Write(more, true, -1));
            const std::string before = folder.ReadFile(c.name);
            {
                const CCanceller canceller(tar, 20);
                EXPECT_THROW(tar.Write(first, true, -1), int);
            }
            EXPECT_TRUE(folder.ReadFile(c.name) == before);
            EXPECT_EQ(
                std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2);
            EXPECT_TRUE(events.Of(TAR_EVENT_PROBLEM).empty());
        }
        CTar reader;
        CArchiveRecorder events(reader);
        reader.Open(path, 20, false);
        reader.List();
        EXPECT_EQ(events.Names(TAR_EVENT_LISTED),
                  (std::vector<std::string>{"one.txt", "two.txt", "three.txt"}));
        ExtractAll(reader, folder / "out");
        EXPECT_TRUE(events.Of(TAR_EVENT_PROBLEM).empty());
        EXPECT_EQ(folder.ReadFile("out/three.txt"), TextContents(500, 3));
        EXPECT_EQ(folder.ReadFile("out/one.txt"), TextContents(2000, 1));

        reader.Erase();
        EXPECT_EQ(KindOfFile(folder.ReadFile(c.name)), c.kind) << "an empty archive of its kind";
        events.events.clear();
        reader.List();
        EXPECT_TRUE(events.events.empty());
    }
}

// While one engine holds an archive, another lists it but may not write
// it, until the first lets go; a new archive written over a file takes its
// place only when whole, and what the file held does not choose its kind.
TEST_F(CTarTest, OneWriterAtATimeAndANewArchiveReplacesTheOldOnlyWhole)
{
    const struct
    {
        const char* name;
        const char* otherKind; // the old archive, written under this name first
    } cases[] = {{"a.tar", "old.tar.gz"}, {"a.tar.gz", "old.tar"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CTestFolder folder;
        CFileEntrys entries;
        entries.AddPath(folder.WriteFile("src/one.txt", TextContents(3000, 1)), false);
        const std::string path = folder / c.name;
        {
            CTar writer;
            writer.Open(folder / c.otherKind, 20, false);
            ASSERT_TRUE(writer.Write(entries, true, -1));
        }
        fs::rename(folder / c.otherKind, path);
        const std::string before = folder.ReadFile(c.name);
        CTar holder;
        holder.Open(path, 20, false);
        const auto folderHolds = [&] {
            return std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator());
        };

        CTar second;
        CArchiveRecorder events(second);
        second.Open(path, 20, false);
        second.List();
        EXPECT_EQ(events.Names(TAR_EVENT_LISTED), std::vector<std::string>{"one.txt"});
        ExpectMessage(CTarDevice::kInUse, [&] { second.Write(entries, true, -1); });
        ExpectMessage(CTarDevice::kInUse, [&] { second.Erase(); });
        ExpectMessage(CTarDevice::kInUse, [&] { second.OpenNew(path); });
        EXPECT_TRUE(folder.ReadFile(c.name) == before);

        holder.Close();
        second.OpenNew(path);
        {
            const CCanceller canceller(second, 5);
            EXPECT_THROW(second.Write(entries, true, -1), int);
        }
        EXPECT_TRUE(folder.ReadFile(c.name) == before);
        EXPECT_EQ(folderHolds(), 2) << "nothing left beside it";

        second.OpenNew(path);
        ASSERT_TRUE(second.Write(entries, true, -1));
        EXPECT_EQ(KindOfFile(folder.ReadFile(c.name)), CCodecKind::FromName(c.name));
        EXPECT_EQ(folderHolds(), 2);
        events.events.clear();
        second.List();
        EXPECT_EQ(events.Names(TAR_EVENT_LISTED), std::vector<std::string>{"one.txt"});
    }
}

// Damaged or cut data ends the archive where it starts, after the members
// before it, with one problem that says so; a member it cuts is not left
// behind. With nothing before it the archive cannot be opened at all.
TEST_F(CTarTest, DamagedCompressedDataEndsTheArchiveWithItsMessage)
{
    CFileEntrys entries;
    for (int i = 0; i < 8; ++i)
        entries.AddPath(m_folder.WriteFile("src/f" + std::to_string(i), TextContents(20000, i)),
                        false);
    const std::string path = m_folder / "whole.tar.gz";
    {
        CTar writer;
        writer.Open(path, 20, false);
        ASSERT_TRUE(writer.Write(entries, true, -1));
    }
    const std::string whole = m_folder.ReadFile("whole.tar.gz");
    const struct
    {
        const char* message;
        std::string bytes;
    } cases[] = {
        {CDecoder::kCutShort, whole.substr(0, whole.size() / 2)},
        {CDecoder::kDamaged, whole.substr(0, whole.size() / 2) + std::string(64, '\xff') +
                                 whole.substr(whole.size() / 2 + 64)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.message);
        const CTestFolder folder;
        const std::string damaged = folder.WriteFile("damaged.tar.gz", c.bytes);
        CTar tar;
        CArchiveRecorder events(tar);
        tar.Open(damaged, 20, false);
        tar.List();
        const std::size_t listed = events.Of(TAR_EVENT_LISTED).size();
        EXPECT_GE(listed, 2u);
        EXPECT_LT(listed, 8u);
        ASSERT_FALSE(events.Of(TAR_EVENT_PROBLEM).empty());
        EXPECT_EQ(events.Of(TAR_EVENT_PROBLEM).back().strMessage, c.message);
        events.events.clear();
        ExtractAll(tar, folder / "out");
        EXPECT_EQ(events.Of(TAR_EVENT_PROBLEM).back().strMessage, c.message);
        for (const SArchiveEvent& problem : events.Of(TAR_EVENT_PROBLEM))
        {
            if (!problem.strName.empty())
            {
                EXPECT_FALSE(fs::exists(problem.strName)) << problem.strName;
            }
        }
    }
    m_folder.WriteFile("start.tar.gz", whole.substr(0, 10) + std::string(5000, '\xff'));
    m_tar.Open(m_folder / "start.tar.gz", 20, false);
    EXPECT_THROW(m_tar.List(), CException);
}
