#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The serialisation stream of stored settings: little-endian on every host.
// Writing appends to the stream's own growable buffer; reading consumes from
// the front of that buffer, which the reading constructor fills with a copy
// of the caller's bytes. Reading past the end raises CGenericException, and
// a length or count that claims more than the bytes left is refused before
// anything is allocated, so damaged stored data can never ask for gigabytes.
// Owned by whoever serialises; not thread-safe.
class CBinaryStream
{
public:
    // An empty stream to write into.
    CBinaryStream() = default;
    // A stream that reads a copy of the bytes.
    explicit CBinaryStream(std::span<const std::uint8_t> data);

    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value);
    void WriteBytes(const void* data, std::size_t size);
    // A length prefix (1, 3 or 7 bytes), then the characters without
    // terminator. Raises CGenericException for a string longer than 32 bits
    // can count.
    void WriteString(const std::string& value);
    // 16 bits below 0xFFFF, else 0xFFFF and 32 bits.
    void WriteCount(std::uint32_t count);

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32();
    void ReadBytes(void* data, std::size_t size);
    std::string ReadString();
    // Refuses a count whose items, at minBytesPerItem stored bytes each,
    // could not fit in what remains (pass 0 to skip that check).
    std::uint32_t ReadCount(std::size_t minBytesPerItem = 1);

    // Bytes not yet read.
    std::size_t Remaining() const { return m_buffer.size() - m_position; }
    // Everything written (or given to read), from the start.
    const std::vector<std::uint8_t>& Buffer() const { return m_buffer; }

private:
    // Raises unless size bytes remain to be read.
    void Require(std::size_t size) const;

    std::vector<std::uint8_t> m_buffer;
    std::size_t m_position = 0;
};
