#pragma once
#include "core/CEventHandler.h"
#include "engine/CTarSettings.h"
#include "settings/SSettingsChanged.h"
#include "settings/SWindowPlacement.h"

#include <cstdint>
#include <string>
#include <vector>

class CBinaryStream;

// Every user preference that survives a restart, the archive settings among
// them, stored together as the binary value "AppState" of the key
// "Software\Hessadyne\Vorkant" below the current user. Windows that depend
// on a preference Advise for SSettingsChanged, which NotifyChanged sends
// after an editor changed something. The application owns the one instance;
// everything else reaches it through the application.
class CAppSettings : public CEventHandler
{
public:
    CAppSettings();
    ~CAppSettings() override;
    CAppSettings(const CAppSettings&) = default;
    CAppSettings& operator=(const CAppSettings&) = default;

    // Reads "AppState". The program must run without it: any failure ends
    // the load quietly, and what was read before it stays.
    void Load();
    // Writes "AppState", creating the key when missing; a failure is quiet.
    void Save();
    // Sends SSettingsChanged with the code to every client.
    void NotifyChanged(int code);

    // Always the newest schema, every field present.
    void Store(CBinaryStream& stream);
    // Reads any schema from 1 on; fields an older schema lacks keep their
    // values, and so does a field whose stored form is damaged.
    void Load(CBinaryStream& stream);

    std::int32_t m_bAutoSizeColumns = 1;
    std::int32_t m_bRelativePaths = 1;
    std::int32_t m_nCatalogPaneHeight = 150;
    std::int32_t m_nBlockingFactor = 20;
    std::int32_t m_bAutoListTapes = 0;
    std::string m_strIndexFileName = "index.txt";
    std::int32_t m_bUseIndexFile = 1;
    std::int32_t m_bNoAssocPrompt = 0;
    std::int32_t m_bUseExplorer = 1;
    std::int32_t m_bShowFinishedDialog = 1;
    std::int32_t m_nTapeDevice = 0;
    std::int32_t m_bVariableBlocking = 0;
    std::string m_strExtractFolder;
    std::int32_t m_bUseCompression = 0;
    SWindowPlacement m_windowPlacement;
    std::vector<std::uint32_t> m_columnWidths;
    std::vector<std::uint32_t> m_reservedWidths;
    std::vector<std::string> m_extractSpecs;
    CTarSettings m_tarSettings;
};
