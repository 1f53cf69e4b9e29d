#include "core/CBinaryStream.h"

#include "core/CGenericException.h"

#include <cstring>
#include <limits>

namespace
{

constexpr std::uint8_t kLongStringMark = 0xFF;
constexpr std::uint16_t kShortLengthLimit = 0xFFFE;
constexpr std::uint16_t kLongMark = 0xFFFF;
constexpr char kEndOfData[] = "Unexpected end of stored data.";

} // namespace

CBinaryStream::CBinaryStream(std::span<const std::uint8_t> data)
    : m_buffer(data.begin(), data.end())
{
}

void CBinaryStream::WriteU8(std::uint8_t value)
{
    m_buffer.push_back(value);
}

void CBinaryStream::WriteU16(std::uint16_t value)
{
    WriteU8(static_cast<std::uint8_t>(value));
    WriteU8(static_cast<std::uint8_t>(value >> 8));
}

void CBinaryStream::WriteU32(std::uint32_t value)
{
    WriteU16(static_cast<std::uint16_t>(value));
    WriteU16(static_cast<std::uint16_t>(value >> 16));
}

void CBinaryStream::WriteI32(std::int32_t value)
{
    WriteU32(static_cast<std::uint32_t>(value));
}

void CBinaryStream::WriteBytes(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
}

void CBinaryStream::WriteString(const std::string& value)
{
    const std::size_t length = value.size();
    if (length > std::numeric_limits<std::uint32_t>::max())
        throw CGenericException("Stored text too long.");
    if (length < kLongStringMark)
    {
        WriteU8(static_cast<std::uint8_t>(length));
    }
    else
    {
        WriteU8(kLongStringMark);
        if (length < kShortLengthLimit)
        {
            WriteU16(static_cast<std::uint16_t>(length));
        }
        else
        {
            WriteU16(kLongMark);
            WriteU32(static_cast<std::uint32_t>(length));
        }
    }
    WriteBytes(value.data(), length);
}

void CBinaryStream::WriteCount(std::uint32_t count)
{
    if (count < kLongMark)
    {
        WriteU16(static_cast<std::uint16_t>(count));
        return;
    }
    WriteU16(kLongMark);
    WriteU32(count);
}

void CBinaryStream::Require(std::size_t size) const
{
    if (size > Remaining())
        throw CGenericException(kEndOfData);
}

std::uint8_t CBinaryStream::ReadU8()
{
    Require(1);
    return m_buffer[m_position++];
}

std::uint16_t CBinaryStream::ReadU16()
{
    const std::uint16_t low = ReadU8();
    return static_cast<std::uint16_t>(low | (ReadU8() << 8));
}

std::uint32_t CBinaryStream::ReadU32()
{
    const std::uint32_t low = ReadU16();
    return low | (static_cast<std::uint32_t>(ReadU16()) << 16);
}

std::int32_t CBinaryStream::ReadI32()
{
    return static_cast<std::int32_t>(ReadU32());
}

void CBinaryStream::ReadBytes(void* data, std::size_t size)
{
    Require(size);
    if (size == 0)
        return;
    std::memcpy(data, m_buffer.data() + m_position, size);
    m_position += size;
}

std::string CBinaryStream::ReadString()
{
    std::uint32_t length = ReadU8();
    if (length == kLongStringMark)
    {
        // No writer produces the 16-bit length 0xFFFE; it is taken at face value.
        length = ReadU16();
        if (length == kLongMark)
            length = ReadU32();
    }
    Require(length);
    std::string value(length, '\0');
    ReadBytes(value.data(), length);
    return value;
}

std::uint32_t CBinaryStream::ReadCount(std::size_t minBytesPerItem)
{
    std::uint32_t count = ReadU16();
    if (count == kLongMark)
        count = ReadU32();
    if (minBytesPerItem != 0 && count > Remaining() / minBytesPerItem)
        throw CGenericException(kEndOfData);
    return count;
}
