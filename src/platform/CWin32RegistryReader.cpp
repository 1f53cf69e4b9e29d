#include "platform/CWin32RegistryReader.h"

#ifdef _WIN32
#include <algorithm>
#include <vector>
#include <windows.h>

namespace
{

class CWin32Key : public CRegistryReader::CKey
{
public:
    explicit CWin32Key(HKEY hKey) : m_hKey(hKey) {}
    ~CWin32Key() override { ::RegCloseKey(m_hKey); }
    CWin32Key(const CWin32Key&) = delete;
    CWin32Key& operator=(const CWin32Key&) = delete;

    static std::unique_ptr<CKey> Open(HKEY parent, const std::string& name)
    {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<CWin32Key>(hKey);
    }

    std::unique_ptr<CKey> OpenSubKey(const std::string& name) const override
    {
        return Open(m_hKey, name);
    }

    std::optional<std::string> ReadString(const std::string& name,
                                          std::size_t bufferSize) const override
    {
        // Without a buffer the system would answer the size and call it success.
        if (bufferSize == 0)
            return std::nullopt;
        std::vector<char> buffer(bufferSize);
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(bufferSize);
        if (::RegQueryValueExA(m_hKey, name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        // A text may be stored without its terminator; one that fills the
        // whole buffer that way would not have fitted with it.
        const auto stored = buffer.begin() + size;
        const auto end = std::find(buffer.begin(), stored, '\0');
        if (end == stored && size == bufferSize)
            return std::nullopt;
        return std::string(buffer.begin(), end);
    }

private:
    HKEY m_hKey;
};

} // namespace

std::unique_ptr<CRegistryReader::CKey> CWin32RegistryReader::OpenKey(const std::string& path) const
{
    return CWin32Key::Open(HKEY_LOCAL_MACHINE, path);
}
#endif
