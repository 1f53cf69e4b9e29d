#include "devices/CTarFileDevice.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "core/MessageBoxCodes.h"
#include "platform/CSystemError.h"
#include "support/CTestFolder.h"
#include "support/ExpectRaise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{

using Record = std::array<unsigned char, CTarDevice::RECORD_SIZE>;
using Events = std::vector<std::pair<std::int32_t, std::int32_t>>;

constexpr std::pair<std::int32_t, std::int32_t> kActivity{SDeviceEvent::DEVICE_EVENT_ACTIVITY, 0};

// Keeps every event it hears, and cancels at the next activity when asked.
class CRecorder : public CEventHandler
{
public:
    int OnDeviceEvent(void* record)
    {
        const auto* event = static_cast<const SDeviceEvent*>(record);
        if (m_bCancel && event->nKind == SDeviceEvent::DEVICE_EVENT_ACTIVITY)
            throw TAR_CANCEL;
        m_events.emplace_back(event->nKind, event->nBytes);
        return 0;
    }

    Events m_events;
    bool m_bCancel = false;
};

Record Filled(char c)
{
    Record record;
    record.fill(static_cast<unsigned char>(c));
    return record;
}

// Only the name and the size matter to the device.
Record HeaderOfSize(std::uint64_t size)
{
    Record header{};
    std::copy_n("member", 6, header.begin());
    std::snprintf(reinterpret_cast<char*>(header.data()) + 124, 12, "%011llo",
                  static_cast<unsigned long long>(size));
    return header;
}

std::string Text(const Record& record)
{
    return std::string(record.begin(), record.end());
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CTarFileDeviceTest : public testing::Test
{
protected:
    void SetUp() override { m_device.Advise(&m_recorder, &CRecorder::OnDeviceEvent); }

    // Opens a file of whole records, each filled with its letter.
    void OpenRecords(const std::string& letters)
    {
        std::string contents;
        for (char c : letters)
            contents += Text(Filled(c));
        m_device.Open(m_folder.WriteFile("a.tar", contents), 20, false);
    }

    // The first byte of the next record, or 0 when there is none.
    char NextRecordMark()
    {
        Record record = Filled('?');
        return m_device.ReadRecord(record.data()) ? static_cast<char>(record[0]) : '\0';
    }

    CTestFolder m_folder;
    CTarFileDevice m_device;
    CRecorder m_recorder;
};

} // namespace

TEST_F(CTarFileDeviceTest, AMissingNameBecomesAnEmptyArchive)
{
    const std::string path = m_folder / "new.tar";
    m_device.Open(path, 20, false);

    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(m_device.IsOpen());
    EXPECT_EQ(m_device.GetName(), path);
    EXPECT_EQ(m_device.GetSize(), 0u);
    Record record = Filled('?');
    EXPECT_FALSE(m_device.ReadRecord(record.data()));
    EXPECT_EQ(record, Record{});
    EXPECT_EQ(m_recorder.m_events, (Events{kActivity, kActivity}));
}

TEST_F(CTarFileDeviceTest, APartialLastRecordReadsAsTheEndAndKeepsWritesOnTheRecordGrid)
{
    m_device.Open(m_folder.WriteFile("a.tar", std::string(700, 'x')), 20, false);
    m_recorder.m_events.clear();

    Record record;
    EXPECT_TRUE(m_device.ReadRecord(record.data()));
    EXPECT_EQ(record, Filled('x'));
    EXPECT_FALSE(m_device.ReadRecord(record.data()));
    EXPECT_EQ(record, Record{});
    EXPECT_EQ(m_recorder.m_events, (Events{kActivity, {0, 512}, kActivity}));

    // An append after the scan ends here must start at byte 512, not 700.
    m_device.WriteRecord(Filled('y').data(), 0);
    EXPECT_EQ(m_folder.ReadFile("a.tar"), Text(Filled('x')) + Text(Filled('y')));
}

