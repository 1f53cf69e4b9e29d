// Members of 4 GiB and more, both ways between the engine and GNU tar and
// bsdtar: a 5 GiB file keeps its size in the octal field, a 9 GiB one needs
// an extended header (or, from GNU tar, base-256). The sources are sparse,
// but every archive and extracted file is written out in full: tens of GiB
// of disk traffic, so these tests carry the label "big" and run from
// scripts/test-big rather than with the rest.
#include "engine/CTar.h"

#include "engine/CFileEntrys.h"
#include "engine/CWildCard.h"
#include "support/CPeerShell.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

constexpr std::uint64_t kGiB = 1ull << 30;

struct SBigFile
{
    std::string name;
    std::uint64_t size;
};

const std::vector<SBigFile> kFiles = {{"five.bin", 5 * kGiB}, {"nine.bin", 9 * kGiB}};

// Where the files hold text; the rest are holes that read as zeros. One
// mark straddles 4 GiB and one 8 GiB, where a size cut to 32 or 33 bits
// would show.
std::vector<std::uint64_t> MarkOffsets(std::uint64_t size)
{
    std::vector<std::uint64_t> offsets{0, 4 * kGiB - 3, size - 7};
    if (size > 8 * kGiB)
        offsets.push_back(8 * kGiB - 3);
    return offsets;
}

std::string MarkAt(std::uint64_t offset)
{
    return "<" + std::to_string(offset) + ">";
}

void MakeSparseFile(const fs::path& path, std::uint64_t size)
{
    {
        std::ofstream out(path, std::ios::binary);
    }
    fs::resize_file(path, size);
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    for (const std::uint64_t offset : MarkOffsets(size))
    {
        const std::string mark = MarkAt(offset).substr(0, size - offset);
        out.seekp(static_cast<std::streamoff>(offset));
        out.write(mark.data(), static_cast<std::streamsize>(mark.size()));
    }
}

// The file has the size and every mark in place.
void ExpectSameBigFile(const fs::path& path, std::uint64_t size)
{
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(fs::file_size(path), size) << path;
    std::ifstream in(path, std::ios::binary);
    for (const std::uint64_t offset : MarkOffsets(size))
    {
        std::string mark = MarkAt(offset).substr(0, size - offset);
        std::string found(mark.size(), '\0');
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(found.data(), static_cast<std::streamsize>(found.size()));
        EXPECT_EQ(found, mark) << path << " at " << offset;
    }
}

// Keeps the listed members and the problems of one engine operation.
class CBigRun : public CEventHandler
{
public:
    explicit CBigRun(const std::string& archive)
    {
        m_tar.Advise(this, &CBigRun::OnEvent);
        m_tar.Open(archive, 20, false);
    }
    ~CBigRun() override { UnadviseAll(); }

    CTar& Tar() { return m_tar; }
    std::vector<std::string> m_listed; // "name size"
    std::vector<std::string> m_problems;

private:
    int OnEvent(void* record)
    {
        const auto& event = *static_cast<const SArchiveEvent*>(record);
        if (event.nKind == TAR_EVENT_LISTED)
            m_listed.push_back(event.strName + " " + std::to_string(event.dwTotal));
        else if (event.nKind == TAR_EVENT_PROBLEM)
            m_problems.push_back(event.strMessage);
        return 0;
    }

    CTar m_tar;
};

class CTarBigMemberTest : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(m_folder / "src");
        for (const SBigFile& file : kFiles)
            MakeSparseFile(m_folder.Path() / "src" / file.name, file.size);
    }

    void Run(const std::string& command)
    {
        const SPeerRun run = CPeerShell::Run(m_folder, command);
        ASSERT_EQ(run.status, 0) << command << "\n" << run.err;
    }

    // Extracts with the peer into a fresh folder, checks, and removes it.
    void ExpectPeerExtracts(const std::string& tool, const std::string& archive)
    {
        const fs::path out = m_folder.Path() / ("out-" + tool);
        fs::create_directory(out);
        ASSERT_NO_FATAL_FAILURE(Run("cd " + CPeerShell::Quote(out.string()) + " && " + tool +
                                    " -xf " + CPeerShell::Quote(archive)));
        for (const SBigFile& file : kFiles)
            ExpectSameBigFile(out / file.name, file.size);
        fs::remove_all(out);
    }

    CTestFolder m_folder;
};

std::vector<std::string> Expected()
{
    std::vector<std::string> listed;
    for (const SBigFile& file : kFiles)
        listed.push_back(file.name + " " + std::to_string(file.size));
    return listed;
}

} // namespace

TEST_F(CTarBigMemberTest, ThePeersListAndExtractWhatTheEngineWrites)
{
    const std::string archive = m_folder / "ours.tar";
    {
        CFileEntrys entries;
        for (const SBigFile& file : kFiles)
            ASSERT_TRUE(entries.AddPath(m_folder / ("src/" + file.name), false));
        CBigRun run(archive);
        ASSERT_TRUE(run.Tar().Write(entries, true, -1));
        EXPECT_TRUE(run.m_problems.empty());
    }
    for (const std::string tool : {"tar", "bsdtar"})
    {
        SCOPED_TRACE(tool);
        ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(tool));
        const SPeerRun list = CPeerShell::Run(m_folder, tool + " -tvf " + CPeerShell::Quote(archive));
        EXPECT_EQ(list.status, 0) << list.err;
        for (const SBigFile& file : kFiles)
            EXPECT_NE(list.out.find(std::to_string(file.size)), std::string::npos) << list.out;
        ExpectPeerExtracts(tool, archive);
    }
}

TEST_F(CTarBigMemberTest, TheEngineListsAndExtractsWhatThePeersWrite)
{
    // bsdtar would store the holes of a sparse source as a sparse member,
    // which is not what these tests are about.
    for (const std::string command :
         {"tar --format=gnu -cf", "tar --format=pax -cf", "bsdtar --no-read-sparse -cf"})
    {
        SCOPED_TRACE(command);
        const std::string archive = m_folder / "peer.tar";
        ASSERT_NO_FATAL_FAILURE(Run("cd " + CPeerShell::Quote(m_folder / "src") + " && " +
                                    command + " " + CPeerShell::Quote(archive) +
                                    " five.bin nine.bin"));
        CBigRun listing(archive);
        listing.Tar().List();
        EXPECT_EQ(listing.m_listed, Expected());
        EXPECT_TRUE(listing.m_problems.empty());

        CBigRun extraction(archive);
        CWildCard all;
        all.AddSpec("*.*");
        const std::vector<std::uint32_t> noRows;
        extraction.Tar().Extract(&all, &noRows, m_folder / "out");
        EXPECT_TRUE(extraction.m_problems.empty());
        for (const SBigFile& file : kFiles)
            ExpectSameBigFile(m_folder.Path() / "out" / file.name, file.size);
        fs::remove_all(m_folder.Path() / "out");
        fs::remove(archive);
    }
}
