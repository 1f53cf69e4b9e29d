#include "engine/CTarSettings.h"

#include "core/CBinaryStream.h"

#include <array>

namespace
{

constexpr std::uint16_t kStoredVersion = 4;

// The six strings in stored order, const or not as the settings are.
template <typename TSettings> auto StringsOf(TSettings& settings)
{
    return std::array{&settings.m_strFileMode, &settings.m_strDirMode,  &settings.m_strUserId,
                      &settings.m_strGroupId,  &settings.m_strUserName, &settings.m_strGroupName};
}

} // namespace

CTarSettings& CTarSettings::operator=(const CTarSettings& other)
{
    m_strFileMode = other.m_strFileMode;
    m_strDirMode = other.m_strDirMode;
    m_strUserId = other.m_strUserId;
    m_strGroupId = other.m_strGroupId;
    m_strUserName = other.m_strUserName;
    m_strGroupName = other.m_strGroupName;
    m_nTerminatingRecords = other.m_nTerminatingRecords;
    m_bSgiFormat = other.m_bSgiFormat;
    m_bOwnPermissions = other.m_bOwnPermissions;
    m_bSparse = other.m_bSparse;
    m_compression = other.m_compression;
    m_nCompressionLevel = other.m_nCompressionLevel;
    return *this;
}

void CTarSettings::Store(CBinaryStream& stream) const
{
    stream.WriteU16(kStoredVersion);
    for (const std::string* text : StringsOf(*this))
        stream.WriteString(*text);
    stream.WriteI32(m_nTerminatingRecords);
    stream.WriteI32(m_bSgiFormat);
    stream.WriteI32(m_bOwnPermissions);
    stream.WriteI32(m_bSparse);
}

void CTarSettings::Load(CBinaryStream& stream)
{
    // Records stored before the version word existed begin with the strings.
    const std::uint16_t version = m_bHasVersion ? stream.ReadU16() : 0;
    for (std::string* text : StringsOf(*this))
        *text = stream.ReadString();
    if (version >= 1)
        m_nTerminatingRecords = stream.ReadI32();
    if (version >= 2)
        m_bSgiFormat = stream.ReadI32();
    if (version >= 3)
        m_bOwnPermissions = stream.ReadI32();
    if (version >= 4)
        m_bSparse = stream.ReadI32();
}
