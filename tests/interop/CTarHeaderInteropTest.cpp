// Headers built by CTarHeader must read correctly in the two common tar
// programs, and headers those programs write must decode here.
#include "engine/CTarHeader.h"
#include "engine/STarMember.h"

#include "engine/CTarSettings.h"
#include "support/CPeerShell.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

constexpr std::uint32_t kTime = 1600000000; // 2020-09-13 12:26:40 UTC

struct SMember
{
    std::string name;
    bool isDirectory;
    std::string data;
};

std::string Pattern(std::size_t size)
{
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    return data;
}

// A directory, a file spanning records, an empty file and a name that fills
// the whole name field (no terminator), in the order they are written.
std::vector<SMember> Members()
{
    return {{"docs", true, ""},
            {"docs/hello.txt", false, Pattern(1234)},
            {"empty.txt", false, ""},
            {std::string(96, 'n') + ".bin", false, Pattern(513)}};
}

void WriteArchive(const std::string& path, const std::vector<SMember>& members)
{
    std::ofstream out(path, std::ios::binary);
    const CTarSettings settings;
    const std::string zeros(TAR_RECORD_SIZE, '\0');
    for (const SMember& m : members)
    {
        STarMember member;
        member.strName = m.name;
        member.dwSize = m.data.size();
        member.time = kTime;
        member.chType = m.isDirectory ? '5' : '0';
        CTarHeader header;
        header.Build(member, settings);
        out.write(reinterpret_cast<const char*>(header.Bytes().data()), TAR_RECORD_SIZE);
        out << m.data;
        out.write(zeros.data(),
                  (TAR_RECORD_SIZE - m.data.size() % TAR_RECORD_SIZE) % TAR_RECORD_SIZE);
    }
    out << zeros << zeros;
    ASSERT_TRUE(out.good());
}

// Lines with every run of blanks turned into one blank.
std::vector<std::string> NormalisedLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        std::istringstream words(line);
        std::string joined;
        for (std::string word; words >> word;)
            joined += (joined.empty() ? "" : " ") + word;
        lines.push_back(joined);
    }
    return lines;
}

std::string ModeOf(const SMember& m)
{
    return m.isDirectory ? "drwxr-xr-x" : "-rw-r--r--";
}

struct SLister
{
    const char* label;
    const char* tool;
    const char* command;
    std::string (*expectedLine)(const SMember&);
};

void PrintTo(const SLister& lister, std::ostream* os)
{
    *os << lister.command;
}

class CTarHeaderListingTest : public testing::TestWithParam<SLister>
{
};

