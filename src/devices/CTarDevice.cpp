#include "devices/CTarDevice.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CTarHeader.h"
#include "platform/CFile.h"

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

void CTarDevice::StageEntry(const unsigned char* header, CFile* contents, const RecordSink& put)
{
    Record staging{};
    std::copy_n(header, RECORD_SIZE, staging.begin());
    put(staging, 0);
    if (!contents)
        return;
    // The header decides how many records follow: had the data run longer or
    // shorter than it says, no later header could be found.
    CTarHeader decoded;
    std::copy_n(header, RECORD_SIZE, decoded.Bytes().begin());
    const std::uint64_t size = decoded.GetSize();
    for (std::uint64_t written = 0; written < size; written += RECORD_SIZE)
    {
        const auto payload =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(size - written, RECORD_SIZE));
        // Cleared each time, so a file that shrank pads with zeros rather than
        // with bytes of the record before.
        staging.fill(0);
        std::uint32_t got = 0;
        if (!contents->Read(staging.data(), payload, got))
            throw COsException();
        put(staging, static_cast<std::int32_t>(payload));
    }
}
