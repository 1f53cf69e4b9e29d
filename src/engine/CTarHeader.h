#pragma once
#include "platform/PathStyle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class CSparseMap;
class CTarSettings;
struct STarMember;

// Archives, reads, writes and seeks are all counted in records of this size.
inline constexpr std::size_t TAR_RECORD_SIZE = 512;
// The longest member name (and link target) the name field holds.
inline constexpr std::size_t TAR_NAME_SIZE = 100;
// The largest size the size field holds in octal (11 digits, 8 GiB - 1);
// a bigger file's size also goes into an extended header before its own.
inline constexpr std::uint64_t TAR_MAX_OCTAL_SIZE = 077777777777;

enum class ETarHeaderKind
{
    NotHeader,
    Valid,        // standard layout, with or without magic
    ValidSwapped, // every byte pair exchanged, as some SGI tape drives deliver it
};

// One 512-byte tar header record: builds the ustar header of a new member and
// decodes the fields of a header found in an archive. The engine keeps one as
// its record buffer for a whole scan, reading each record straight into
// Bytes(). Also holds the two conversions of member names between archive
// form (slashes, no drive) and native form.
class CTarHeader
{
public:
    using Record = std::array<std::uint8_t, TAR_RECORD_SIZE>;

    // A record of zeros.
    CTarHeader() = default;

    Record& Bytes() { return m_record; }
    const Record& Bytes() const { return m_record; }

    // Fills the record for a new member; only a file stores a size. A name
    // of up to 100 characters goes into the name field as it is; a longer
    // one is split between the prefix and name fields at a slash where it
    // can be, and otherwise cut, its whole self then in the extended
    // header (ExtendedData) that must precede the member. So are a link
    // target longer than its field, an owner's id or name too long for its
    // own, and a size beyond TAR_MAX_OCTAL_SIZE, which the size field holds
    // in base-256 as well. A sparse file's header names its stored pieces;
    // the extended header names the file.
    void Build(const STarMember& member, const CTarSettings& settings);
    // The records of the extended header the member needs, or nothing when
    // its own header holds all it says.
    static std::string ExtendedData(const STarMember& member);
    // Fills the record for an extended header of dataSize bytes that goes
    // before the member's own header.
    void BuildExtended(const CTarHeader& member, std::uint64_t dataSize,
                       const CTarSettings& settings);

    // Whether the record, as read, is a header, and in which layout. The
    // checksum is not verified.
    ETarHeaderKind Classify() const;
    // Exchanges bytes 0 and 1, 2 and 3, ...; a trailing odd byte stays.
    void SwapBytePairs() { SwapBytePairs(m_record); }
    static void SwapBytePairs(std::span<std::uint8_t> buffer);

    // The member's name in native form: the name field (to its first NUL, at
    // most 100 characters), after the prefix field and a slash when a POSIX
    // header fills that. Older GNU headers keep other data there.
    std::string GetName(EPathStyle style = kHostPathStyle) const;
    char GetType() const;
    // The link target field, to its first NUL, as stored (archive form).
    std::string GetLinkName() const;
    // Octal digits after leading blanks, or GNU base-256 binary. 64 bits wide
    // so that a size beyond 32 bits is seen as such; a value beyond 64 bits
    // (or a negative one) reads as the largest 64-bit value.
    std::uint64_t GetSize() const;
    // Parsed like the size; a time beyond 32 bits reads as the largest one.
    std::uint32_t GetTime() const;
    // The mode field parsed like the size, every bit as stored; nothing when
    // the field holds no number at all, as some writers leave it.
    std::optional<std::uint32_t> GetMode() const;

    // An old-style sparse member's ('S') map: the entries of its header, or
    // of an extension record after it (extension), added to map up to the
    // first empty one (an entry that holds no number damages the map); and
    // whether another extension record follows.
    bool AddSparseEntries(bool extension, CSparseMap& map) const;
    // An old-style sparse member's whole size.
    std::uint64_t GetSparseRealSize() const;

    // The name used in messages for a type character: "file", "directory", ...
    static const char* GetTypeName(char type);

    // A native path to archive form, of any length. Relative mode also
    // drops every leading slash.
    static std::string ToArchiveName(std::string_view nativePath, bool relative,
                                     EPathStyle style = kHostPathStyle);
    // An archive name to native form: slashes become the style's separator.
    static std::string ToNativeName(std::string_view archiveName,
                                    EPathStyle style = kHostPathStyle);

private:
    void Fill(std::string_view name, std::uint64_t size, std::uint32_t mtime, char type,
              const std::string& mode, const CTarSettings& settings);
    // The name a sparse member's header gives its stored pieces.
    static std::string PiecesName(std::string_view name);
    void PutName(std::string_view name);
    void PutOwner(const STarMember& member);
    void PutOctal(std::size_t offset, std::uint32_t value);
    void PutText(std::size_t offset, std::string_view text, std::size_t maxLength);
    void PutNumber(std::size_t offset, std::uint64_t value);
    std::string_view GetText(std::size_t offset, std::size_t width) const;
    bool IsPosix() const;
    void PutChecksum();
    std::uint64_t ParseNumber(std::size_t offset, std::size_t width) const;
    // Whether the field starts, after blanks, as a number does.
    bool HoldsNumber(std::size_t offset, std::size_t width) const;
    bool HasMagic(bool swapped) const;

    Record m_record{};
};