namespace
{

struct SEntryCase
{
    const char* name;
    std::uint64_t headerSize;
    int contentsLength; // -1: no contents
    std::vector<std::int32_t> payloads;
    bool exact; // the contents held the header's size
};

void PrintTo(const SEntryCase& c, std::ostream* os)
{
    *os << c.name;
}

const SEntryCase kEntryCases[] = {
    {"NoContents", 1000, -1, {0}, true},
    {"EmptyFile", 0, 0, {0}, true},
    {"EmptyFileGrew", 0, 1, {0}, false},
    {"OneFullRecord", 512, 512, {0, 512}, true},
    {"OneByteOver", 513, 513, {0, 512, 1}, true},
    {"FileShrankWithinTheLastRecord", 1000, 600, {0, 512, 488}, false},
    {"FileShrankByAWholeRecord", 1500, 600, {0, 512, 512, 476}, false},
    {"FileGrew", 513, 2000, {0, 512, 1}, false},
    {"FileGrewByAByte", 600, 601, {0, 512, 88}, false},
};

class CTarFileDeviceEntryTest : public CTarFileDeviceTest,
                                public testing::WithParamInterface<SEntryCase>
{
};

} // namespace

// Data goes from the file straight into the records kept pending, a piece
// per operation: a member that starts inside a piece and spans several must
// still land whole, in place, with an event per record.
TEST_F(CTarFileDeviceTest, AMemberSpanningPiecesLandsWholeWithAnEventPerRecord)
{
    std::string big(200 * 1024 + 100, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 % 251);
    CFile small;
    CFile contents;
    ASSERT_TRUE(small.Open(m_folder.WriteFile("small", "0123456789"), CFile::modeRead));
    ASSERT_TRUE(contents.Open(m_folder.WriteFile("big", big), CFile::modeRead));
    m_device.Open(m_folder / "a.tar", 20, false);
    m_recorder.m_events.clear();

    EXPECT_TRUE(m_device.WriteEntry(HeaderOfSize(10).data(), false, &small));
    EXPECT_TRUE(m_device.WriteEntry(HeaderOfSize(big.size()).data(), false, &contents));
    m_device.Close();

    std::string expected = Text(HeaderOfSize(10)) + "0123456789";
    expected.resize(1024, '\0');
    expected += Text(HeaderOfSize(big.size())) + big;
    expected.resize(expected.size() + 512 - big.size() % 512, '\0');
    EXPECT_EQ(ReadWhole(m_folder / "a.tar"), expected);
    const auto written = std::count_if(m_recorder.m_events.begin(), m_recorder.m_events.end(),
                                       [](const auto& e) { return e != kActivity; });
    EXPECT_EQ(written, static_cast<std::ptrdiff_t>(expected.size() / 512));
    const auto ticks =
        std::count(m_recorder.m_events.begin(), m_recorder.m_events.end(), kActivity);
    EXPECT_GE(ticks, 2 + 4) << "the big member's data takes four pieces, each an operation";
}

