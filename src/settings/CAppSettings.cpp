#include "settings/CAppSettings.h"

#include "core/CBinaryStream.h"
#include "core/CException.h"
#include "core/CGenericException.h"
#include "settings/CRegistryKey.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace
{

constexpr char kKeyPath[] = "Software\\Hessadyne\\Vorkant";
constexpr char kValueName[] = "AppState";
constexpr std::uint16_t kSchema = 4;
constexpr std::int32_t kMinTerminatingRecords = 1;
constexpr std::int32_t kMaxTerminatingRecords = 32767;
constexpr std::size_t kWidthBytes = 4;

std::string CurrentFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

void StorePlacement(CBinaryStream& stream, const SWindowPlacement& p)
{
    stream.WriteU32(p.length);
    stream.WriteU32(p.flags);
    stream.WriteU32(p.showCmd);
    for (const std::int32_t value :
         {p.minX, p.minY, p.maxX, p.maxY, p.normalLeft, p.normalTop, p.normalRight, p.normalBottom})
        stream.WriteI32(value);
}

SWindowPlacement LoadPlacement(CBinaryStream& stream)
{
    SWindowPlacement p;
    p.length = stream.ReadU32();
    p.flags = stream.ReadU32();
    p.showCmd = stream.ReadU32();
    for (std::int32_t* value : {&p.minX, &p.minY, &p.maxX, &p.maxY, &p.normalLeft, &p.normalTop,
                                &p.normalRight, &p.normalBottom})
        *value = stream.ReadI32();
    return p;
}

void StoreWidths(CBinaryStream& stream, const std::vector<std::uint32_t>& widths)
{
    stream.WriteCount(static_cast<std::uint32_t>(widths.size()));
    for (const std::uint32_t width : widths)
        stream.WriteU32(width);
}

// The count is checked against the bytes left before anything is reserved,
// so a damaged count cannot ask for more memory than the value holds.
std::vector<std::uint32_t> LoadWidths(CBinaryStream& stream)
{
    const std::uint32_t count = stream.ReadCount(kWidthBytes);
    std::vector<std::uint32_t> widths;
    widths.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        widths.push_back(stream.ReadU32());
    return widths;
}

void StoreStrings(CBinaryStream& stream, const std::vector<std::string>& texts)
{
    stream.WriteCount(static_cast<std::uint32_t>(texts.size()));
    for (const std::string& text : texts)
        stream.WriteString(text);
}

std::vector<std::string> LoadStrings(CBinaryStream& stream)
{
    // Every stored string takes at least its one-byte length.
    const std::uint32_t count = stream.ReadCount(1);
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        texts.push_back(stream.ReadString());
    return texts;
}

} // namespace

CAppSettings::CAppSettings() : m_strExtractFolder(CurrentFolder())
{
}

CAppSettings::~CAppSettings()
{
    UnadviseAll();
}

void CAppSettings::Load()
{
    try
    {
        CRegistryKey key;
        key.Open(ERegistryRoot::CurrentUser, kKeyPath, KEY_ALL_ACCESS);
        key.LoadObject(kValueName, [this](CBinaryStream& stream) { Load(stream); });
    }
    catch (const CException&)
    {
        // Missing or damaged settings: the program runs on what it has.
    }
    // The scan would never end on 0 records, and the editors never allow
    // more than this: a value from elsewhere is brought back into range.
    m_tarSettings.m_nTerminatingRecords = std::clamp(
        m_tarSettings.m_nTerminatingRecords, kMinTerminatingRecords, kMaxTerminatingRecords);
}

void CAppSettings::Save()
{
    try
    {
        CRegistryKey key;
        key.Open(ERegistryRoot::CurrentUser, kKeyPath, KEY_ALL_ACCESS);
        key.StoreObject(kValueName, [this](CBinaryStream& stream) { Store(stream); });
    }
    catch (const CException&)
    {
        // Nothing to tell the user at shut-down; the settings are lost.
    }
}

void CAppSettings::NotifyChanged(int code)
{
    SSettingsChanged record{code, this};
    FireEvent(&record);
}

void CAppSettings::Store(CBinaryStream& stream)
{
    stream.WriteU16(kSchema);
    for (const std::int32_t value : {m_bAutoSizeColumns, m_bRelativePaths, m_nCatalogPaneHeight,
                                     m_nBlockingFactor, m_bAutoListTapes})
        stream.WriteI32(value);
    stream.WriteString(m_strIndexFileName);
    for (const std::int32_t value : {m_bUseIndexFile, m_bNoAssocPrompt, m_bUseExplorer,
                                     m_bShowFinishedDialog, m_nTapeDevice, m_bVariableBlocking})
        stream.WriteI32(value);
    stream.WriteString(m_strExtractFolder);
    stream.WriteI32(m_bUseCompression);
    StorePlacement(stream, m_windowPlacement);
    StoreWidths(stream, m_columnWidths);
    StoreWidths(stream, m_reservedWidths);
    StoreStrings(stream, m_extractSpecs);
    m_tarSettings.m_bHasVersion = 1;
    m_tarSettings.Store(stream);
}

void CAppSettings::Load(CBinaryStream& stream)
{
    const std::uint16_t schema = stream.ReadU16();
    if (schema < 1 || schema > kSchema)
        throw CGenericException("Unknown settings schema.");
    for (std::int32_t* field : {&m_bAutoSizeColumns, &m_bRelativePaths, &m_nCatalogPaneHeight,
                                &m_nBlockingFactor, &m_bAutoListTapes})
        *field = stream.ReadI32();
    m_strIndexFileName = stream.ReadString();
    for (std::int32_t* field :
         {&m_bUseIndexFile, &m_bNoAssocPrompt, &m_bUseExplorer, &m_bShowFinishedDialog})
        *field = stream.ReadI32();
    if (schema >= 2)
    {
        m_nTapeDevice = stream.ReadI32();
        m_bVariableBlocking = stream.ReadI32();
    }
    if (schema >= 3)
    {
        m_strExtractFolder = stream.ReadString();
        m_bUseCompression = stream.ReadI32();
    }
    m_windowPlacement = LoadPlacement(stream);
    m_columnWidths = LoadWidths(stream);
    m_reservedWidths = LoadWidths(stream);
    m_extractSpecs = LoadStrings(stream);
    m_tarSettings.m_bHasVersion = schema >= 4 ? 1 : 0;
    m_tarSettings.Load(stream);
}
