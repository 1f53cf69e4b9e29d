#include "codec/CEncoder.h"
#include "codec/CCodecKind.h"

#include "codec/CCodecSample.h"
#include "support/CPeerShell.h"
#include "support/CTestFolder.h"
#include "support/ExpectRaise.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct SRoundTripCase
{
    ECodecKind kind;
    int level;
};

const SRoundTripCase kRoundTripCases[] = {
    {ECodecKind::Gzip, 0},
    // Level 1 cuts streams of 100 000 bytes: the sample spans several.
    {ECodecKind::Bzip2, 1},
    {ECodecKind::Xz, 0},
    {ECodecKind::Zstd, 0},
};
} // namespace

TEST(CEncoderTest, EachCodecsStreamsReadBackWholeHereAndInItsOwnTool)
{
    CTestFolder folder;
    const std::string text = CCodecSample::Text(300 * 1024);
    for (const SRoundTripCase& c : kRoundTripCases)
    {
        const std::string name = CCodecKind::Name(c.kind);
        if (!CCodecKind::IsAvailable(c.kind))
        {
            ExpectMessage("This build of Vorkant cannot write " + name + "-compressed archives.",
                          [&] { CEncoder::Make(c.kind, c.level, 1); });
            continue;
        }
        const bool hasTool = CCodecSample::HasTool(folder, name);
        for (int threads : {1, 4})
        {
            for (const std::string& data : {text, std::string()})
            {
                SCOPED_TRACE(name + ", " + std::to_string(threads) + " threads, " +
                             std::to_string(data.size()) + " bytes");
                const std::string packed = CCodecSample::Encode(c.kind, c.level, threads, data);
                EXPECT_EQ(CCodecKind::Detect(reinterpret_cast<const unsigned char*>(packed.data()),
                                             packed.size()),
                          c.kind);
                EXPECT_TRUE(CCodecSample::Decode(c.kind, packed) == data);
                if (hasTool)
                {
                    const std::string path = folder.WriteFile("packed", packed);
                    const SPeerRun run =
                        CPeerShell::Run(folder, name + " -t " + CPeerShell::Quote(path));
                    EXPECT_EQ(run.status, 0) << run.err;
                }
            }
        }
    }
}