TEST_P(CTarFileDeviceEntryTest, WritesTheRecordsTheHeaderSizeCalls)
{
    const SEntryCase& c = GetParam();
    std::string data;
    for (int i = 0; i < std::max(c.contentsLength, 0); ++i)
        data += static_cast<char>('A' + i % 26);
    CFile contents;
    ASSERT_TRUE(contents.Open(m_folder.WriteFile("member", data), CFile::modeRead));
    m_device.Open(m_folder / "a.tar", 20, false);
    m_recorder.m_events.clear();

    const Record header = HeaderOfSize(c.headerSize);
    EXPECT_EQ(m_device.WriteEntry(header.data(), true, c.contentsLength < 0 ? nullptr : &contents),
              c.exact);

    // The header is one operation and the data, read at once, another;
    // every record is told of.
    Events expectedEvents{kActivity, {SDeviceEvent::DEVICE_EVENT_WRITTEN, c.payloads[0]}};
    if (c.contentsLength >= 0)
        expectedEvents.push_back(kActivity);
    for (std::size_t i = 1; i < c.payloads.size(); ++i)
        expectedEvents.emplace_back(SDeviceEvent::DEVICE_EVENT_WRITTEN, c.payloads[i]);
    EXPECT_EQ(m_recorder.m_events, expectedEvents);
    // The swap flag leaves the records of a disk file as they are; what
    // follows the member's bytes is zeros, never an earlier record's bytes.
    const std::size_t stored =
        c.contentsLength < 0 ? 0 : std::min<std::size_t>(data.size(), c.headerSize);
    std::string expected = Text(header) + data.substr(0, stored);
    expected.resize(c.payloads.size() * 512, '\0');
    // Records wait for the next members until the device settles.
    m_device.Close();
    EXPECT_EQ(m_folder.ReadFile("a.tar"), expected);
    // The engine measures the contents after the write, so they stay open
    // where the reading stopped.
    std::uint64_t position = 0;
    EXPECT_TRUE(contents.GetPosition(position));
    EXPECT_EQ(position, stored);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CTarFileDeviceEntryTest, testing::ValuesIn(kEntryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CTarFileDeviceTest, UnreadableContentsRaiseRatherThanStoreZeros)
{
    CFile contents;
    ASSERT_TRUE(contents.Open(m_folder / "member", CFile::modeCreate | CFile::modeWrite));
    m_device.Open(m_folder / "a.tar", 20, false);

    const Record header = HeaderOfSize(100);
    ExpectOsError(ERROR_ACCESS_DENIED,
                  [&] { m_device.WriteEntry(header.data(), false, &contents); });
    EXPECT_EQ(m_folder.ReadFile("a.tar"), Text(header));
}

TEST_F(CTarFileDeviceTest, TwoRecordsBackAfterTheEndMarkerStandsOnIt)
{
    m_device.Open(m_folder / "a.tar", 20, false);
    m_device.WriteEnd();
    EXPECT_EQ(m_folder.ReadFile("a.tar"), std::string(1024, '\0'));
    EXPECT_EQ(m_recorder.m_events, (Events{kActivity, kActivity, {1, 0}, kActivity, {1, 0}}));

    EXPECT_TRUE(m_device.Seek(-2, CTarDevice::SEEK_FROM_CURRENT));
    m_device.WriteRecord(Filled('h').data(), 0);
    EXPECT_EQ(m_folder.ReadFile("a.tar"), Text(Filled('h')) + std::string(512, '\0'));
}

namespace
{

struct SSeekCase
{
    const char* name;
    std::int32_t records;
    CTarDevice::ESeekOrigin origin;
    bool reached;
    char next; // mark of the record read after the seek; 0 for the end
};

void PrintTo(const SSeekCase& c, std::ostream* os)
{
    *os << c.name;
}

// The file holds records a, b, c; each seek starts on b.
const SSeekCase kSeekCases[] = {
    {"ToTheStart", 0, CTarDevice::SEEK_FROM_START, true, 'a'},
    {"ToTheLastRecord", 2, CTarDevice::SEEK_FROM_START, true, 'c'},
    {"ToExactlyTheEnd", 3, CTarDevice::SEEK_FROM_START, true, '\0'},
    {"PastTheEnd", 4, CTarDevice::SEEK_FROM_START, false, 'b'},
    {"BeforeTheStart", -1, CTarDevice::SEEK_FROM_START, true, 'a'},
    {"Forward", 1, CTarDevice::SEEK_FROM_CURRENT, true, 'c'},
    {"Back", -1, CTarDevice::SEEK_FROM_CURRENT, true, 'a'},
    {"BackPastTheStart", -5, CTarDevice::SEEK_FROM_CURRENT, true, 'a'},
    {"ForwardToExactlyTheEnd", 2, CTarDevice::SEEK_FROM_CURRENT, true, '\0'},
    {"ForwardPastTheEnd", 3, CTarDevice::SEEK_FROM_CURRENT, false, 'b'},
};

class CTarFileDeviceSeekTest : public CTarFileDeviceTest,
                               public testing::WithParamInterface<SSeekCase>
{
};

} // namespace

TEST_P(CTarFileDeviceSeekTest, MovesOnlyWithinTheFile)
{
    const SSeekCase& c = GetParam();
    OpenRecords("abc");
    ASSERT_TRUE(m_device.Seek(1, CTarDevice::SEEK_FROM_START));
    m_recorder.m_events.clear();

    EXPECT_EQ(m_device.Seek(c.records, c.origin), c.reached);
    EXPECT_EQ(m_recorder.m_events, Events{kActivity});
    EXPECT_EQ(NextRecordMark(), c.next);
}

INSTANTIATE_TEST_SUITE_P(Targets, CTarFileDeviceSeekTest, testing::ValuesIn(kSeekCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace
{

struct SCancelCase
{
    const char* name;
    std::function<void(CTarFileDevice&, const CTestFolder&)> operation;
};

void PrintTo(const SCancelCase& c, std::ostream* os)
{
    *os << c.name;
}

const SCancelCase kCancelCases[] = {
    {"Open", [](CTarFileDevice& d, const CTestFolder& f) { d.Open(f / "other.tar", 20, false); }},
    {"ReadRecord",
     [](CTarFileDevice& d, const CTestFolder&)
     {
         Record record;
         d.ReadRecord(record.data());
     }},
    {"WriteEntry",
     [](CTarFileDevice& d, const CTestFolder& f)
     {
         CFile contents;
         ASSERT_TRUE(contents.Open(f.WriteFile("member", std::string(600, 'm')), CFile::modeRead));
         d.WriteEntry(HeaderOfSize(600).data(), false, &contents);
     }},
    {"WriteEnd", [](CTarFileDevice& d, const CTestFolder&) { d.WriteEnd(); }},
    {"Seek", [](CTarFileDevice& d, const CTestFolder&) { d.Seek(0, CTarDevice::SEEK_FROM_START); }},
    {"Erase", [](CTarFileDevice& d, const CTestFolder&) { d.Erase(); }},
};

class CTarFileDeviceCancelTest : public CTarFileDeviceTest,
                                 public testing::WithParamInterface<SCancelCase>
{
};

} // namespace

TEST_P(CTarFileDeviceCancelTest, ACancelAtTheActivityEventChangesNothing)
{
    OpenRecords("ab");
    const std::string name = m_device.GetName();
    ASSERT_TRUE(m_device.Seek(1, CTarDevice::SEEK_FROM_START));
    m_recorder.m_bCancel = true;

    try
    {
        GetParam().operation(m_device, m_folder);
        ADD_FAILURE() << "the cancel did not pass through";
    }
    catch (int code)
    {
        EXPECT_EQ(code, TAR_CANCEL);
    }

    m_recorder.m_bCancel = false;
    EXPECT_FALSE(fs::exists(m_folder / "other.tar"));
    EXPECT_EQ(m_device.GetName(), name);
    EXPECT_EQ(m_folder.ReadFile("a.tar"), Text(Filled('a')) + Text(Filled('b')));
    EXPECT_EQ(NextRecordMark(), 'b');
}

INSTANTIATE_TEST_SUITE_P(Operations, CTarFileDeviceCancelTest, testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CTarFileDeviceTest, ATapeNameIsRefusedAndTheDeviceLeftClosed)
{
    OpenRecords("a");
    const std::string tapeName = m_folder / "\\\\.\\TAPE1";
    ExpectMessage("Tape device opened with file device object",
                  [&] { m_device.Open(tapeName, 20, false); });
    EXPECT_FALSE(m_device.IsOpen());
    EXPECT_EQ(m_device.GetName(), "");
    EXPECT_FALSE(fs::exists(tapeName));
}

TEST_F(CTarFileDeviceTest, AFailedOpenLeavesTheDeviceClosed)
{
    OpenRecords("a");
    ExpectOsError(ERROR_PATH_NOT_FOUND,
                  [&] { m_device.Open(m_folder / "missing/a.tar", 20, false); });
    EXPECT_FALSE(m_device.IsOpen());
    EXPECT_EQ(m_device.GetName(), "");
    ExpectOsError(ERROR_INVALID_HANDLE, [&] { m_device.GetSize(); });
}

namespace
{

// Takes write permission away; false when this process may write the file
// all the same (the superuser, or Wine run by it).
bool MakeReadOnly(const std::string& path)
{
#ifdef _WIN32
    if (!::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY))
        return false;
    const HANDLE probe =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return true;
    ::CloseHandle(probe);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return false;
#else
    return ::chmod(path.c_str(), 0444) == 0 && ::access(path.c_str(), W_OK) != 0;
#endif
}

#ifndef _WIN32
// The kernel's attribute files without a write handler refuse writing even
// to the superuser.
constexpr char kKernelAttributeFile[] = "/sys/devices/system/cpu/online";

bool OpensOnlyForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd != -1)
        ::close(fd);
    return fd == -1 && ::access(path.c_str(), R_OK) == 0;
}
#endif

} // namespace

