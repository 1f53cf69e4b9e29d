// The engine on a virtual tape: the same operations as on a disk file, with
// the tape's own layout rules.
#include "engine/CTar.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "devices/CCompressedTapeDevice.h"
#include "devices/CTarTapeDevice.h"
#include "engine/CFileEntrys.h"
#include "engine/CTarMessages.h"
#include "engine/CWildCard.h"
#include "platform/CSimhTape.h"
#include "support/CArchiveImage.h"
#include "support/CTestFolder.h"
#include "support/ExpectRaise.h"
#include "support/VirtualTape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

const std::string kTapeName = "\\\\.\\tape0";

// An engine whose tapes are a virtual drive over one image; waits for a
// drive that is not ready take no time.
class CVirtualTapeTar : public CTar
{
public:
    using Configure = std::function<void(CSimhTape&)>;

    explicit CVirtualTapeTar(std::string image, Configure configure = {})
        : m_image(std::move(image)), m_configure(std::move(configure))
    {
        Advise(this, &CVirtualTapeTar::OnArchiveEvent);
    }
    ~CVirtualTapeTar() override { UnadviseAll(); }

    std::vector<std::string> ListNames()
    {
        m_listed.clear();
        List();
        return m_listed;
    }

protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string& name, bool tape, bool fresh) override
    {
        return tape ? MakeVirtualTapeDevice(m_image, m_configure) : CTar::MakeDevice(name, false, fresh);
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
    Configure m_configure;
    std::vector<std::string> m_listed;
};

class CTarTapeTest : public testing::Test
{
protected:
    void Tape(const std::vector<std::string>& blocks)
    {
        ASSERT_TRUE(CSimhTape::WriteImage(m_image, blocks));
    }

    std::vector<std::string> Blocks() const
    {
        std::vector<std::string> blocks;
        EXPECT_TRUE(CSimhTape::ReadImage(m_image, blocks));
        return blocks;
    }

    // Writes the named files (name, contents) as a new engine would.
    void WriteFiles(const std::vector<std::pair<std::string, std::string>>& files, bool sgi = false)
    {
        CFileEntrys entries;
        for (const auto& [name, contents] : files)
            entries.AddPath(m_folder.WriteFile("src/" + name, contents), false);
        CVirtualTapeTar tar(m_image);
        tar.m_settings.m_bSgiFormat = sgi ? 1 : 0;
        tar.Open(kTapeName, 20, false);
        EXPECT_TRUE(tar.Write(entries, true, -1));
    }

    std::vector<std::string> ListNames()
    {
        CVirtualTapeTar tar(m_image);
        tar.Open(kTapeName, 20, false);
        return tar.ListNames();
    }

    CTestFolder m_folder;
    std::string m_image = m_folder / "tape.tap";
};

// The kind of each member header on the tape, in tape order.
std::vector<ETarHeaderKind> HeaderKinds(const std::vector<std::string>& blocks,
                                        std::initializer_list<std::size_t> records)
{
    std::string tape;
    for (const std::string& block : blocks)
        tape += block;
    std::vector<ETarHeaderKind> kinds;
    for (std::size_t record : records)
    {
        CTarHeader header;
        std::copy_n(tape.begin() + static_cast<std::ptrdiff_t>(record * TAR_RECORD_SIZE),
                    TAR_RECORD_SIZE, header.Bytes().begin());
        kinds.push_back(header.Classify());
    }
    return kinds;
}

} // namespace

