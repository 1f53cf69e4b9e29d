#pragma once
#include "platform/WinError.h"

#include <cstdint>
#include <string>

// The roots a key path starts from. Our own constants: the Windows names are
// macros of its system headers, which stay out of every header.
enum class ERegistryRoot
{
    CurrentUser // HKEY_CURRENT_USER
};

// Value types and access rights under their Windows names and values. On
// Windows the system headers may already have them as macros of the same
// value.
#ifndef REG_SZ
inline constexpr DWORD REG_SZ = 1;
#endif
#ifndef REG_BINARY
inline constexpr DWORD REG_BINARY = 3;
#endif
#ifndef REG_DWORD
inline constexpr DWORD REG_DWORD = 4;
#endif
#ifndef KEY_QUERY_VALUE
inline constexpr DWORD KEY_QUERY_VALUE = 0x0001;
#endif
#ifndef KEY_SET_VALUE
inline constexpr DWORD KEY_SET_VALUE = 0x0002;
#endif
#ifndef KEY_CREATE_SUB_KEY
inline constexpr DWORD KEY_CREATE_SUB_KEY = 0x0004;
#endif
#ifndef KEY_READ
inline constexpr DWORD KEY_READ = 0x20019;
#endif
#ifndef KEY_WRITE
inline constexpr DWORD KEY_WRITE = 0x20006;
#endif
#ifndef KEY_ALL_ACCESS
inline constexpr DWORD KEY_ALL_ACCESS = 0xF003F;
#endif

// One open key of the user's stored settings: keys holding named, typed
// values. On Windows it is the system registry. Elsewhere the same model
// lives in files: the key "Software\A\B" below the current user is the
// folder $XDG_CONFIG_HOME/A/B (default ~/.config/A/B), each further key a
// folder below it, and each value one file "<name>.value" in its key's
// folder, holding the type (32-bit little-endian) and then the data. Bytes
// of a value name other than letters, digits, '-' and '_' are written as
// %XX, so no name can step out of its folder. A value is replaced
// atomically: a temporary file in the same folder is written, flushed and
// renamed over it, so a crash leaves the old value or the new, never a mix.
//
// Whoever opens a key owns it; the destructor closes it. Failures answer
// false and leave the Windows code in CSystemError, as the registry calls
// return theirs.
class CRegistryStore
{
public:
    CRegistryStore() = default;
    ~CRegistryStore();
    CRegistryStore(const CRegistryStore&) = delete;
    CRegistryStore& operator=(const CRegistryStore&) = delete;

    // Closes any open key first. With KEY_CREATE_SUB_KEY among the rights a
    // missing key is created; otherwise it is ERROR_FILE_NOT_FOUND.
    bool Open(ERegistryRoot root, const std::string& path, DWORD access);
    void Close();
    bool IsOpen() const;

    // As the registry does it: without a buffer only size is filled in; a
    // buffer smaller than the data is ERROR_MORE_DATA with size set to what
    // the data needs. A missing value is ERROR_FILE_NOT_FOUND.
    bool QueryValue(const std::string& name, DWORD& type, void* buffer, std::uint32_t& size) const;
    bool SetValue(const std::string& name, DWORD type, const void* data, std::uint32_t size);
    bool DeleteValue(const std::string& name);

private:
#ifdef _WIN32
    void* m_hKey = nullptr;
#else
    // Refuses with ERROR_ACCESS_DENIED, as the registry does, a call the key
    // was not opened for.
    bool CheckAccess(DWORD needed) const;
    std::string ValueFile(const std::string& name) const;

    bool m_bOpen = false;
    std::string m_strFolder;
    DWORD m_dwAccess = 0;
#endif
};
