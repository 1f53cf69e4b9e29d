#include "codec/CCodecKind.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct SKindCase
{
    const char* name;  // a new archive's name
    std::string start; // the first bytes of a stream
    ECodecKind kind;
};

const SKindCase kKindCases[] = {
    {"backup.tar.gz", std::string("\x1F\x8B\x08\x00", 4), ECodecKind::Gzip},
    {"BACKUP.TGZ", std::string("\x1F\x8B", 2), ECodecKind::Gzip},
    {"backup.tar.bz2", "BZh9", ECodecKind::Bzip2},
    {"backup.tbz2", "BZh", ECodecKind::Bzip2},
    {"backup.TBZ", "BZh1", ECodecKind::Bzip2},
    {"backup.tar.xz", std::string("\xFD\x37\x7A\x58\x5A\x00\x00", 7), ECodecKind::Xz},
    {"backup.txz", std::string("\xFD\x37\x7A\x58\x5A\x00", 6), ECodecKind::Xz},
    {"backup.tar.zst", "\x28\xB5\x2F\xFD", ECodecKind::Zstd},
    {"backup.Tzst", "\x28\xB5\x2F\xFD\x04", ECodecKind::Zstd},
    // Plain archives, names that only look close, and starts cut short.
    {"backup.tar", std::string("ustar\0", 6), ECodecKind::None},
    {"backup.gz", std::string("\x1F", 1), ECodecKind::None},
    {"backup.tar.gz.old", "BZ", ECodecKind::None},
    {"tgz", std::string("\xFD\x37\x7A\x58\x5A", 5), ECodecKind::None},
    {"", "", ECodecKind::None},
};
} // namespace

TEST(CCodecKindTest, KindFromNameAndFromFirstBytes)
{
    for (const SKindCase& c : kKindCases)
    {
        EXPECT_EQ(CCodecKind::FromName(c.name), c.kind) << c.name;
        EXPECT_EQ(CCodecKind::Detect(reinterpret_cast<const unsigned char*>(c.start.data()),
                                     c.start.size()),
                  c.kind)
            << c.name;
    }
}