TEST_F(CTarFileDeviceTest, AReadOnlyFileOpensForReadingAndRefusesEveryWrite)
{
    std::string path = m_folder.WriteFile("a.tar", Text(Filled('r')));
    const bool holdsRecord = MakeReadOnly(path);
    if (!holdsRecord)
    {
#ifdef _WIN32
        GTEST_SKIP() << "the system lets this account write to read-only files";
#else
        path = kKernelAttributeFile;
        if (!OpensOnlyForReading(path))
            GTEST_SKIP() << "no file here is readable but refuses writing to this user";
#endif
    }
    const std::string before = ReadWhole(path);

    m_device.Open(path, 20, false);
    EXPECT_TRUE(m_device.IsOpen());
    Record record;
    EXPECT_EQ(m_device.ReadRecord(record.data()), holdsRecord);

    ExpectOsError(ERROR_ACCESS_DENIED, [&] { m_device.WriteEnd(); });
    ExpectOsError(ERROR_ACCESS_DENIED, [&] { m_device.Erase(); });
    EXPECT_EQ(ReadWhole(path), before);
#ifdef _WIN32
    m_device.Close();
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); // else the folder cannot go
#endif
}

// Memory at address 0 is never mapped: reading a process's memory file
// there fails with EIO, as a bad sector does. (Under Wine the name is
// there, but not what a Linux process reads through it.)
TEST_F(CTarFileDeviceTest, AFailedReadRaisesTheSystemTextAndIsNoEnd)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no memory file to fail a read";
#endif
    if (!fs::exists("/proc/self/mem"))
        GTEST_SKIP() << "this host has no /proc/self/mem";
    m_device.Open("/proc/self/mem", 20, false);
    Record record;
    ExpectOsError(ERROR_IO_DEVICE, [&] { m_device.ReadRecord(record.data()); });
}