TEST_P(CTarHeaderListingTest, PeerListsNameSizeModeOwnerAndTime)
{
    const SLister& lister = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(lister.tool));
    CTestFolder folder;
    const std::vector<SMember> members = Members();
    WriteArchive(folder / "built.tar", members);

    const SPeerRun run = CPeerShell::Run(folder, std::string(lister.command) + " " +
                                                     CPeerShell::Quote(folder / "built.tar"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    std::vector<std::string> expected;
    for (const SMember& m : members)
        expected.push_back(lister.expectedLine(m));
    EXPECT_EQ(NormalisedLines(run.out), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Interop, CTarHeaderListingTest,
    testing::Values(SLister{"GnuTarNumeric", "tar", "tar --numeric-owner -tvf",
                            [](const SMember& m)
                            {
                                return ModeOf(m) + " 1000/10 " + std::to_string(m.data.size()) +
                                       " 2020-09-13 12:26 " + m.name;
                            }},
                    SLister{"GnuTarNames", "tar", "tar -tvf",
                            [](const SMember& m)
                            {
                                return ModeOf(m) + " user/other " + std::to_string(m.data.size()) +
                                       " 2020-09-13 12:26 " + m.name;
                            }},
                    SLister{"BsdtarNumeric", "bsdtar", "bsdtar --numeric-owner -tvf",
                            [](const SMember& m) {
                                return ModeOf(m) + " 0 1000 10 " + std::to_string(m.data.size()) +
                                       " Sep 13 2020 " + m.name;
                            }},
                    SLister{"BsdtarNames", "bsdtar", "bsdtar -tvf",
                            [](const SMember& m)
                            {
                                return ModeOf(m) + " 0 user other " +
                                       std::to_string(m.data.size()) + " Sep 13 2020 " + m.name;
                            }}),
    [](const testing::TestParamInfo<SLister>& info) { return info.param.label; });

class CTarHeaderExtractTest : public testing::TestWithParam<const char*>
{
};

TEST_P(CTarHeaderExtractTest, PeerExtractsTheSameBytesAndTime)
{
    const std::string tool = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(tool));
    CTestFolder folder;
    const std::vector<SMember> members = Members();
    WriteArchive(folder / "built.tar", members);
    fs::create_directory(folder / "out");

    const SPeerRun run =
        CPeerShell::Run(folder, tool + " -xf " + CPeerShell::Quote(folder / "built.tar") + " -C " +
                                    CPeerShell::Quote(folder / "out"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const SMember& m : members)
    {
        const fs::path path = folder.Path() / "out" / m.name;
        if (m.isDirectory)
        {
            EXPECT_TRUE(fs::is_directory(path)) << m.name;
            continue;
        }
        EXPECT_EQ(folder.ReadFile("out/" + m.name), m.data) << m.name;
        const auto time = std::chrono::file_clock::to_sys(fs::last_write_time(path));
        EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count(),
                  kTime)
            << m.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Interop, CTarHeaderExtractTest, testing::Values("tar", "bsdtar"));

struct SCreator
{
    const char* label;
    const char* tool;
    const char* command; // followed by the archive path; run inside the source folder
};

void PrintTo(const SCreator& creator, std::ostream* os)
{
    *os << creator.command;
}

class CTarHeaderPeerHeaderTest : public testing::TestWithParam<SCreator>
{
};

TEST_P(CTarHeaderPeerHeaderTest, PeerHeaderDecodes)
{
    const SCreator& creator = GetParam();
    ASSERT_NO_FATAL_FAILURE(CPeerShell::Require(creator.tool));
    CTestFolder folder;
    folder.WriteFile("src/data.bin", Pattern(700));
    fs::last_write_time(
        folder.Path() / "src" / "data.bin",
        std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(kTime))));

    const std::string archive = folder / "peer.tar";
    const SPeerRun run = CPeerShell::Run(folder, "cd " + CPeerShell::Quote(folder / "src") +
                                                     " && " + creator.command + " " +
                                                     CPeerShell::Quote(archive) + " data.bin");
    ASSERT_EQ(run.status, 0) << run.err;

    CTarHeader header;
    std::ifstream in(archive, std::ios::binary);
    in.read(reinterpret_cast<char*>(header.Bytes().data()), TAR_RECORD_SIZE);
    ASSERT_TRUE(in.good());
    EXPECT_EQ(header.Classify(), ETarHeaderKind::Valid);
    EXPECT_EQ(header.GetName(EPathStyle::Posix), "data.bin");
    EXPECT_EQ(header.GetSize(), 700u);
    EXPECT_EQ(header.GetTime(), kTime);
    EXPECT_EQ(header.GetType(), '0');

    header.SwapBytePairs();
    EXPECT_EQ(header.Classify(), ETarHeaderKind::ValidSwapped);
}

INSTANTIATE_TEST_SUITE_P(Interop, CTarHeaderPeerHeaderTest,
                         testing::Values(SCreator{"GnuTarUstar", "tar", "tar --format=ustar -cf"},
                                         SCreator{"GnuTarGnu", "tar", "tar --format=gnu -cf"},
                                         SCreator{"BsdtarUstar", "bsdtar",
                                                  "bsdtar --format=ustar -cf"}),
                         [](const testing::TestParamInfo<SCreator>& info)
                         { return info.param.label; });

} // namespace
