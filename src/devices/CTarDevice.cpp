#include "devices/CTarDevice.h"

#include "core/CGenericException.h"

#include <algorithm>
#include <cctype>

bool CTarDevice::CanEject()
{
    return false;
}

void CTarDevice::Eject()
{
    throw CGenericException("Eject not supported on this device.");
}

bool CTarDevice::IsTapeName(const std::string& name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("\\\\.\\tape") != std::string::npos;
}

void CTarDevice::Notify(std::int32_t kind, std::int32_t bytes)
{
    SDeviceEvent event{kind, bytes};
    FireEvent(&event, false);
}
