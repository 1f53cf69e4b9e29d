#pragma once
// Gives each settings test case a store of its own. On POSIX the user's
// keys live below XDG_CONFIG_HOME, which points at a fresh folder for the
// length of the case and is put back afterwards. On Windows (and Wine) the
// keys are the registry's: the values the tests write are removed before and
// after each case instead.

#include "core/CException.h"
#include "settings/CRegistryKey.h"
#include "support/CTestFolder.h"

#include <cstdlib>
#include <optional>
#include <string>

inline constexpr char kVorkantKey[] = "Software\\Hessadyne\\Vorkant";

class CSettingsTestHome
{
public:
    CSettingsTestHome()
    {
        if (const char* previous = std::getenv(kVariable))
            m_previous = previous;
        Put(m_folder.Path().string());
        RemoveTestValues();
    }
    ~CSettingsTestHome()
    {
        RemoveTestValues();
        Put(m_previous.value_or(std::string()));
    }
    CSettingsTestHome(const CSettingsTestHome&) = delete;
    CSettingsTestHome& operator=(const CSettingsTestHome&) = delete;

    // The folder of kVorkantKey in the file-backed store.
    std::string KeyFolder() const { return m_folder / "Hessadyne/Vorkant"; }
    const CTestFolder& Folder() const { return m_folder; }

private:
    static constexpr char kVariable[] = "XDG_CONFIG_HOME";

    // An empty text removes the variable.
    static void Put(const std::string& value)
    {
#ifdef _WIN32
        _putenv_s(kVariable, value.c_str());
#else
        if (value.empty())
            unsetenv(kVariable);
        else
            setenv(kVariable, value.c_str(), 1);
#endif
    }

    static void RemoveTestValues()
    {
#ifdef _WIN32
        for (const char* name : {"AppState", "Binary", "Text", "Number", "Empty", "Object"})
        {
            try
            {
                CRegistryKey key;
                key.Open(ERegistryRoot::CurrentUser, kVorkantKey, KEY_ALL_ACCESS);
                key.DeleteValue(name);
            }
            catch (const CException&)
            {
                // Not there: nothing to remove.
            }
        }
#endif
    }

    CTestFolder m_folder;
    std::optional<std::string> m_previous;
};
