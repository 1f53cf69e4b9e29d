#include "core/CBinaryStream.h"
#include "core/CGenericException.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

// The first bytes of the stream.
Bytes Head(const CBinaryStream& stream, std::size_t count)
{
    return Bytes(stream.Buffer().begin(), stream.Buffer().begin() + count);
}

void ExpectEndOfData(CBinaryStream& stream, void (*read)(CBinaryStream&))
{
    try
    {
        read(stream);
        ADD_FAILURE() << "read past the end did not throw";
    }
    catch (const CGenericException& e)
    {
        EXPECT_EQ(e.GetText(), "Unexpected end of stored data.");
    }
}

} // namespace

TEST(CBinaryStreamTest, IntegersAreLittleEndian)
{
    CBinaryStream out;
    out.WriteU8(0xAB);
    out.WriteU16(0x1234);
    out.WriteU32(0x89ABCDEF);
    out.WriteI32(-2);
    EXPECT_EQ(out.Buffer(),
              (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0xFE, 0xFF, 0xFF, 0xFF}));

    CBinaryStream in(out.Buffer());
    EXPECT_EQ(in.ReadU8(), 0xAB);
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadU32(), 0x89ABCDEFu);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(CBinaryStreamTest, ReadingKeepsItsOwnCopy)
{
    auto source = std::make_unique<Bytes>(Bytes{1, 2, 3});
    CBinaryStream in(*source);
    source.reset();
    std::uint8_t raw[3] = {};
    in.ReadBytes(raw, sizeof raw);
    EXPECT_EQ(raw[2], 3);
}

struct SLengthCase
{
    std::uint32_t length;
    Bytes prefix;
};

class CBinaryStreamStringTest : public testing::TestWithParam<SLengthCase>
{
};

TEST_P(CBinaryStreamStringTest, PrefixByLengthAndRoundTrip)
{
    const SLengthCase& c = GetParam();
    const std::string text(c.length, 'x');
    CBinaryStream out;
    out.WriteString(text);
    out.WriteU8(0x5A); // what follows must not be swallowed

    ASSERT_EQ(out.Buffer().size(), c.prefix.size() + c.length + 1);
    EXPECT_EQ(Head(out, c.prefix.size()), c.prefix);

    CBinaryStream in(out.Buffer());
    EXPECT_EQ(in.ReadString(), text);
    EXPECT_EQ(in.ReadU8(), 0x5A);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CBinaryStreamStringTest,
    testing::Values(SLengthCase{0, {0x00}}, SLengthCase{254, {0xFE}},
                    SLengthCase{255, {0xFF, 0xFF, 0x00}}, SLengthCase{0xFFFD, {0xFF, 0xFD, 0xFF}},
                    SLengthCase{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                    SLengthCase{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                    SLengthCase{0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}));

struct SCountCase
{
    std::uint32_t count;
    Bytes encoded;
};

class CBinaryStreamCountTest : public testing::TestWithParam<SCountCase>
{
};

TEST_P(CBinaryStreamCountTest, EncodingAndRoundTrip)
{
    const SCountCase& c = GetParam();
    CBinaryStream out;
    out.WriteCount(c.count);
    EXPECT_EQ(out.Buffer(), c.encoded);

    CBinaryStream in(out.Buffer());
    EXPECT_EQ(in.ReadCount(0), c.count);
    EXPECT_EQ(in.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CBinaryStreamCountTest,
    testing::Values(SCountCase{0, {0x00, 0x00}}, SCountCase{0xFFFE, {0xFE, 0xFF}},
                    SCountCase{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                    SCountCase{0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}}));

TEST(CBinaryStreamTest, ReadingPastTheEndThrows)
{
    const Bytes three{1, 2, 3};
    CBinaryStream in(three);
    ExpectEndOfData(in, [](CBinaryStream& s) { s.ReadU32(); });
    CBinaryStream empty(Bytes{});
    ExpectEndOfData(empty, [](CBinaryStream& s) { s.ReadU8(); });
    CBinaryStream shortRaw(three);
    ExpectEndOfData(shortRaw,
                    [](CBinaryStream& s)
                    {
                        std::uint8_t raw[4];
                        s.ReadBytes(raw, sizeof raw);
                    });
}

TEST(CBinaryStreamTest, LengthBeyondTheDataIsRefusedBeforeAllocating)
{
    // A damaged prefix claiming 4 GiB of text, followed by almost nothing:
    // the only acceptable outcome is the end-of-data exception (a bad_alloc,
    // or a sanitizer's allocation report, would mean we tried).
    CBinaryStream huge(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'});
    ExpectEndOfData(huge, [](CBinaryStream& s) { s.ReadString(); });

    CBinaryStream oneShort(Bytes{0x03, 'a', 'b'});
    ExpectEndOfData(oneShort, [](CBinaryStream& s) { s.ReadString(); });
}

TEST(CBinaryStreamTest, CountIsCheckedAgainstWhatRemains)
{
    const Bytes twoItemsOfFour{0x02, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    CBinaryStream fits(twoItemsOfFour);
    EXPECT_EQ(fits.ReadCount(4), 2u);
    CBinaryStream tooBig(twoItemsOfFour);
    ExpectEndOfData(tooBig, [](CBinaryStream& s) { s.ReadCount(5); });

    CBinaryStream huge(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00});
    ExpectEndOfData(huge, [](CBinaryStream& s) { s.ReadCount(); });
}