TEST_F(CTarTapeTest, WritesListsAndExtractsOnABlankTape)
{
    Tape({});
    WriteFiles({{"a.txt", std::string(1000, 'a')}, {"b.txt", "b"}});
    for (const std::string& block : Blocks())
        EXPECT_EQ(block.size(), 10240u);

    CVirtualTapeTar tar(m_image);
    tar.Open(kTapeName, 20, false);
    EXPECT_EQ(tar.ListNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
    CWildCard all;
    all.AddSpec("*.*");
    const std::vector<std::uint32_t> noRows;
    tar.Extract(&all, &noRows, m_folder / "out");
    EXPECT_EQ(m_folder.ReadFile("out/a.txt"), std::string(1000, 'a'));
    EXPECT_EQ(m_folder.ReadFile("out/b.txt"), "b");
}

TEST_F(CTarTapeTest, AppendsBehindWhatTheTapeHolds)
{
    Tape({});
    WriteFiles({{"one", "1"}});
    WriteFiles({{"two", std::string(20000, '2')}});
    WriteFiles({{"three", "3"}});
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(CTarTapeTest, AFailedWriteKeepsWhatReachedTheTapeAndSaysSo)
{
    Tape({});
    WriteFiles({{"one", "1"}});
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("src/two", std::string(30000, '2')), false);
    CVirtualTapeTar tar(m_image, [](CSimhTape& drive) { drive.Faults().nWriteFailBlock = 2; });
    tar.Open(kTapeName, 20, false);
    try
    {
        tar.Write(entries, true, -1);
        ADD_FAILURE() << "the write went through";
    }
    catch (const CException& e)
    {
        EXPECT_NE(CTarMessages::MessageOf(e).find("  The archive on the tape may now end early."),
                  std::string::npos);
    }
    EXPECT_GE(Blocks().size(), 2u) << "what reached the tape stays";
}

TEST_F(CTarTapeTest, AnEmptyTapeTakesTheSwappedLayoutWhenAskedFor)
{
    Tape({});
    WriteFiles({{"one", "1"}}, true);
    EXPECT_EQ(HeaderKinds(Blocks(), {0}),
              std::vector<ETarHeaderKind>{ETarHeaderKind::ValidSwapped});

    CVirtualTapeTar tar(m_image);
    tar.Open(kTapeName, 20, false);
    EXPECT_EQ(tar.ListNames(), std::vector<std::string>{"one"});
    EXPECT_TRUE(tar.IsByteSwapped());
    CWildCard all;
    all.AddSpec("*.*");
    const std::vector<std::uint32_t> noRows;
    tar.Extract(&all, &noRows, m_folder / "out");
    EXPECT_EQ(m_folder.ReadFile("out/one"), "1");
}

TEST_F(CTarTapeTest, AppendingKeepsTheLayoutTheTapeHolds)
{
    Tape({});
    WriteFiles({{"one", "1"}});
    WriteFiles({{"two", "2"}}, true);
    EXPECT_EQ(HeaderKinds(Blocks(), {0, 2}),
              (std::vector<ETarHeaderKind>{ETarHeaderKind::Valid, ETarHeaderKind::Valid}));
    CVirtualTapeTar tar(m_image);
    tar.Open(kTapeName, 20, false);
    EXPECT_EQ(tar.ListNames(), (std::vector<std::string>{"one", "two"}));
    EXPECT_FALSE(tar.IsByteSwapped());
}

TEST_F(CTarTapeTest, ErasedTapeListsEmpty)
{
    Tape({});
    WriteFiles({{"one", "1"}, {"two", "2"}});
    CVirtualTapeTar tar(m_image);
    tar.Open(kTapeName, 20, false);
    tar.Erase();
    EXPECT_TRUE(tar.ListNames().empty());
    EXPECT_TRUE(ListNames().empty());
}

TEST_F(CTarTapeTest, EjectsAndReportsTheDrive)
{
    Tape({});
    CVirtualTapeTar tar(m_image);
    tar.Open(kTapeName, 20, false);
    TAPE_GET_DRIVE_PARAMETERS drive{};
    TAPE_GET_MEDIA_PARAMETERS media{};
    tar.GetTapeInfo(drive, media);
    EXPECT_EQ(drive.MaximumBlockSize, CSimhTape::kMaximumBlockSize);
    // The caller's records keep the feature words as the drive gives them.
    EXPECT_EQ(drive.FeaturesHigh, CSimhTape::kDefaultFeaturesHigh);
    EXPECT_EQ(media.BlockSize, 10240u);

    EXPECT_TRUE(tar.CanEject());
    tar.Eject();
    EXPECT_FALSE(tar.IsOpen());

    CVirtualTapeTar fixed(m_image,
                          [](CSimhTape& drive)
                          {
                              drive.SetFeatures(CSimhTape::kDefaultFeaturesLow &
                                                    ~TAPE_DRIVE_EJECT_MEDIA,
                                                CSimhTape::kDefaultFeaturesHigh);
                          });
    fixed.Open(kTapeName, 20, false);
    EXPECT_FALSE(fixed.CanEject());
}

TEST_F(CTarTapeTest, TapeInfoNeedsATape)
{
    TAPE_GET_DRIVE_PARAMETERS drive{};
    TAPE_GET_MEDIA_PARAMETERS media{};
    CVirtualTapeTar tar(m_image);
    for (const bool open : {false, true})
    {
        if (open)
            tar.Open(m_folder / "a.tar", 20, false);
        try
        {
            tar.GetTapeInfo(drive, media);
            ADD_FAILURE() << "nothing was raised";
        }
        catch (const CGenericException& e)
        {
            EXPECT_EQ(e.GetText(), open ? "Tape device must be open to get tape device info."
                                        : "Archive not open.");
        }
    }
}

TEST_F(CTarTapeTest, RefusesWhatIsNoTarTape)
{
    const std::pair<std::string, std::string> cases[] = {
        {std::string(10240, 'x'), "This is not a valid tar tape."},
        {"TAPE" + std::string(10236, 'x'),
         "This is not a valid tar tape.  The tape appears to be a Windows NT backup."},
    };
    for (const auto& [block, message] : cases)
    {
        Tape({block});
        CVirtualTapeTar tar(m_image);
        tar.Open(kTapeName, 20, false);
        try
        {
            tar.List();
            ADD_FAILURE() << "nothing was raised";
        }
        catch (const CGenericException& e)
        {
            EXPECT_EQ(e.GetText(), message);
        }
    }
}

TEST_F(CTarTapeTest, ReadsATapeOfRecordSizedBlocks)
{
    const std::string archive = CArchiveImage().File("x", std::string(700, 'x')).End().Bytes();
    std::vector<std::string> blocks;
    for (std::size_t at = 0; at < archive.size(); at += TAR_RECORD_SIZE)
        blocks.push_back(archive.substr(at, TAR_RECORD_SIZE));
    Tape(blocks);
    EXPECT_EQ(ListNames(), std::vector<std::string>{"x"});
}

TEST_F(CTarTapeTest, TapeNamesGetTheTapeDevice)
{
    // No drive has this unit: the system's error, not a refusal of the name.
    CTar tar;
    EXPECT_THROW(tar.Open("\\\\.\\tape4095", 20, false), COsException);
    EXPECT_FALSE(tar.IsOpen());
}

// Another program's gzip-compressed archive on tape, its last block filled
// out with zeros, reads as it does from a disk; it cannot be added to, but
// once erased the tape takes an ordinary archive.
TEST_F(CTarTapeTest, ACompressedArchiveOnTapeReadsButIsNotAddedTo)
{
    CFileEntrys entries;
    entries.AddPath(m_folder.WriteFile("src/one.txt", std::string(30000, 'o')), false);
    entries.AddPath(m_folder.WriteFile("src/two.txt", "two"), false);
    {
        CTar writer;
        writer.Open(m_folder / "a.tar.gz", 20, false);
        ASSERT_TRUE(writer.Write(entries, true, -1));
    }
    std::string stream = m_folder.ReadFile("a.tar.gz");
    stream.resize((stream.size() / 10240 + 1) * 10240, '\0');
    Tape({stream.substr(0, 10240), stream.substr(10240)});
    const std::vector<std::string> before = Blocks();

    EXPECT_EQ(ListNames(), (std::vector<std::string>{"one.txt", "two.txt"}));
    CVirtualTapeTar tar(m_image);
    tar.Open(kTapeName, 20, false);
    CWildCard all;
    all.AddSpec("*.*");
    const std::vector<std::uint32_t> noRows;
    tar.Extract(&all, &noRows, m_folder / "out");
    EXPECT_EQ(m_folder.ReadFile("out/one.txt"), std::string(30000, 'o'));
    ExpectMessage(CCompressedTapeDevice::kNotWritable, [&] { tar.Write(entries, true, -1); });
    EXPECT_EQ(Blocks(), before);

    tar.Erase();
    EXPECT_TRUE(tar.Write(entries, true, -1));
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"one.txt", "two.txt"}));
}