TEST_F(CTarFileDeviceTest, AFullDiskRaisesTheSystemText)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "this host has no /dev/full";
    m_device.Open("/dev/full", 20, false);
    m_recorder.m_events.clear();

    // The records are reported as the device takes them; the failure comes
    // when they reach the file, before the write returns.
    ExpectOsError(ERROR_DISK_FULL, [&] { m_device.WriteEnd(); });
    EXPECT_EQ(m_recorder.m_events, (Events{kActivity, {1, 0}, kActivity, {1, 0}}));
}

TEST_F(CTarFileDeviceTest, EraseLeavesAnEmptyArchiveAtTheStart)
{
    OpenRecords("abc");
    ASSERT_TRUE(m_device.Seek(2, CTarDevice::SEEK_FROM_START));

    m_device.Erase();

    EXPECT_EQ(m_device.GetSize(), 0u);
    m_device.WriteRecord(Filled('n').data(), 0);
    EXPECT_EQ(m_folder.ReadFile("a.tar"), Text(Filled('n')));
}

TEST_F(CTarFileDeviceTest, ADiskFileCannotBeEjectedAndStaysOpen)
{
    OpenRecords("a");
    EXPECT_FALSE(m_device.CanEject());
    ExpectMessage("Eject not supported on this device.", [&] { m_device.Eject(); });
    EXPECT_TRUE(m_device.IsOpen());
}

