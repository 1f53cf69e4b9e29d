#include "interop/CSampleData.h"

std::string CSampleData::Contents(std::size_t size, std::uint32_t seed)
{
    std::string data(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& c : data)
    {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return data;
}
