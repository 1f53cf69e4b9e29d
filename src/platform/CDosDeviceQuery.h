#pragma once
#include <string>

// Whether the system knows a device name ("tape0") in its namespace of
// MS-DOS device names. On Windows it asks QueryDosDevice; tests give a fake.
class CDosDeviceQuery
{
public:
    virtual ~CDosDeviceQuery() = default;

    virtual bool Exists(const std::string& deviceName) const = 0;
};
