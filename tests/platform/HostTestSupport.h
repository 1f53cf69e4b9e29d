#pragma once
// What the platform tests need to know about the host they run on.

#include "support/CTestFolder.h"

#include <filesystem>
#include <string>

// A name inside the test folder in the host's own form: on Windows every
// slash becomes a backslash, so the system sees names as users write them.
inline std::string NativePath(const CTestFolder& folder, const std::string& name)
{
    return (folder.Path() / name).make_preferred().string();
}

#ifdef _WIN32
#include <windows.h>

// The system's own text for a code, asked for apart from CSystemError: the
// system sizes the buffer itself.
inline std::string SystemText(DWORD code)
{
    char* buffer = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                         reinterpret_cast<char*>(&buffer), 0, nullptr);
    const std::string text = length == 0 ? std::string() : std::string(buffer, length);
    ::LocalFree(buffer);
    return text;
}

// Wine answers some calls more leniently than Windows: it lets a folder held
// without delete sharing be renamed.
inline bool RunsUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline constexpr char kNoSymbolicLinks[] =
    "symbolic links cannot be made here: the C++ library does not make them on Windows, "
    "and Wine 8 only pretends to";
#else
inline constexpr char kOnlyOnWindows[] = "drive letters and backslashes belong to Windows";
#endif
