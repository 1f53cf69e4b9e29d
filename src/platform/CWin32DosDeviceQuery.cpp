#include "platform/CWin32DosDeviceQuery.h"

#ifdef _WIN32
#include <windows.h>

bool CWin32DosDeviceQuery::Exists(const std::string& deviceName) const
{
    // Only whether the name is mapped matters, not what it is mapped to.
    char target[1024];
    return ::QueryDosDeviceA(deviceName.c_str(), target, sizeof target) != 0;
}
#endif
