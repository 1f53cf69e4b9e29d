#include "engine/CTarHeader.h"

#include "engine/CTarSettings.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <numeric>

namespace
{

// Field offsets and widths of the ustar header.
constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kModeOffset = 100;
constexpr std::size_t kUidOffset = 108;
constexpr std::size_t kGidOffset = 116;
constexpr std::size_t kSizeOffset = 124;
constexpr std::size_t kTimeOffset = 136;
constexpr std::size_t kNumberWidth = 12;
constexpr std::size_t kChecksumOffset = 148;
constexpr std::size_t kChecksumWidth = 8;
constexpr std::size_t kChecksumDigits = 6;
constexpr std::size_t kTypeOffset = 156;
constexpr std::size_t kMagicOffset = 257;
constexpr std::size_t kUserNameOffset = 265;
constexpr std::size_t kGroupNameOffset = 297;

// Text fields keep room for their terminator within the field.
constexpr std::size_t kIdLength = 6;
constexpr std::size_t kOwnerNameLength = 30;

constexpr std::string_view kUstarMagic{"ustar", 5};
constexpr std::string_view kGnuMagic{"GNUtar", 6};

constexpr std::uint8_t kBase256Flag = 0x80;

} // namespace

bool CTarHeader::Build(std::string_view archiveName, std::uint64_t size, std::uint32_t mtime,
                       bool isDirectory, const CTarSettings& settings)
{
    if (!isDirectory && size > TAR_MAX_MEMBER_SIZE)
        return false;
    m_record.fill(0);
    PutText(kNameOffset, archiveName, TAR_NAME_SIZE);
    PutText(kModeOffset, isDirectory ? settings.m_strDirMode : settings.m_strFileMode, kIdLength);
    PutText(kUidOffset, settings.m_strUserId, kIdLength);
    PutText(kGidOffset, settings.m_strGroupId, kIdLength);
    PutOctal(kSizeOffset, isDirectory ? 0 : static_cast<std::uint32_t>(size));
    PutOctal(kTimeOffset, mtime);
    m_record[kTypeOffset] = isDirectory ? '5' : '0';
    // The NUL after the magic and the two version bytes stay zero.
    PutText(kMagicOffset, kUstarMagic, kUstarMagic.size());
    PutText(kUserNameOffset, settings.m_strUserName, kOwnerNameLength);
    PutText(kGroupNameOffset, settings.m_strGroupName, kOwnerNameLength);
    PutChecksum();
    return true;
}

void CTarHeader::PutText(std::size_t offset, std::string_view text, std::size_t maxLength)
{
    const std::size_t length = std::min(text.size(), maxLength);
    std::memcpy(m_record.data() + offset, text.data(), length);
}

void CTarHeader::PutOctal(std::size_t offset, std::uint32_t value)
{
    // At most 11 digits: the field's last byte stays zero as the terminator.
    char* field = reinterpret_cast<char*>(m_record.data() + offset);
    std::to_chars(field, field + kNumberWidth - 1, value, 8);
}

void CTarHeader::PutChecksum()
{
    std::uint8_t* field = m_record.data() + kChecksumOffset;
    std::fill_n(field, kChecksumWidth, ' ');
    // Bytes count as unsigned: a name with characters above 0x7F must not
    // give a negative sum that overruns the field.
    const unsigned sum = std::accumulate(m_record.begin(), m_record.end(), 0u);
    char digits[kChecksumDigits + 1];
    const auto end = std::to_chars(digits, digits + sizeof digits, sum, 8).ptr;
    const std::size_t count = static_cast<std::size_t>(end - digits);
    std::memcpy(field + kChecksumDigits - count, digits, count);
    field[kChecksumDigits] = '\0';
}

