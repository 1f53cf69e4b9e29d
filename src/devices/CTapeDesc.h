#pragma once
#include "platform/WinError.h"

#include <string>
#include <vector>

class CDosDeviceQuery;
class CRegistryReader;

// The tape drives found on the machine at start-up: one readable name and one
// unit number (the N of "tape%d") per drive, in the order they were found.
// The application object owns the one list for the whole run; it is filled
// when it is made and never refreshed. The Tape Devices dialog shows the
// names and opens the chosen drive under GetDeviceName.
class CTapeDesc
{
public:
    // Finds the host's drives: on Windows the device names the system knows
    // and the registry's device map, then the tape images; elsewhere the
    // drives and tape images the platform layer lists.
    CTapeDesc();
    // Finds the drives through the given registry and device names, as on
    // Windows; used there by the default constructor, and by tests anywhere.
    CTapeDesc(const CRegistryReader& registry, const CDosDeviceQuery& devices);

    int GetSize() const;
    // The display name of drive index; throws std::out_of_range past the end.
    const std::string& GetAt(int index) const;
    const std::string& operator[](int index) const { return GetAt(index); }

    // "\\.\tape%d" with the drive's unit number: the name the tape device opens.
    std::string GetDeviceName(int index) const;
    DWORD GetUnit(int index) const;

private:
    void Add(std::string name, DWORD unit);
    // What the platform layer lists for this host.
    void AddListed();

    // Parallel: element i of each describes drive i.
    std::vector<std::string> m_names;
    std::vector<DWORD> m_units;
};
