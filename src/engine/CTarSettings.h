#pragma once
#include "codec/ECodecKind.h"

#include <cstdint>
#include <string>

class CBinaryStream;

// What the engine puts into every header it writes (permission, owner and
// group values, or each file's own), how many consecutive empty records end
// a scan, and whether new archives are written byte-swapped. The application settings hold the
// master copy and store it; the engine owns a second copy that the document
// refreshes by assignment and that the engine only reads.
class CTarSettings
{
public:
    CTarSettings() = default;
    CTarSettings(const CTarSettings&) = default;
    // Copies every value but m_bHasVersion, which belongs to the stored
    // record being loaded, not to the settings.
    CTarSettings& operator=(const CTarSettings& other);

    // Writes version 4 with every field.
    void Store(CBinaryStream& stream) const;
    // Reads what the stored version holds; fields it lacks keep their values.
    // A failure partway leaves the fields read so far in place.
    void Load(CBinaryStream& stream);

    std::string m_strFileMode = "644";
    std::string m_strDirMode = "755";
    std::string m_strUserId = "1750";
    std::string m_strGroupId = "12";
    std::string m_strUserName = "user";
    std::string m_strGroupName = "other";
    std::int32_t m_nTerminatingRecords = 10;
    // Set by the enclosing record before Load: whether a version word leads.
    std::int32_t m_bHasVersion = 1;
    std::int32_t m_bSgiFormat = 0;
    // Headers carry each file's own permission bits, owner and group where
    // the host has them, instead of the values above. Windows files have
    // none of these: there it is off by default and changes nothing.
#ifdef _WIN32
    static constexpr std::int32_t kOwnPermissionsByDefault = 0;
#else
    static constexpr std::int32_t kOwnPermissionsByDefault = 1;
#endif
    std::int32_t m_bOwnPermissions = kOwnPermissionsByDefault;
    // A file with holes is written as a sparse member that stores only its
    // data; off, its holes are stored as the zeros they read as.
    std::int32_t m_bSparse = 1;
    // For one run, never stored: what a new disk archive is compressed
    // with whatever its name says (None leaves it to the name's suffix),
    // and at which level (0 for the kind's own).
    ECodecKind m_compression = ECodecKind::None;
    std::int32_t m_nCompressionLevel = 0;
};
