#pragma once
#include <cstdint>
#include <ctime>

// Calendar-time conversions that differ between hosts.
class CLocalTime
{
public:
    // Seconds since 1970-01-01 00:00 UTC, now.
    static std::int64_t Now();
    // Breaks a time down in the local time zone; false when it cannot.
    static bool ToLocal(std::int64_t seconds, std::tm& local);
};
