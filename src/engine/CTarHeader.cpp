#include "engine/CTarHeader.h"

#include "engine/CSparseMap.h"
#include "engine/CTarExtendedHeader.h"
#include "engine/CTarSettings.h"
#include "engine/STarMember.h"

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
constexpr std::size_t kLinkOffset = 157;
constexpr std::size_t kMagicOffset = 257;
constexpr std::size_t kUserNameOffset = 265;
constexpr std::size_t kGroupNameOffset = 297;
constexpr std::size_t kPrefixOffset = 345;
constexpr std::size_t kPrefixSize = 155;

// Text fields keep room for their terminator within the field.
constexpr std::size_t kIdLength = 6;
// The mode, uid and gid fields.
constexpr std::size_t kIdWidth = 8;
constexpr std::size_t kOwnerNameLength = 30;
// A file's own owner: seven octal digits in an id field, and its names whole
// when they fit a name field with its terminator.
constexpr std::uint32_t kMaxOctalId = 07777777;
constexpr std::size_t kOwnNameLength = 31;
constexpr std::size_t kVersionOffset = 263;

constexpr std::string_view kUstarMagic{"ustar", 5};
constexpr std::string_view kGnuMagic{"GNUtar", 6};
// A POSIX header's magic with its NUL, then its version.
constexpr std::string_view kPosixMagic{"ustar\0" "00", 8};

constexpr std::uint8_t kBase256Flag = 0x80;

// An old-style sparse member keeps its first map entries (offset and size)
// where the prefix would be, and the rest in extension records after it.
constexpr std::size_t kSparseOffset = 386;
constexpr std::size_t kSparseEntries = 4;
constexpr std::size_t kSparseMoreOffset = 482;
constexpr std::size_t kSparseRealSizeOffset = 483;
constexpr std::size_t kExtensionEntries = 21;
constexpr std::size_t kExtensionMoreOffset = 504;

// Where a long name splits between the prefix and name fields: the first
// slash after which the rest fits the name field, if what comes before it
// fits the prefix field. npos when there is none.
std::size_t PrefixSplit(std::string_view name)
{
    if (name.size() <= TAR_NAME_SIZE)
        return std::string_view::npos;
    const std::size_t slash = name.find('/', name.size() - TAR_NAME_SIZE - 1);
    if (slash == std::string_view::npos || slash == 0 || slash > kPrefixSize ||
        slash + 1 == name.size())
        return std::string_view::npos;
    return slash;
}

} // namespace

void CTarHeader::Build(const STarMember& member, const CTarSettings& settings)
{
    const bool folder = member.chType == '5';
    // Only a file's data follows its header: links and FIFOs have none.
    const std::uint64_t size = member.chType == '0' ? member.dwSize : 0;
    const std::string name = member.dwSparseSize ? PiecesName(member.strName) : member.strName;
    Fill(name, size, member.time, member.chType,
         folder ? settings.m_strDirMode : settings.m_strFileMode, settings);
    PutName(name);
    PutText(kLinkOffset, member.strLinkTarget, TAR_NAME_SIZE);
    if (member.bOwnOwner)
        PutOwner(member);
    PutChecksum();
}

std::string CTarHeader::ExtendedData(const STarMember& member)
{
    std::string data;
    const std::string_view name = member.strName;
    if (member.dwSparseSize)
    {
        // The map of the holes starts the data, as readers of version 1.0
        // of these records expect; the name and size are the file's own.
        data += CTarExtendedHeader::Record("GNU.sparse.major", "1");
        data += CTarExtendedHeader::Record("GNU.sparse.minor", "0");
        data += CTarExtendedHeader::Record("GNU.sparse.name", name);
        data += CTarExtendedHeader::Record("GNU.sparse.realsize",
                                           std::to_string(*member.dwSparseSize));
    }
    else if (name.size() > TAR_NAME_SIZE && PrefixSplit(name) == std::string_view::npos)
        data += CTarExtendedHeader::Record("path", name);
    if (member.strLinkTarget.size() > TAR_NAME_SIZE)
        data += CTarExtendedHeader::Record("linkpath", member.strLinkTarget);
    if (member.chType == '0' && member.dwSize > TAR_MAX_OCTAL_SIZE)
        data += CTarExtendedHeader::Record("size", std::to_string(member.dwSize));
    if (!member.bOwnOwner)
        return data;
    if (member.nUid > kMaxOctalId)
        data += CTarExtendedHeader::Record("uid", std::to_string(member.nUid));
    if (member.nGid > kMaxOctalId)
        data += CTarExtendedHeader::Record("gid", std::to_string(member.nGid));
    if (member.strUserName.size() > kOwnNameLength)
        data += CTarExtendedHeader::Record("uname", member.strUserName);
    if (member.strGroupName.size() > kOwnNameLength)
        data += CTarExtendedHeader::Record("gname", member.strGroupName);
    return data;
}

