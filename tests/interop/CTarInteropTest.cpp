// Archives the engine writes must list and extract cleanly in GNU tar and
// bsdtar, and archives those programs write, in each of their header formats,
// must list and extract here.
#include "engine/CTar.h"

#include "core/CException.h"
#include "engine/CFileEntrys.h"
#include "engine/CWildCard.h"
#include "support/CPeerShell.h"
#include "support/CSmallDisk.h"
#include "interop/CSampleData.h"
#include "support/CTestFolder.h"
#include "support/CUmaskScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

constexpr std::uint32_t kTime = 1600000000; // 2020-09-13 12:26:40 UTC

// One engine on one archive, keeping the member events it sends; ticks are
// only cancellation points and are left out.
class CEngineRun : public CEventHandler
{
public:
    explicit CEngineRun(const std::string& archive)
    {
        m_tar.Advise(this, &CEngineRun::OnArchiveEvent);
        m_tar.Open(archive, 20, false);
    }
    ~CEngineRun() override { UnadviseAll(); }

    CTar& Tar() { return m_tar; }

    void ExtractAll(const std::string& destination)
    {
        CWildCard all;
        all.AddSpec("*.*");
        const std::vector<std::uint32_t> noRows;
        m_tar.Extract(&all, &noRows, destination);
    }

    std::vector<SArchiveEvent> Of(std::int32_t kind) const
    {
        std::vector<SArchiveEvent> found;
        std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(found),
                     [kind](const SArchiveEvent& event) { return event.nKind == kind; });
        return found;
    }

    // The listed members a catalogue shows, as "d name size" for folders and
    // "- name size" for files, sorted.
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const SArchiveEvent& event : Of(TAR_EVENT_LISTED))
        {
            if (CTar::IsCatalogued(event.chType))
                rows.push_back((event.chType == '5' ? "d " : "- ") + event.strName + " " +
                               std::to_string(event.dwTotal));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    // The type flags of the listed members a catalogue leaves out, in order.
    std::string SkippedTypes() const
    {
        std::string types;
        for (const SArchiveEvent& event : Of(TAR_EVENT_LISTED))
        {
            if (!CTar::IsCatalogued(event.chType))
                types += event.chType;
        }
        return types;
    }

private:
    int OnArchiveEvent(void* record)
    {
        const auto& event = *static_cast<const SArchiveEvent*>(record);
        if (event.nKind != TAR_EVENT_TICK)
            m_events.push_back(event);
        return 0;
    }

    CTar m_tar;
    std::vector<SArchiveEvent> m_events;
};

