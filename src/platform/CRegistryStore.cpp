#include "platform/CRegistryStore.h"

#include "platform/CSystemError.h"

#ifdef _WIN32
#include <windows.h>

namespace
{

HKEY Native(void* hKey)
{
    return static_cast<HKEY>(hKey);
}

bool Succeeded(LONG result)
{
    if (result == ERROR_SUCCESS)
        return true;
    CSystemError::SetLast(static_cast<DWORD>(result));
    return false;
}

} // namespace

bool CRegistryStore::Open(ERegistryRoot /*root*/, const std::string& path, DWORD access)
{
    Close();
    HKEY hKey = nullptr;
    const LONG result =
        (access & KEY_CREATE_SUB_KEY)
            ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, access, nullptr, &hKey, nullptr)
            : ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &hKey);
    if (!Succeeded(result))
        return false;
    m_hKey = hKey;
    return true;
}

void CRegistryStore::Close()
{
    if (m_hKey != nullptr)
        ::RegCloseKey(Native(m_hKey));
    m_hKey = nullptr;
}

bool CRegistryStore::IsOpen() const
{
    return m_hKey != nullptr;
}

bool CRegistryStore::QueryValue(const std::string& name, DWORD& type, void* buffer,
                                std::uint32_t& size) const
{
    DWORD nativeType = REG_NONE;
    DWORD nativeSize = size;
    const LONG result = ::RegQueryValueExA(Native(m_hKey), name.c_str(), nullptr, &nativeType,
                                           static_cast<BYTE*>(buffer), &nativeSize);
    type = nativeType;
    size = nativeSize;
    return Succeeded(result);
}

bool CRegistryStore::SetValue(const std::string& name, DWORD type, const void* data,
                              std::uint32_t size)
{
    return Succeeded(::RegSetValueExA(Native(m_hKey), name.c_str(), 0, type,
                                      static_cast<const BYTE*>(data), size));
}

bool CRegistryStore::DeleteValue(const std::string& name)
{
    return Succeeded(::RegDeleteValueA(Native(m_hKey), name.c_str()));
}

#else
#include "platform/CFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr char kValueSuffix[] = ".value";
// The first key below the user's root that every application's settings sit
// under; the configuration folder already plays that part.
constexpr char kSoftwareKey[] = "Software";
constexpr std::uint32_t kTypeBytes = 4;

bool Fail(DWORD code)
{
    CSystemError::SetLast(code);
    return false;
}

// Keeps a name to letters, digits, '-' and '_', so that no key or value
// name can reach outside its folder or clash with a temporary file.
std::string Escape(const std::string& name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : name)
    {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '_')
        {
            escaped += c;
            continue;
        }
        escaped += '%';
        escaped += kHex[byte >> 4];
        escaped += kHex[byte & 0x0F];
    }
    return escaped;
}

// The folder that holds the current user's keys: $XDG_CONFIG_HOME when it is
// an absolute path (relative ones are to be ignored), else ~/.config.
bool ConfigHome(std::string& folder)
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/')
    {
        folder = configHome;
        return true;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        return Fail(ERROR_PATH_NOT_FOUND);
    folder = std::string(home) + "/.config";
    return true;
}

// The folder of a key path; empty components are refused as the registry
// refuses them.
bool KeyFolder(const std::string& path, std::string& folder)
{
    if (!ConfigHome(folder))
        return false;
    if (path.empty())
        return true;
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string component = path.substr(start, end - start);
        if (component.empty())
            return Fail(ERROR_INVALID_NAME);
        if (!(start == 0 && component == kSoftwareKey))
            folder += "/" + Escape(component);
        if (end == path.size())
            return true;
        start = end + 1;
    }
}