// A reader that does not know sparse members extracts the stored pieces as
// they are: under a name of their own, beside the file, never over it.
std::string CTarHeader::PiecesName(std::string_view name)
{
    const std::size_t slash = name.find_last_of('/');
    const std::size_t base = slash == std::string_view::npos ? 0 : slash + 1;
    return std::string(name.substr(0, base)).append("GNUSparseFile.0/").append(name.substr(base));
}

// A name split over the prefix field makes the header a POSIX one, whose
// version readers look at before they take the prefix.
void CTarHeader::PutName(std::string_view name)
{
    const std::size_t split = PrefixSplit(name);
    if (split == std::string_view::npos)
        return;
    std::fill_n(m_record.begin() + kNameOffset, TAR_NAME_SIZE, 0);
    PutText(kNameOffset, name.substr(split + 1), TAR_NAME_SIZE);
    PutText(kPrefixOffset, name.substr(0, split), kPrefixSize);
    PutText(kVersionOffset, "00", 2);
}

void CTarHeader::PutOwner(const STarMember& member)
{
    PutOctal(kModeOffset, member.nMode & 07777);
    PutOctal(kUidOffset, std::min(member.nUid, kMaxOctalId));
    PutOctal(kGidOffset, std::min(member.nGid, kMaxOctalId));
    for (const std::size_t offset : {kUserNameOffset, kGroupNameOffset})
        std::fill_n(m_record.begin() + offset, kOwnNameLength + 1, 0);
    PutText(kUserNameOffset, member.strUserName, kOwnNameLength);
    PutText(kGroupNameOffset, member.strGroupName, kOwnNameLength);
}

// Seven digits with leading zeros and the field's terminator, as every
// writer of numeric ids does.
void CTarHeader::PutOctal(std::size_t offset, std::uint32_t value)
{
    char digits[kIdWidth];
    const std::size_t count = static_cast<std::size_t>(
        std::to_chars(digits, digits + sizeof digits, value, 8).ptr - digits);
    std::uint8_t* field = m_record.data() + offset;
    std::fill_n(field, kIdWidth - 1 - count, '0');
    std::memcpy(field + kIdWidth - 1 - count, digits, count);
    field[kIdWidth - 1] = '\0';
}

void CTarHeader::BuildExtended(const CTarHeader& member, std::uint64_t dataSize,
                               const CTarSettings& settings)
{
    // Readers that do not know the type extract it as a file: its name keeps
    // it apart from the member.
    const std::string_view name = member.GetText(kNameOffset, TAR_NAME_SIZE);
    const std::string_view base = name.substr(name.find_last_of('/') + 1);
    Fill(std::string("PaxHeader/").append(base), dataSize, member.GetTime(), 'x',
         settings.m_strFileMode, settings);
    PutChecksum();
}

void CTarHeader::Fill(std::string_view name, std::uint64_t size, std::uint32_t mtime, char type,
                      const std::string& mode, const CTarSettings& settings)
{
    m_record.fill(0);
    PutText(kNameOffset, name, TAR_NAME_SIZE);
    PutText(kModeOffset, mode, kIdLength);
    PutText(kUidOffset, settings.m_strUserId, kIdLength);
    PutText(kGidOffset, settings.m_strGroupId, kIdLength);
    PutNumber(kSizeOffset, size);
    PutNumber(kTimeOffset, mtime);
    m_record[kTypeOffset] = static_cast<std::uint8_t>(type);
    // The NUL after the magic and the two version bytes stay zero.
    PutText(kMagicOffset, kUstarMagic, kUstarMagic.size());
    PutText(kUserNameOffset, settings.m_strUserName, kOwnerNameLength);
    PutText(kGroupNameOffset, settings.m_strGroupName, kOwnerNameLength);
}