TEST_F(CTarFileDeviceTest, ReadingAheadNeverMovesWhereTheNextWriteOrSeekLands)
{
    OpenRecords("abcdefgh");
    for (const char mark : std::string("abcd"))
        ASSERT_EQ(NextRecordMark(), mark);

    m_device.WriteRecord(Filled('n').data(), 0);
    EXPECT_EQ(NextRecordMark(), 'f');
    ASSERT_TRUE(m_device.Seek(-2, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(NextRecordMark(), 'n');
    ASSERT_TRUE(m_device.Seek(1, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(NextRecordMark(), 'g');
    m_device.Close();

    std::string expected;
    for (const char c : std::string("abcdnfgh"))
        expected += Text(Filled(c));
    EXPECT_EQ(m_folder.ReadFile("a.tar"), expected);
}

// Seeks far enough to read afresh at the target rather than read on to it.
TEST_F(CTarFileDeviceTest, AFarSeekLandsOnItsTargetOrNotAtAll)
{
    const std::string marks = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
    OpenRecords(marks);
    ASSERT_EQ(NextRecordMark(), 'a');
    m_recorder.m_events.clear();
    EXPECT_TRUE(m_device.Seek(20, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(m_recorder.m_events, Events{kActivity});
    EXPECT_EQ(NextRecordMark(), 'v');

    EXPECT_FALSE(m_device.Seek(30, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(NextRecordMark(), 'w');
    EXPECT_TRUE(m_device.Seek(17, CTarDevice::SEEK_FROM_CURRENT));
    EXPECT_EQ(NextRecordMark(), '\0');

    ASSERT_TRUE(m_device.Seek(0, CTarDevice::SEEK_FROM_START));
    ASSERT_EQ(NextRecordMark(), 'a');
    ASSERT_TRUE(m_device.Seek(20, CTarDevice::SEEK_FROM_CURRENT));
    m_device.WriteRecord(Filled('n').data(), 0);
    EXPECT_EQ(NextRecordMark(), 'w');
    m_device.Close();
    std::string expected;
    for (std::size_t i = 0; i < marks.size(); ++i)
        expected += Text(Filled(i == 21 ? 'n' : marks[i]));
    EXPECT_EQ(m_folder.ReadFile("a.tar"), expected);
}

// Members far larger than the pieces the file is read in, whole and shrunk.
TEST_F(CTarFileDeviceTest, BigMembersArriveWholeAndAShrunkOneEndsInZeros)
{
    constexpr std::size_t kSize = 200001;
    std::string data(kSize, '\0');
    for (std::size_t i = 0; i < kSize; ++i)
        data[i] = static_cast<char>('A' + i * 7 % 26);
    m_device.Open(m_folder / "a.tar", 20, false);
    const Record header = HeaderOfSize(kSize);
    for (const std::size_t length : {kSize, std::size_t{70000}})
    {
        CFile contents;
        ASSERT_TRUE(contents.Open(m_folder.WriteFile("member", data.substr(0, length)), CFile::modeRead));
        EXPECT_EQ(m_device.WriteEntry(header.data(), false, &contents), length == kSize);
    }
    m_device.Close();

    const std::size_t padded = (kSize + 511) / 512 * 512;
    std::string whole = Text(header) + data;
    whole.resize(512 + padded, '\0');
    std::string shrunk = Text(header) + data.substr(0, 70000);
    shrunk.resize(512 + padded, '\0');
    EXPECT_EQ(m_folder.ReadFile("a.tar"), whole + shrunk);
}