// Everything below root, "name/" for a folder and "name" for a file, sorted.
std::vector<std::string> TreeOf(const fs::path& root)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root))
    {
        const std::string name = fs::relative(entry.path(), root).generic_string();
        names.push_back(entry.is_directory() ? name + "/" : name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class CTarInteropTest : public testing::Test
{
protected:
    // Writes the files (name and size) below root in the test's folder, with
    // the empty folders, all dated kTime.
    void MakeTree(const std::string& root,
                  const std::vector<std::pair<std::string, std::size_t>>& files,
                  const std::vector<std::string>& emptyFolders)
    {
        std::uint32_t seed = 0;
        for (const auto& [name, size] : files)
            m_folder.WriteFile(root + "/" + name, CSampleData::Contents(size, ++seed));
        for (const std::string& name : emptyFolders)
            fs::create_directories(m_folder.Path() / root / name);
        const auto time = std::chrono::file_clock::from_sys(
            std::chrono::sys_seconds(std::chrono::seconds(kTime)));
        for (const auto& entry : fs::recursive_directory_iterator(m_folder.Path() / root))
            fs::last_write_time(entry.path(), time);
    }

    // A small tree with a file of several records, one that ends on a record
    // boundary, an empty file and an empty folder.
    void MakePeerTree()
    {
        MakeTree("src", {{"dir/a.txt", 700}, {"dir/sub/b.bin", 1536}, {"e.txt", 0}}, {"dir/empty"});
    }

    // Runs the peer command inside the folder root; it must succeed quietly.
    void RunPeer(const std::string& root, const std::string& command)
    {
        const SPeerRun run = CPeerShell::Run(m_folder, "cd " + CPeerShell::Quote(m_folder / root) +
                                                           " && " + command);
        ASSERT_EQ(run.status, 0) << command << "\n" << run.err;
        ASSERT_EQ(run.err, "") << command;
    }

    // Both trees hold the same folders and files, byte for byte.
    void ExpectSameTree(const std::string& expected, const std::string& actual) const
    {
        const std::vector<std::string> names = TreeOf(m_folder.Path() / expected);
        ASSERT_EQ(TreeOf(m_folder.Path() / actual), names);
        for (const std::string& name : names)
        {
            if (name.ends_with('/'))
                continue;
            EXPECT_TRUE(m_folder.ReadFile(expected + "/" + name) ==
                        m_folder.ReadFile(actual + "/" + name))
                << name;
        }
    }

    // The rows a catalogue of the tree below root shows, as CEngineRun::Rows
    // gives them; peers store folder names with a trailing slash.
    std::vector<std::string> RowsOf(const std::string& root) const
    {
        std::vector<std::string> rows;
        for (const std::string& name : TreeOf(m_folder.Path() / root))
        {
            const bool folder = name.ends_with('/');
            const auto size = folder ? 0 : fs::file_size(m_folder.Path() / root / name);
            rows.push_back((folder ? "d " : "- ") + name + " " + std::to_string(size));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    CTestFolder m_folder;
};

// ------------------------------------------------- the peers read our archives

struct SReader
{
    const char* label;
    std::string tool;
    std::size_t sizeColumn; // of a -tv line, counted from 0
};

void PrintTo(const SReader& reader, std::ostream* os)
{
    *os << reader.tool;
}

class CTarWrittenTest : public CTarInteropTest,
                        public testing::WithParamInterface<std::tuple<SReader, bool>>
{
protected:
    // Archives the folder src/proj with the engine, in relative or absolute
    // mode.
    void WriteArchive(const std::string& archive, bool relative)
    {
        MakeTree("src/proj",
                 {{"empty.bin", 0},
                  {"one.bin", 1},
                  {"r511.bin", 511},
                  {"r512.bin", 512},
                  {"r513.bin", 513},
                  {"nested/note.txt", 40},
                  {"nested/deeper/big.bin", 100000}},
                 {"hollow"});
        CFileEntrys entries;
        ASSERT_TRUE(entries.AddPath(m_folder / "src/proj", true));
        CEngineRun engine(archive);
        ASSERT_TRUE(engine.Tar().Write(entries, relative, -1));
        ASSERT_TRUE(engine.Of(TAR_EVENT_PROBLEM).empty());
    }

    // "name size" of every member, sorted, as the engine stores the tree
    // below src/proj: folder names without a trailing slash.
    std::vector<std::string> StoredMembers(bool relative) const
    {
        const std::string root = relative ? "proj" : m_folder / "src/proj";
        std::vector<std::string> members{root + " 0"};
        for (std::string row : RowsOf("src/proj"))
        {
            const std::size_t slash = row.find("/ ");
            if (slash != std::string::npos)
                row.erase(slash, 1);
            members.push_back(root + "/" + row.substr(2));
        }
        std::sort(members.begin(), members.end());
        return members;
    }

    // "name size" of each line of a -tv listing.
    static std::vector<std::string> ListedMembers(const std::string& listing,
                                                  std::size_t sizeColumn)
    {
        std::vector<std::string> members;
        std::istringstream lines(listing);
        for (std::string line; std::getline(lines, line);)
        {
            std::istringstream in(line);
            std::vector<std::string> words;
            for (std::string word; in >> word;)
                words.push_back(word);
            if (words.size() > sizeColumn)
                members.push_back(words.back() + " " + words[sizeColumn]);
        }
        std::sort(members.begin(), members.end());
        return members;
    }
};

// Absolute names are kept by both peers only with -P; without it they strip
// the leading slash and warn (GNU tar even when listing). With -P an
// extraction puts every member back at the path it names, which is where the
// sources were: they are moved aside first and compared with what comes back.
TEST_P(CTarWrittenTest, PeerListsAndExtractsEveryMemberWithoutAWord)
{
    const auto& [reader, relative] = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(reader.tool));
    const std::string archive = m_folder / "ours.tar";
    ASSERT_NO_FATAL_FAILURE(WriteArchive(archive, relative));
    const std::string peer = reader.tool + (relative ? "" : " -P");

    const SPeerRun list = CPeerShell::Run(m_folder, peer + " -tvf " + CPeerShell::Quote(archive));
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(ListedMembers(list.out, reader.sizeColumn), StoredMembers(relative));

    if (relative)
    {
        fs::create_directory(m_folder / "out");
        ASSERT_NO_FATAL_FAILURE(RunPeer("out", peer + " -xf " + CPeerShell::Quote(archive)));
        ExpectSameTree("src", "out");
        return;
    }
    fs::rename(m_folder / "src", m_folder / "sources");
    ASSERT_NO_FATAL_FAILURE(RunPeer("", peer + " -xf " + CPeerShell::Quote(archive)));
    ExpectSameTree("sources", "src");
}

INSTANTIATE_TEST_SUITE_P(Interop, CTarWrittenTest,
                         testing::Combine(testing::Values(SReader{"GnuTar", "tar", 2},
                                                          SReader{"Bsdtar", "bsdtar", 4}),
                                          testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<SReader, bool>>& info)
                         {
                             return std::string(std::get<0>(info.param).label) +
                                    (std::get<1>(info.param) ? "Relative" : "Absolute");
                         });

// ------------------------------------------------- we read the peers' archives

struct SWriter
{
    const char* label;
    std::string tool;
    std::string command; // creates the archive named next, run inside the tree
};

void PrintTo(const SWriter& writer, std::ostream* os)
{
    *os << writer.command;
}

class CTarPeerWrittenTest : public CTarInteropTest, public testing::WithParamInterface<SWriter>
{
};

TEST_P(CTarPeerWrittenTest, EngineListsAndExtractsEveryMember)
{
    const SWriter& writer = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(writer.tool));
    MakePeerTree();
    const std::string archive = m_folder / "peer.tar";
    ASSERT_NO_FATAL_FAILURE(
        RunPeer("src", writer.command + " " + CPeerShell::Quote(archive) + " dir e.txt"));

    CEngineRun listing(archive);
    listing.Tar().List();
    EXPECT_EQ(listing.Rows(), RowsOf("src"));
    EXPECT_EQ(listing.SkippedTypes(), "");
    for (const SArchiveEvent& member : listing.Of(TAR_EVENT_LISTED))
    {
        if (CTar::IsCatalogued(member.chType))
        {
            EXPECT_EQ(member.time, kTime) << member.strName;
        }
    }
    EXPECT_FALSE(listing.Tar().IsByteSwapped());

    CEngineRun extraction(archive);
    extraction.ExtractAll(m_folder / "out");
    EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty());
    ExpectSameTree("src", "out");
}

// Six members: dir/, dir/a.txt, dir/empty/, dir/sub/, dir/sub/b.bin, e.txt.
INSTANTIATE_TEST_SUITE_P(
    Interop, CTarPeerWrittenTest,
    testing::Values(SWriter{"GnuTarV7", "tar", "tar --format=v7 -cf"},
                    SWriter{"GnuTarUstar", "tar", "tar --format=ustar -cf"},
                    SWriter{"GnuTarGnu", "tar", "tar --format=gnu -cf"},
                    SWriter{"GnuTarOldGnu", "tar", "tar --format=oldgnu -cf"},
                    SWriter{"GnuTarPax", "tar", "tar --format=pax -cf"},
                    SWriter{"Bsdtar", "bsdtar", "bsdtar -cf"},
                    SWriter{"BsdtarUstar", "bsdtar", "bsdtar --format=ustar -cf"},
                    SWriter{"BsdtarPax", "bsdtar", "bsdtar --format=pax -cf"}),
    [](const testing::TestParamInfo<SWriter>& info) { return info.param.label; });

// Names longer than the name field, as each writer stores them: split into
// the prefix field, in a GNU long-name member, or in an extended header.
// Listed whole here and extracted to the tree GNU tar extracts.
class CTarLongNameTest : public CTarInteropTest, public testing::WithParamInterface<SWriter>
{
};

TEST_P(CTarLongNameTest, ListsAndExtractsTheWholeNames)
{
    const SWriter& writer = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(writer.tool));
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    // Names of 101, 150 and 250 characters, each splittable for ustar.
    const std::string n101 = "d1/" + std::string(98, 'a');
    const std::string n150 = std::string(60, 'b') + "/" + std::string(89, 'c');
    const std::string n250 = std::string(90, 'd') + "/" + std::string(60, 'e') + "/" +
                             std::string(98, 'f');
    MakeTree("src", {{n101, 700}, {n150, 0}, {n250, 1536}}, {});
    const std::string archive = m_folder / "peer.tar";
    ASSERT_NO_FATAL_FAILURE(RunPeer("src", writer.command + " " + CPeerShell::Quote(archive) +
                                               " d1 " + std::string(60, 'b') + " " +
                                               std::string(90, 'd')));

    CEngineRun listing(archive);
    listing.Tar().List();
    EXPECT_EQ(listing.Rows(), RowsOf("src"));
    EXPECT_EQ(listing.SkippedTypes(), "");
    EXPECT_TRUE(listing.Of(TAR_EVENT_PROBLEM).empty());

    CEngineRun extraction(archive);
    extraction.ExtractAll(m_folder / "out");
    EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty());
    fs::create_directory(m_folder / "theirs");
    ASSERT_NO_FATAL_FAILURE(RunPeer("theirs", "tar -xf " + CPeerShell::Quote(archive)));
    ExpectSameTree("theirs", "out");
}

