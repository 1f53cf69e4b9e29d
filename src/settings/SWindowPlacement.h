#pragma once
#include <cstdint>

// The main window's position and state, field for field as the Windows
// placement record holds it, so the stored 44 bytes read the same on every
// host. A length of 0 means that no placement was stored.
struct SWindowPlacement
{
    std::uint32_t length = 0;
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    std::int32_t minX = 0;
    std::int32_t minY = 0;
    std::int32_t maxX = 0;
    std::int32_t maxY = 0;
    std::int32_t normalLeft = 0;
    std::int32_t normalTop = 0;
    std::int32_t normalRight = 0;
    std::int32_t normalBottom = 0;

    bool operator==(const SWindowPlacement&) const = default;
};
