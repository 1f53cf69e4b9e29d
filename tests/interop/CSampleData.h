#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// File contents for the interoperability tests: bytes that differ from file
// to file and from record to record, so that a record written twice, lost or
// put in the wrong place shows in a comparison.
class CSampleData
{
public:
    // The same seed always gives the same bytes.
    static std::string Contents(std::size_t size, std::uint32_t seed);
};