INSTANTIATE_TEST_SUITE_P(
    Interop, CTarLongNameTest,
    testing::Values(SWriter{"GnuTarGnu", "tar", "tar --format=gnu -cf"},
                    SWriter{"GnuTarOldGnu", "tar", "tar --format=oldgnu -cf"},
                    SWriter{"GnuTarUstar", "tar", "tar --format=ustar -cf"},
                    SWriter{"GnuTarPax", "tar", "tar --format=pax -cf"},
                    SWriter{"Bsdtar", "bsdtar", "bsdtar -cf"},
                    SWriter{"BsdtarPax", "bsdtar", "bsdtar --format=pax -cf"}),
    [](const testing::TestParamInfo<SWriter>& info) { return info.param.label; });

// ------------------------------------------------ times and permission bits

TEST_F(CTarInteropTest, PeerArchivesExtractWithTheirTimesAndModesLessTheUmask)
{
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("bsdtar"));
    const struct
    {
        const char* name;
        unsigned mode;
        std::int64_t time;
    } items[] = {
        {"keep/run.sh", 0755, 1200000000},
        {"keep/secret", 0600, 1300000000},
        {"keep/note", 0644, 1400000000},
        {"keep", 0700, 1100000000}, // last, as its files would move its time
    };
    for (const auto& item : items)
    {
        const fs::path path = m_folder.Path() / "src" / item.name;
        if (item.mode != 0700)
            m_folder.WriteFile(std::string("src/") + item.name, item.name);
        fs::permissions(path, fs::perms(item.mode), fs::perm_options::replace);
        fs::last_write_time(path, std::chrono::file_clock::from_sys(
                                      std::chrono::sys_seconds(std::chrono::seconds(item.time))));
    }
    const std::string writers[] = {"tar --format=gnu -cf", "tar --format=pax -cf", "bsdtar -cf"};
    int n = 0;
    for (const std::string& writer : writers)
    {
        const std::string archive = m_folder / ("peer" + std::to_string(++n) + ".tar");
        ASSERT_NO_FATAL_FAILURE(
            RunPeer("src", writer + " " + CPeerShell::Quote(archive) + " keep"));
        for (const unsigned umask : {022u, 077u})
        {
            const CUmaskScope scope(umask);
            const std::string out = "out" + std::to_string(n) + "-" + std::to_string(umask);
            CEngineRun extraction(archive);
            extraction.ExtractAll(m_folder / out);
            EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty()) << writer;
            for (const auto& item : items)
            {
                const fs::path path = m_folder.Path() / out / item.name;
                const auto time = std::chrono::file_clock::to_sys(fs::last_write_time(path));
                EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch())
                              .count(),
                          item.time)
                    << writer << " " << item.name;
                EXPECT_EQ(fs::status(path).permissions(), fs::perms(item.mode & ~umask))
                    << writer << " umask " << umask << " " << item.name;
            }
        }
    }
}

