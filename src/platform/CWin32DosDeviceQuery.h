#pragma once
#include "platform/CDosDeviceQuery.h"

#ifdef _WIN32
// The system's MS-DOS device names, asked through QueryDosDevice. Holds
// nothing; tape discovery makes one for the length of its walk.
class CWin32DosDeviceQuery : public CDosDeviceQuery
{
public:
    bool Exists(const std::string& deviceName) const override;
};
#endif
