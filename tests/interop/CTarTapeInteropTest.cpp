// A tape the engine writes is, block after block, an archive GNU tar reads;
// an archive GNU tar writes, put on a tape one block per record, reads here.
#include "engine/CTar.h"

#include "devices/CTarTapeDevice.h"
#include "engine/CFileEntrys.h"
#include "engine/CWildCard.h"
#include "support/CPeerShell.h"
#include "interop/CSampleData.h"
#include "platform/CSimhTape.h"
#include "support/CTestFolder.h"
#include "support/VirtualTape.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

const std::string kTapeName = "\\\\.\\tape0";

using Files = std::vector<std::pair<std::string, std::size_t>>;

// An engine whose tape is the virtual drive over one image.
class CImageTar : public CTar
{
public:
    explicit CImageTar(std::string image) : m_image(std::move(image))
    {
        Advise(this, &CImageTar::OnArchiveEvent);
        Open(kTapeName, 20, false);
    }
    ~CImageTar() override { UnadviseAll(); }

    std::vector<std::string> m_listed;

protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string& name, bool tape, bool fresh) override
    {
        return tape ? MakeVirtualTapeDevice(m_image) : CTar::MakeDevice(name, false, fresh);
    }

private:
    int OnArchiveEvent(void* record)
    {
        const auto& event = *static_cast<const SArchiveEvent*>(record);
        if (event.nKind == TAR_EVENT_LISTED)
            m_listed.push_back(event.strName);
        return 0;
    }

    std::string m_image;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> NamesOf(const Files& files)
{
    std::vector<std::string> names;
    for (const auto& file : files)
        names.push_back(file.first);
    return names;
}

class CTarTapeInteropTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar")); }

    // Files below src, each with contents of its own.
    void MakeFiles(const Files& files)
    {
        for (const auto& [name, size] : files)
            m_folder.WriteFile("src/" + name, CSampleData::Contents(size, ++m_seed));
    }

    // Runs GNU tar in the test's folder; it must succeed.
    std::string Tar(const std::string& arguments)
    {
        const SPeerRun run = CPeerShell::Run(
            m_folder, "cd " + CPeerShell::Quote(m_folder.Path().string()) + " && tar " + arguments);
        EXPECT_EQ(run.status, 0) << arguments << "\n" << run.err;
        return run.out;
    }

    void EngineWrite(const Files& files)
    {
        CFileEntrys entries;
        for (const auto& file : files)
            entries.AddPath(m_folder / ("src/" + file.first), false);
        CImageTar tar(m_image);
        ASSERT_TRUE(tar.Write(entries, true, -1));
    }

    // Lists the tape and extracts it into the folder.
    std::vector<std::string> EngineListAndExtract(const std::string& destination)
    {
        CImageTar tar(m_image);
        tar.List();
        CWildCard all;
        all.AddSpec("*.*");
        const std::vector<std::uint32_t> noRows;
        tar.Extract(&all, &noRows, m_folder / destination);
        return tar.m_listed;
    }

    // Puts an archive file on the tape, one block of blockSize bytes per
    // tape record.
    void TapeFromArchive(const std::string& archive, std::size_t blockSize)
    {
        const std::string bytes = m_folder.ReadFile(archive);
        ASSERT_EQ(bytes.size() % blockSize, 0u);
        std::vector<std::string> blocks;
        for (std::size_t at = 0; at < bytes.size(); at += blockSize)
            blocks.push_back(bytes.substr(at, blockSize));
        ASSERT_TRUE(CSimhTape::WriteImage(m_image, blocks));
    }

    // The tape's blocks joined into an archive file; each must be blockSize.
    void ArchiveFromTape(const std::string& archive, std::size_t blockSize)
    {
        std::vector<std::string> blocks;
        ASSERT_TRUE(CSimhTape::ReadImage(m_image, blocks));
        std::string bytes;
        for (const std::string& block : blocks)
        {
            EXPECT_EQ(block.size(), blockSize);
            bytes += block;
        }
        m_folder.WriteFile(archive, bytes);
    }

    void ExpectSameFiles(const Files& files, const std::string& folder)
    {
        for (const auto& file : files)
            EXPECT_TRUE(m_folder.ReadFile("src/" + file.first) ==
                        m_folder.ReadFile(folder + "/" + file.first))
                << file.first;
    }

    CTestFolder m_folder;
    std::string m_image = m_folder / "tape.tap";
    std::uint32_t m_seed = 0;
};

// Of several records, on a record boundary, empty, and spanning two blocks.
const Files kFiles = {{"a.txt", 700}, {"b.bin", 512}, {"c.txt", 0}, {"d.bin", 12000}};

class CGnuTarBlockingTest : public CTarTapeInteropTest, public testing::WithParamInterface<int>
{
};

} // namespace

TEST_F(CTarTapeInteropTest, TheEngineWritesARunOfRecordsGnuTarReads)
{
    MakeFiles(kFiles);
    ASSERT_TRUE(CSimhTape::WriteImage(m_image, {}));
    EngineWrite(kFiles);
    ArchiveFromTape("tape.tar", 10240);

    EXPECT_EQ(Lines(Tar("-tf tape.tar")), NamesOf(kFiles));
    Tar("-xf tape.tar --one-top-level=out");
    ExpectSameFiles(kFiles, "out");
}

TEST_P(CGnuTarBlockingTest, GnuTarArchivesReadFromTape)
{
    const int blockingFactor = GetParam();
    MakeFiles(kFiles);
    Tar("--format=ustar -b " + std::to_string(blockingFactor) +
        " -cf peer.tar -C src a.txt b.bin c.txt d.bin");
    TapeFromArchive("peer.tar", static_cast<std::size_t>(blockingFactor) * 512);

    EXPECT_EQ(EngineListAndExtract("out"), NamesOf(kFiles));
    ExpectSameFiles(kFiles, "out");
}

INSTANTIATE_TEST_SUITE_P(Tape, CGnuTarBlockingTest, testing::Values(20, 1),
                         [](const auto& info) { return "B" + std::to_string(info.param); });

TEST_F(CTarTapeInteropTest, AppendingBehindAnEndMarkerInTwoBlocksKeepsEveryMember)
{
    // Headers and data fill records 0 to 18: the end marker lies in record
    // 19, the last of the first block, and record 20, the first of the next.
    const Files before = {{"first", 4000}, {"second", 4608}};
    const Files added = {{"third", 1000}};
    MakeFiles(before);
    MakeFiles(added);
    Tar("--format=ustar -b 20 -cf peer.tar -C src first second");
    TapeFromArchive("peer.tar", 10240);

    EngineWrite(added);
    ArchiveFromTape("tape.tar", 10240);
    const std::vector<std::string> all = {"first", "second", "third"};
    EXPECT_EQ(Lines(Tar("-tf tape.tar")), all);
    Tar("-xf tape.tar --one-top-level=out");
    ExpectSameFiles(before, "out");
    ExpectSameFiles(added, "out");
    EXPECT_EQ(EngineListAndExtract("again"), all);
}