// ------------------------------------------------------ a failed append

TEST_F(CTarInteropTest, AnAppendThatFillsTheDiskLeavesAnArchiveThePeerReadsAsBefore)
{
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    MakePeerTree();
    const CSmallDisk disk(m_folder.Path() / "disk", 1024 * 1024);
    const std::string archive = disk / "peer.tar";
    ASSERT_NO_FATAL_FAILURE(RunPeer("src", "tar -cf " + CPeerShell::Quote(archive) + " dir e.txt"));
    const std::string list = "tar -tvf " + CPeerShell::Quote(archive);
    const SPeerRun before = CPeerShell::Run(m_folder, list);
    CFileEntrys big;
    big.AddPath(m_folder.WriteFile("big", std::string(3 * 1024 * 1024, 'b')), false);

    CEngineRun append(archive);
    if (!disk.Run([&] { EXPECT_THROW(append.Tar().Write(big, true, -1), CException); }))
        GTEST_SKIP() << "no way to make a small disk here";
    append.Tar().Close();
    const SPeerRun after = CPeerShell::Run(m_folder, list);
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(after.err, "");
    EXPECT_EQ(after.out, before.out);
}

// ------------------------------------ links, special files, modes, long names

namespace
{

// Every item below root, a line each: its kind, permission bits, link
// target, the first name of its hard-link group, its contents and its
// time (the link's own), so that two trees compare whole.
std::vector<std::string> Snapshot(const fs::path& root)
{
    std::vector<std::string> lines;
    std::map<std::pair<dev_t, ino_t>, std::string> firstNames;
    std::vector<fs::path> paths{root};
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths)
    {
        struct stat st;
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        const std::string name = path.lexically_relative(root).generic_string();
        std::string line = name + " " + std::to_string(st.st_mode) + " " +
                           std::to_string(st.st_mtime);
        if (S_ISLNK(st.st_mode))
            line += " -> " + fs::read_symlink(path).string();
        if (S_ISREG(st.st_mode))
        {
            const auto first = firstNames.try_emplace({st.st_dev, st.st_ino}, name).first;
            std::ifstream in(path, std::ios::binary);
            line += " = " + first->second + " " +
                    std::string(std::istreambuf_iterator<char>(in), {});
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace

// A tree with every kind of item a user keeps, private modes and paths past
// the old 100 characters goes through each program and comes back the same.
TEST_F(CTarInteropTest, TreesKeepTheirLinksPipesModesAndLongNames)
{
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("bsdtar"));
    const CUmaskScope scope(0); // so that every program restores the same bits
    const std::string deep150 = std::string(140, 'd') + "/long";
    const std::string deep250 = std::string(120, 'e') + "/" + std::string(125, 'f') + "/g";
    const std::string script = R"(
        mkdir -p tree/private tree/empty tree/)" + deep150.substr(0, 140) + " tree/" +
                               deep250.substr(0, 246) + R"(
        printf '#!/bin/sh\n' > tree/run.sh && chmod 755 tree/run.sh
        echo key > tree/private/key && chmod 600 tree/private/key && chmod 700 tree/private
        echo frozen > tree/frozen && chmod 444 tree/frozen
        ln -s run.sh tree/to-file && ln -s private tree/to-folder
        ln -s /etc/hostname tree/absolute && ln -s nowhere tree/dangling
        echo shared > tree/h1 && ln tree/h1 tree/h2 && ln tree/h1 tree/h3
        mkfifo tree/pipe
        echo long > tree/)" + deep150 + " && echo longer > tree/" + deep250 + R"(
        find tree -exec touch -h -d @1500000000 {} +)";
    ASSERT_NO_FATAL_FAILURE(RunPeer(".", script));
    const auto original = Snapshot(m_folder.Path() / "tree");

