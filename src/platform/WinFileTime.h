#pragma once
// Seconds since 1970 as the Windows file calls take a time. Windows only.

#include <windows.h>

#include <algorithm>
#include <cstdint>

// FILETIME counts 100 ns steps from 1601; a time before that is 1601.
inline FILETIME FileTimeOf(std::int64_t seconds)
{
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto ticks = static_cast<std::uint64_t>(
        (std::max<std::int64_t>(seconds, -kSecondsFrom1601To1970) + kSecondsFrom1601To1970) *
        kTicksPerSecond);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}
