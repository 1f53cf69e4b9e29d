#pragma once
#include <cstdint>

class CAppSettings;

// Codes of SSettingsChanged: which preferences the sender changed.
enum : std::int32_t
{
    SC_PATHS = 1,       // the relative-or-absolute path option
    SC_PERMISSIONS = 3, // the archive settings' permissions and owners
    SC_ALL = 4,         // any application or archive setting
};

// The record CAppSettings sends to its clients when a preference changed;
// valid only during the delivery.
struct SSettingsChanged
{
    int nCode;
    CAppSettings* pSettings;
};