    // Archives of the peers extract as the peers extract them.
    const std::string writers[] = {"tar --format=gnu -cf", "tar --format=posix -cf",
                                   "bsdtar -cf"};
    int n = 0;
    for (const std::string& writer : writers)
    {
        SCOPED_TRACE(writer);
        const std::string archive = m_folder / ("peer" + std::to_string(++n) + ".tar");
        ASSERT_NO_FATAL_FAILURE(RunPeer(".", writer + " " + CPeerShell::Quote(archive) + " tree"));
        CEngineRun extraction(archive);
        extraction.ExtractAll(m_folder / ("out" + std::to_string(n)));
        EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty());
        EXPECT_EQ(Snapshot(m_folder.Path() / ("out" + std::to_string(n)) / "tree"), original);
    }

    // Ours lists with each file's own kind, mode and owner, and extracts
    // the same in GNU tar.
    const std::string ours = m_folder / "ours.tar";
    CFileEntrys entries;
    ASSERT_TRUE(entries.AddPath(m_folder / "tree", true));
    {
        CEngineRun writing(ours);
        ASSERT_TRUE(writing.Tar().Write(entries, true, -1));
        EXPECT_TRUE(writing.Of(TAR_EVENT_PROBLEM).empty());
    }
    const SPeerRun listing =
        CPeerShell::Run(m_folder, "tar -tvf " + CPeerShell::Quote(ours) + " --numeric-owner");
    ASSERT_EQ(listing.status, 0) << listing.err;
    const std::string owner = " " + std::to_string(::getuid()) + "/" + std::to_string(::getgid());
    for (const std::string& line :
         {"-rwxr-xr-x" + owner, "drwx------" + owner, "-rw-------" + owner, "-r--r--r--" + owner,
          "lrwxrwxrwx" + owner, "prw-rw-rw-" + owner, "hrw-rw-rw-" + owner})
        EXPECT_NE(listing.out.find(line), std::string::npos) << line << "\n" << listing.out;
    EXPECT_NE(listing.out.find("tree/to-folder -> private"), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(RunPeer(".", "mkdir back && tar -C back -xf " + CPeerShell::Quote(ours)));
    EXPECT_EQ(Snapshot(m_folder.Path() / "back" / "tree"), original);
}