void CTarHeader::PutText(std::size_t offset, std::string_view text, std::size_t maxLength)
{
    const std::size_t length = std::min(text.size(), maxLength);
    std::memcpy(m_record.data() + offset, text.data(), length);
}

void CTarHeader::PutNumber(std::size_t offset, std::uint64_t value)
{
    std::uint8_t* field = m_record.data() + offset;
    if (value <= TAR_MAX_OCTAL_SIZE)
    {
        // At most 11 digits: the field's last byte stays zero as the terminator.
        char* text = reinterpret_cast<char*>(field);
        std::to_chars(text, text + kNumberWidth - 1, value, 8);
        return;
    }
    field[0] = kBase256Flag;
    for (std::size_t i = kNumberWidth - 1; i > 0; --i, value >>= 8)
        field[i] = static_cast<std::uint8_t>(value & 0xFF);
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
    const std::string_view name = GetText(kNameOffset, TAR_NAME_SIZE);
    const std::string_view prefix = IsPosix() ? GetText(kPrefixOffset, kPrefixSize) : "";
    if (prefix.empty())
        return ToNativeName(name, style);
    return ToNativeName(std::string(prefix).append("/").append(name), style);
}

std::string_view CTarHeader::GetText(std::size_t offset, std::size_t width) const
{
    const auto* text = reinterpret_cast<const char*>(m_record.data() + offset);
    const auto* end = std::find(text, text + width, '\0');
    return std::string_view(text, static_cast<std::size_t>(end - text));
}

bool CTarHeader::IsPosix() const
{
    return std::equal(kPosixMagic.begin(), kPosixMagic.end(), m_record.begin() + kMagicOffset,
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

char CTarHeader::GetType() const
{
    return static_cast<char>(m_record[kTypeOffset]);
}

std::string CTarHeader::GetLinkName() const
{
    return std::string(GetText(kLinkOffset, TAR_NAME_SIZE));
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

std::optional<std::uint32_t> CTarHeader::GetMode() const
{
    if (!HoldsNumber(kModeOffset, kIdWidth))
        return std::nullopt;
    const std::uint64_t mode = ParseNumber(kModeOffset, kIdWidth);
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(mode, std::numeric_limits<std::uint32_t>::max()));
}

bool CTarHeader::AddSparseEntries(bool extension, CSparseMap& map) const
{
    const std::size_t first = extension ? 0 : kSparseOffset;
    const std::size_t count = extension ? kExtensionEntries : kSparseEntries;
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::size_t offset = first + i * 2 * kNumberWidth;
        const std::size_t size = offset + kNumberWidth;
        if (m_record[size] == 0)
            break;
        if (!HoldsNumber(offset, kNumberWidth) || !HoldsNumber(size, kNumberWidth))
        {
            map.m_bDamaged = true;
            break;
        }
        map.m_regions.push_back({ParseNumber(offset, kNumberWidth), ParseNumber(size, kNumberWidth)});
    }
    return m_record[extension ? kExtensionMoreOffset : kSparseMoreOffset] != 0;
}

std::uint64_t CTarHeader::GetSparseRealSize() const
{
    return ParseNumber(kSparseRealSizeOffset, kNumberWidth);
}

bool CTarHeader::HoldsNumber(std::size_t offset, std::size_t width) const
{
    const std::uint8_t* field = m_record.data() + offset;
    const std::uint8_t* end = field + width;
    const std::uint8_t* first = std::find_if(field, end, [](std::uint8_t b) { return b != ' '; });
    return first != end && ((*first >= '0' && *first <= '7') || (*first & kBase256Flag));
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

std::string CTarHeader::ToArchiveName(std::string_view nativePath, bool relative, EPathStyle style)
{
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
