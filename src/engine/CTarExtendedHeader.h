#pragma once
#include "engine/CSparseMap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The data of a POSIX extended header: records such as "27 path=a/long/name\n"
// that say more about the member after the header than its ustar fields can.
// Keeps the records the engine uses; every other record is passed over. Also
// writes the records of a new member that its header cannot hold.
class CTarExtendedHeader
{
public:
    // Reads every record of the data. False when one is damaged (a length
    // that does not fit, a missing '=' or line end, a name holding a NUL),
    // leaving every field unset: the member then keeps its own header's
    // values. A size or time that is no number is passed over like a
    // record of no use.
    bool Parse(std::string_view data);

    std::optional<std::string> m_path;
    std::optional<std::string> m_linkPath;
    std::optional<std::uint64_t> m_size;
    // Whole seconds since 1970; earlier times read as 0, later than 32 bits
    // hold as the largest.
    std::optional<std::uint32_t> m_time;
    // A sparse member's: its own name, and the map of its data, whole size
    // included (damaged when a number of it is none or its size is
    // missing). The name given in the path record or the header belongs to
    // the stored pieces, not to the file.
    std::optional<std::string> m_sparseName;
    std::optional<CSparseMap> m_sparse;

    // Digits only, the whole text: what a size or a record length must be.
    static std::optional<std::uint64_t> ParseDecimal(std::string_view text);

    // One record, its length counted: "20 size=9663676416\n".
    static std::string Record(std::string_view key, std::string_view value);

private:
    bool ParseRecord(std::string_view key, std::string_view value);
    void ParseSparse(std::string_view key, std::string_view value);
    CSparseMap& Sparse();
    void Clear();

    bool m_bSparseSize = false;   // the whole size was given
    bool m_bSparseOffset = false; // an offset waits for its size
};