// ---------------------------------------------------- the byte-swapped layout

TEST_F(CTarInteropTest, AByteSwappedCopyOfAGnuTarArchiveReadsTheSame)
{
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    MakePeerTree();
    const std::string plain = m_folder / "plain.tar";
    ASSERT_NO_FATAL_FAILURE(RunPeer("src", "tar -cf " + CPeerShell::Quote(plain) + " dir e.txt"));
    std::string bytes = m_folder.ReadFile("plain.tar");
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    const std::string swapped = m_folder.WriteFile("swapped.tar", bytes);

    CEngineRun listing(swapped);
    listing.Tar().List();
    EXPECT_EQ(listing.Rows(), RowsOf("src"));
    EXPECT_EQ(listing.SkippedTypes(), "");
    EXPECT_TRUE(listing.Tar().IsByteSwapped());

    CEngineRun extraction(swapped);
    extraction.ExtractAll(m_folder / "out");
    EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty());
    ExpectSameTree("src", "out");
}

// ------------------------------------------------------------- sparse files

// A 64 MiB image holding three pieces of data, the last near its end, and
// an 8 MiB file that is one hole: what a disk image or a database file is.
const char kSparseTree[] = R"(
    mkdir sp && truncate -s 64M sp/disk.img && truncate -s 8M sp/holes.img
    for at in 1000000 30000000 67108000; do
        printf "data at $at" | dd of=sp/disk.img bs=1 seek=$at conv=notrunc 2>/dev/null
    done)";