bool CTarHeader::HasMagic(bool swapped) const
{
    // In the swapped copy byte i is byte i ^ 1 of the record as read.
    const auto matches = [&](std::string_view magic)
    {
        for (std::size_t i = 0; i < magic.size(); ++i)
        {
            const std::size_t at = kMagicOffset + i;
            if (m_record[swapped ? at ^ 1 : at] != static_cast<std::uint8_t>(magic[i]))
                return false;
        }
        return true;
    };
    return matches(kUstarMagic) || matches(kGnuMagic);
}

ETarHeaderKind CTarHeader::Classify() const
{
    if (HasMagic(false))
        return ETarHeaderKind::Valid;
    if (HasMagic(true))
        return ETarHeaderKind::ValidSwapped;
    // A pre-POSIX header has no magic: a name and zeros where magic would be.
    if (m_record[0] != 0 && m_record[kMagicOffset] == 0)
        return ETarHeaderKind::Valid;
    return ETarHeaderKind::NotHeader;
}

void CTarHeader::SwapBytePairs(std::span<std::uint8_t> buffer)
{
    for (std::size_t i = 0; i + 1 < buffer.size(); i += 2)
        std::swap(buffer[i], buffer[i + 1]);
}

std::string CTarHeader::GetName(EPathStyle style) const
{
    const auto* name = reinterpret_cast<const char*>(m_record.data() + kNameOffset);
    const auto* end = std::find(name, name + TAR_NAME_SIZE, '\0');
    return ToNativeName(std::string_view(name, static_cast<std::size_t>(end - name)), style);
}

char CTarHeader::GetType() const
{
    return static_cast<char>(m_record[kTypeOffset]);
}

std::uint64_t CTarHeader::GetSize() const
{
    return ParseNumber(kSizeOffset, kNumberWidth);
}

std::uint32_t CTarHeader::GetTime() const
{
    const std::uint64_t time = ParseNumber(kTimeOffset, kNumberWidth);
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(time, std::numeric_limits<std::uint32_t>::max()));
}

std::uint64_t CTarHeader::ParseNumber(std::size_t offset, std::size_t width) const
{
    const std::uint8_t* field = m_record.data() + offset;
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    if (field[0] & kBase256Flag)
    {
        // Other writers store big numbers as big-endian binary after a flag
        // bit; the flag byte's own bits are set only for values no archive
        // can hold (or for negative ones).
        if (field[0] != kBase256Flag)
            return kLargest;
        for (std::size_t i = 1; i < width; ++i)
        {
            if (value > (kLargest >> 8))
                return kLargest;
            value = (value << 8) | field[i];
        }
        return value;
    }
    std::size_t i = 0;
    while (i < width && field[i] == ' ')
        ++i;
    // Twelve octal digits at most: 36 bits, so no overflow here.
    for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i)
        value = value * 8 + (field[i] - '0');
    return value;
}

const char* CTarHeader::GetTypeName(char type)
{
    switch (type)
    {
    case '\0':
    case '0':
        return "file";
    case '1':
        return "link";
    case '2':
        return "symbolic link";
    case '3':
        return "character";
    case '4':
        return "block";
    case '5':
        return "directory";
    case '6':
        return "fifo";
    case '7':
        return "high-performance";
    default:
        return "unknown";
    }
}

std::optional<std::string> CTarHeader::ToArchiveName(std::string_view nativePath, bool relative,
                                                     EPathStyle style)
{
    if (nativePath.size() > TAR_NAME_SIZE)
        return std::nullopt;
    const bool windows = style == EPathStyle::Windows;
    std::string name;
    for (const char c : nativePath)
    {
        // A colon ends a drive prefix ("C:"): what came before is dropped.
        if (windows && c == ':')
            name.clear();
        else
            name += (windows && c == '\\') ? '/' : c;
        if (relative && !name.empty() && name.front() == '/')
            name.clear();
    }
    return name;
}

std::string CTarHeader::ToNativeName(std::string_view archiveName, EPathStyle style)
{
    std::string name(archiveName);
    std::replace(name.begin(), name.end(), '/', SeparatorOf(style));
    return name;
}
