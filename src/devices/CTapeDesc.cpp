#include "devices/CTapeDesc.h"

#include "platform/CDosDeviceQuery.h"
#include "platform/CRegistryReader.h"
#include "platform/CTapeDrives.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include "platform/CWin32DosDeviceQuery.h"
#include "platform/CWin32RegistryReader.h"
#endif

namespace
{

using Key = std::unique_ptr<CRegistryReader::CKey>;

// Every value is read into a buffer of this size; a longer text is passed over.
constexpr std::size_t kValueBufferSize = 256;
// The device map holds targets and logical units 0 to 14, with gaps.
constexpr DWORD kScsiIds = 15;

std::string Numbered(const char* prefix, DWORD number)
{
    return prefix + std::to_string(number);
}

bool SameLetter(char x, char y)
{
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameLetter);
}

void AddIfTape(const CRegistryReader::CKey& logicalUnit, std::vector<std::string>& identifiers)
{
    const auto type = logicalUnit.ReadString("Type", kValueBufferSize);
    if (!type || !EqualsIgnoringCase(*type, "TapePeripheral"))
        return;
    if (auto identifier = logicalUnit.ReadString("Identifier", kValueBufferSize))
        identifiers.push_back(std::move(*identifier));
}

void WalkBus(const CRegistryReader::CKey& bus, std::vector<std::string>& identifiers)
{
    for (DWORD target = 0; target < kScsiIds; ++target)
    {
        const Key targetKey = bus.OpenSubKey(Numbered("Target Id ", target));
        if (!targetKey)
            continue;
        for (DWORD unit = 0; unit < kScsiIds; ++unit)
        {
            if (const Key unitKey = targetKey->OpenSubKey(Numbered("Logical Unit Id ", unit)))
                AddIfTape(*unitKey, identifiers);
        }
    }
}

// The identifiers of the SCSI tape units in port, bus, target, unit order.
std::vector<std::string> ScsiTapeIdentifiers(const CRegistryReader& registry)
{
    std::vector<std::string> identifiers;
    for (DWORD port = 0;; ++port)
    {
        const Key portKey =
            registry.OpenKey(Numbered("HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port ", port));
        if (!portKey)
            break;
        for (DWORD bus = 0;; ++bus)
        {
            const Key busKey = portKey->OpenSubKey(Numbered("Scsi Bus ", bus));
            if (!busKey)
                break;
            WalkBus(*busKey, identifiers);
        }
    }
    return identifiers;
}

std::optional<std::string> TapeUnitIdentifier(const CRegistryReader& registry, DWORD unit)
{
    const Key unitKey = registry.OpenKey(Numbered("HARDWARE\\DEVICEMAP\\Tape\\Unit ", unit));
    if (!unitKey)
        return std::nullopt;
    return unitKey->ReadString("Identifier", kValueBufferSize);
}

} // namespace

#ifdef _WIN32
// The platform's list holds the tape images there, numbered after these drives.
CTapeDesc::CTapeDesc() : CTapeDesc(CWin32RegistryReader(), CWin32DosDeviceQuery())
{
    AddListed();
}
#else
CTapeDesc::CTapeDesc()
{
    AddListed();
}
#endif

void CTapeDesc::AddListed()
{
    for (CTapeDrives::STapeDrive& drive : CTapeDrives::List())
        Add(std::move(drive.strDisplayName), drive.nUnit);
}

CTapeDesc::CTapeDesc(const CRegistryReader& registry, const CDosDeviceQuery& devices)
{
    const std::vector<std::string> scsiIdentifiers = ScsiTapeIdentifiers(registry);
    // Each drive without a name of its own takes the next SCSI identifier.
    auto nextScsi = scsiIdentifiers.begin();
    // The units are numbered without gaps: the first missing one ends the list.
    for (DWORD unit = 0; devices.Exists(Numbered("tape", unit)); ++unit)
    {
        if (auto identifier = TapeUnitIdentifier(registry, unit))
            Add(std::move(*identifier), unit);
        else if (nextScsi != scsiIdentifiers.end())
            Add(*nextScsi++, unit);
        else
            Add(Numbered("Tape Device ", unit), unit);
    }
}

int CTapeDesc::GetSize() const
{
    return static_cast<int>(m_names.size());
}

const std::string& CTapeDesc::GetAt(int index) const
{
    return m_names.at(static_cast<std::size_t>(index));
}

std::string CTapeDesc::GetDeviceName(int index) const
{
    return Numbered("\\\\.\\tape", GetUnit(index));
}

DWORD CTapeDesc::GetUnit(int index) const
{
    return m_units.at(static_cast<std::size_t>(index));
}

void CTapeDesc::Add(std::string name, DWORD unit)
{
    m_names.push_back(std::move(name));
    m_units.push_back(unit);
}