bool TakesFewerBlocksThanHalf(const fs::path& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 &&
           static_cast<std::uint64_t>(st.st_blocks) * 512 < static_cast<std::uint64_t>(st.st_size) / 2;
}

class CTarSparseTest : public CTarInteropTest, public testing::WithParamInterface<SWriter>
{
protected:
    void MakeSparseTree()
    {
        ASSERT_NO_FATAL_FAILURE(RunPeer(".", kSparseTree));
        if (!TakesFewerBlocksThanHalf(m_folder.Path() / "sp/disk.img"))
            GTEST_SKIP() << "this file system keeps no holes";
    }

    void ExpectSameSparseFiles(const std::string& out)
    {
        for (const char* name : {"sp/disk.img", "sp/holes.img"})
        {
            ASSERT_NO_FATAL_FAILURE(RunPeer(".", std::string("cmp ") + name + " " + out + "/" + name));
            EXPECT_TRUE(TakesFewerBlocksThanHalf(m_folder.Path() / out / name)) << name;
        }
    }
};

TEST_P(CTarSparseTest, PeerSparseMembersListWholeAndExtractWithTheirHoles)
{
    const SWriter& writer = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(writer.tool));
    ASSERT_NO_FATAL_FAILURE(MakeSparseTree());
    if (IsSkipped())
        return;
    const std::string archive = m_folder / "peer.tar";
    ASSERT_NO_FATAL_FAILURE(RunPeer(".", writer.command + " " + CPeerShell::Quote(archive) + " sp"));

    CEngineRun listing(archive);
    listing.Tar().List();
    EXPECT_EQ(listing.Rows(), (std::vector<std::string>{"- sp/disk.img 67108864",
                                                        "- sp/holes.img 8388608", "d sp/ 0"}));
    EXPECT_TRUE(listing.Of(TAR_EVENT_PROBLEM).empty());

    CEngineRun extraction(archive);
    extraction.ExtractAll(m_folder / "out");
    EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty());
    ExpectSameSparseFiles("out");
}

INSTANTIATE_TEST_SUITE_P(
    Interop, CTarSparseTest,
    testing::Values(SWriter{"GnuTarGnu", "tar", "tar -S --format=gnu -cf"},
                    SWriter{"GnuTarPosix00", "tar", "tar -S --format=posix --sparse-version=0.0 -cf"},
                    SWriter{"GnuTarPosix01", "tar", "tar -S --format=posix --sparse-version=0.1 -cf"},
                    SWriter{"GnuTarPosix10", "tar", "tar -S --format=posix --sparse-version=1.0 -cf"},
                    SWriter{"Bsdtar", "bsdtar", "bsdtar -cf"}),
    [](const testing::TestParamInfo<SWriter>& info) { return info.param.label; });

