#pragma once
#include <cstdint>
#include <optional>
#include <string>

// What the header of a new member says: built by the writer from a file to
// add, turned into records by CTarHeader. A plain value.
struct STarMember
{
    std::string strName; // archive form, of any length
    std::uint64_t dwSize = 0;
    // A sparse file's whole size: dwSize then counts what its member stores
    // (the map of its holes and its data).
    std::optional<std::uint64_t> dwSparseSize;
    std::uint32_t time = 0;
    char chType = '0';
    std::string strLinkTarget; // archive form, for '1' and '2'
    // The file's own permission bits (the low twelve), owner and group,
    // which replace the archive settings' values when bOwnOwner is set.
    bool bOwnOwner = false;
    std::uint32_t nMode = 0;
    std::uint32_t nUid = 0;
    std::uint32_t nGid = 0;
    std::string strUserName;
    std::string strGroupName;
};
