#include "codec/CDecoder.h"
#include "codec/CCodecKind.h"

#include "codec/CCodecSample.h"
#include "support/CPeerShell.h"
#include "support/CTestFolder.h"
#include "support/ExpectRaise.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct SJoinCase
{
    ECodecKind kind;
    std::size_t zeros; // padding after the streams
};

// Tape blocks are filled out with zeros after the last stream.
const SJoinCase kJoinCases[] = {
    {ECodecKind::Gzip, 0},     {ECodecKind::Gzip, 1000}, {ECodecKind::Bzip2, 0},
    {ECodecKind::Bzip2, 1000}, {ECodecKind::Xz, 0},      {ECodecKind::Xz, 1024},
    {ECodecKind::Zstd, 0},     {ECodecKind::Zstd, 1000},
};
} // namespace

TEST(CDecoderTest, EachCodecReadsStreamsWrittenOneAfterAnotherAsOne)
{
    CTestFolder folder;
    bool missing = false;
    for (const SJoinCase& c : kJoinCases)
    {
        const std::string name = CCodecKind::Name(c.kind);
        if (!CCodecKind::IsAvailable(c.kind))
            continue;
        if (!CCodecSample::HasTool(folder, name))
        {
            missing = true;
            continue;
        }
        SCOPED_TRACE(name + ", " + std::to_string(c.zeros) + " zeros after");
        const std::string joined = CPeerShell::Run(folder, "printf one | " + name + " -c").out +
                                   CPeerShell::Run(folder, "printf two | " + name + " -c").out +
                                   std::string(c.zeros, '\0');
        EXPECT_EQ(CCodecSample::Decode(c.kind, joined), "onetwo");
    }
    if (missing)
        GTEST_SKIP() << "a tool that writes the streams does not run here";
}

namespace
{
struct SDamageCase
{
    ECodecKind kind;
    int level;
};

const SDamageCase kDamageCases[] = {
    {ECodecKind::Gzip, 0},
    // Level 1: the cut falls inside the second of several streams.
    {ECodecKind::Bzip2, 1},
    {ECodecKind::Xz, 0},
    {ECodecKind::Zstd, 0},
};
} // namespace

// Every kind notices a changed middle (through its data or its check) and
// an end inside a stream, and says which.
TEST(CDecoderTest, EachCodecRaisesItsMessageForDamagedOrCutStreams)
{
    const std::string text = CCodecSample::Text(200 * 1024);
    for (const SDamageCase& c : kDamageCases)
    {
        const std::string name = CCodecKind::Name(c.kind);
        if (!CCodecKind::IsAvailable(c.kind))
        {
            ExpectMessage("This build of Vorkant cannot read " + name + "-compressed archives.",
                          [&] { CDecoder::Make(c.kind); });
            continue;
        }
        SCOPED_TRACE(name);
        const std::string packed = CCodecSample::Encode(c.kind, c.level, 2, text);

        std::string damaged = packed;
        for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
        ExpectMessage(CDecoder::kDamaged, [&] { CCodecSample::Decode(c.kind, damaged); });

        const auto decoder = CDecoder::Make(c.kind);
        EXPECT_NO_THROW(CCodecSample::Feed(*decoder, packed.substr(0, packed.size() / 2)));
        ExpectMessage(CDecoder::kCutShort, [&] { decoder->Finish(); });
    }
}