bool IsFolder(const std::string& path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool CreateFolders(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
    {
        CSystemError::SetLastFromErrno(error.value());
        return false;
    }
    return true;
}

// A name no other writer uses at the same moment, in the value's folder.
std::string TemporaryName(const std::string& valueFile)
{
    static std::atomic<unsigned> s_counter{0};
    return valueFile + "." + std::to_string(::getpid()) + "." + std::to_string(++s_counter) +
           ".tmp";
}

void PutU32(std::uint8_t* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* bytes)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

bool WriteValueFile(const std::string& path, DWORD type, const void* data, std::uint32_t size)
{
    std::uint8_t header[kTypeBytes];
    PutU32(header, type);
    CFile file;
    return file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::modeNoFollow) &&
           file.Write(header, kTypeBytes) && file.Write(data, size) && file.Flush() && file.Close();
}

} // namespace

bool CRegistryStore::Open(ERegistryRoot /*root*/, const std::string& path, DWORD access)
{
    Close();
    std::string folder;
    if (!KeyFolder(path, folder))
        return false;
    if (!IsFolder(folder))
    {
        if (!(access & KEY_CREATE_SUB_KEY))
            return Fail(ERROR_FILE_NOT_FOUND);
        if (!CreateFolders(folder))
            return false;
    }
    m_strFolder = folder;
    m_dwAccess = access;
    m_bOpen = true;
    return true;
}

void CRegistryStore::Close()
{
    m_bOpen = false;
    m_strFolder.clear();
    m_dwAccess = 0;
}

bool CRegistryStore::IsOpen() const
{
    return m_bOpen;
}

bool CRegistryStore::CheckAccess(DWORD needed) const
{
    if (!m_bOpen)
        return Fail(ERROR_INVALID_HANDLE);
    if ((m_dwAccess & needed) != needed)
        return Fail(ERROR_ACCESS_DENIED);
    return true;
}

std::string CRegistryStore::ValueFile(const std::string& name) const
{
    return m_strFolder + "/" + Escape(name) + kValueSuffix;
}

bool CRegistryStore::QueryValue(const std::string& name, DWORD& type, void* buffer,
                                std::uint32_t& size) const
{
    if (!CheckAccess(KEY_QUERY_VALUE))
        return false;
    CFile file;
    std::uint64_t length = 0;
    if (!file.Open(ValueFile(name), CFile::modeRead) || !file.GetLength(length))
        return false;
    if (length < kTypeBytes || length - kTypeBytes > UINT32_MAX)
        return Fail(ERROR_INVALID_DATA);
    std::uint8_t header[kTypeBytes];
    std::uint32_t done = 0;
    if (!file.Read(header, kTypeBytes, done))
        return false;
    const auto dataSize = static_cast<std::uint32_t>(length - kTypeBytes);
    type = GetU32(header);
    const std::uint32_t room = size;
    size = dataSize;
    if (buffer == nullptr)
        return true;
    if (room < dataSize)
        return Fail(ERROR_MORE_DATA);
    if (!file.Read(buffer, dataSize, done))
        return false;
    // The file shrank under us: only a writer outside this store can do that.
    return done == dataSize || Fail(ERROR_INVALID_DATA);
}

bool CRegistryStore::SetValue(const std::string& name, DWORD type, const void* data,
                              std::uint32_t size)
{
    if (!CheckAccess(KEY_SET_VALUE))
        return false;
    const std::string target = ValueFile(name);
    const std::string temporary = TemporaryName(target);
    if (WriteValueFile(temporary, type, data, size))
    {
        if (std::rename(temporary.c_str(), target.c_str()) == 0)
            return true;
        CSystemError::SetLastFromErrno(errno);
    }
    // The value stays as it was; only the half-made copy goes.
    const DWORD code = CSystemError::GetLast();
    CFile::Remove(temporary);
    CSystemError::SetLast(code);
    return false;
}

bool CRegistryStore::DeleteValue(const std::string& name)
{
    return CheckAccess(KEY_SET_VALUE) && CFile::Remove(ValueFile(name));
}

#endif

CRegistryStore::~CRegistryStore()
{
    Close();
}
