#pragma once
#include "platform/CRegistryReader.h"

#ifdef _WIN32
// The system's registry below HKEY_LOCAL_MACHINE, read through the Win32
// calls. It holds nothing itself: each key it opens owns its handle. Tape
// discovery makes one for the length of the walk.
class CWin32RegistryReader : public CRegistryReader
{
public:
    std::unique_ptr<CKey> OpenKey(const std::string& path) const override;
};
#endif