// Ours stores only the data, and both peers give the files back whole, with
// their holes; without holes wanted, the zeros are stored.
TEST_F(CTarSparseTest, SparseFilesWrittenHereAreSmallAndPeersExtractThemWhole)
{
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("bsdtar"));
    ASSERT_NO_FATAL_FAILURE(MakeSparseTree());
    if (IsSkipped())
        return;
    for (const bool sparse : {true, false})
    {
        SCOPED_TRACE(sparse ? "sparse" : "zeros");
        const std::string archive = m_folder / (sparse ? "sparse.tar" : "zeros.tar");
        CFileEntrys entries;
        ASSERT_TRUE(entries.AddPath(m_folder / "sp", true));
        CEngineRun writing(archive);
        writing.Tar().m_settings.m_bSparse = sparse ? 1 : 0;
        ASSERT_TRUE(writing.Tar().Write(entries, true, -1));
        EXPECT_TRUE(writing.Of(TAR_EVENT_PROBLEM).empty());
        EXPECT_EQ(fs::file_size(archive) < 1024 * 1024, sparse);
    }

    const std::string archive = m_folder / "sparse.tar";
    const SPeerRun listing = CPeerShell::Run(m_folder, "tar -tvf " + CPeerShell::Quote(archive));
    ASSERT_EQ(listing.status, 0) << listing.err;
    for (const char* line : {" 67108864 ", " 8388608 "})
        EXPECT_NE(listing.out.find(line), std::string::npos) << line << "\n" << listing.out;
    ASSERT_NO_FATAL_FAILURE(RunPeer(".", "mkdir gnu bsd && tar -C gnu -xf sparse.tar && "
                                         "bsdtar -C bsd -xf sparse.tar"));
    ExpectSameSparseFiles("gnu");
    ExpectSameSparseFiles("bsd");
}

} // namespace

// --------------------------------------------------------- compressed archives

struct SCompressor
{
    const char* label;
    std::string tool;   // its own program, which tests what we write
    std::string flag;   // GNU tar's option for it
    std::string suffix; // the name that asks for it here
};

void PrintTo(const SCompressor& compressor, std::ostream* os)
{
    *os << compressor.tool;
}

class CTarCompressedTest : public CTarInteropTest, public testing::WithParamInterface<SCompressor>
{
};

// GNU tar's compressed archives read here by content, whatever their name;
// ours, named for the kind, pass the kind's own test and GNU tar extracts
// them, appended to or not.
TEST_P(CTarCompressedTest, PeerCompressedArchivesReadHereAndOursReadThere)
{
    const SCompressor& compressor = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar"));
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(compressor.tool));
    MakePeerTree();
    const std::string peer = m_folder / "peer.tar";
    ASSERT_NO_FATAL_FAILURE(RunPeer("src", "tar " + compressor.flag + " -cf " +
                                               CPeerShell::Quote(peer) + " dir e.txt"));
    CEngineRun listing(peer);
    listing.Tar().List();
    EXPECT_EQ(listing.Rows(), RowsOf("src"));
    CEngineRun extraction(peer);
    extraction.ExtractAll(m_folder / "out");
    EXPECT_TRUE(extraction.Of(TAR_EVENT_PROBLEM).empty());
    ExpectSameTree("src", "out");

    const std::string ours = m_folder / ("ours" + compressor.suffix);
    CFileEntrys first;
    ASSERT_TRUE(first.AddPath(m_folder / "src/dir", true));
    CFileEntrys second;
    ASSERT_TRUE(second.AddPath(m_folder / "src/e.txt", true));
    for (const CFileEntrys* entries : {&first, &second})
    {
        CEngineRun writing(ours);
        ASSERT_TRUE(writing.Tar().Write(*entries, true, -1));
        EXPECT_TRUE(writing.Of(TAR_EVENT_PROBLEM).empty());
    }
    ASSERT_NO_FATAL_FAILURE(RunPeer(".", compressor.tool + " -tq " + CPeerShell::Quote(ours)));
    fs::create_directory(m_folder / "back");
    ASSERT_NO_FATAL_FAILURE(RunPeer("back", "tar -xf " + CPeerShell::Quote(ours)));
    ExpectSameTree("src", "back");
}

INSTANTIATE_TEST_SUITE_P(Interop, CTarCompressedTest,
                         testing::Values(SCompressor{"Gzip", "gzip", "-z", ".tar.gz"},
                                         SCompressor{"Bzip2", "bzip2", "-j", ".tbz2"},
                                         SCompressor{"Xz", "xz", "-J", ".txz"},
                                         SCompressor{"Zstd", "zstd", "--zstd", ".tar.zst"}),
                         [](const testing::TestParamInfo<SCompressor>& info)
                         { return info.param.label; });
