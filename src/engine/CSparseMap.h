#pragma once
#include "platform/CFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the stored data of a sparse member lies in its file: the regions
// that hold data, in order, their bytes stored one after the other in the
// archive; everything else of the file's whole size is a hole. Read from
// the forms other writers use (entries in old-style headers, extended
// header records, a map at the start of the member's data) and written in
// the last of these.
class CSparseMap
{
public:
    std::vector<CFile::SRegion> m_regions;
    std::uint64_t m_nRealSize = 0;
    // The regions are not in the headers but at the start of the data.
    bool m_bInData = false;
    // What the headers said of the map could not be read: it is no map.
    bool m_bDamaged = false;

    // The bytes the regions hold: what the archive stores of the file.
    std::uint64_t DataSize() const;
    // Whether the regions come in order without overlapping, lie inside the
    // whole size and hold no more than the stored bytes: a map that does
    // not would put data where none can go or read it from where none is.
    bool Fits(std::uint64_t stored) const;

    // Adds the regions of a list of numbers, offset and size by turns,
    // separated by commas. False when an entry is no number or one lacks
    // its size.
    bool AddList(std::string_view list);

    enum class EDataMap
    {
        Incomplete, // more lines are needed
        Whole,
        Damaged,
    };
    // Reads the map stored at the start of a member's data, piece by piece:
    // the count of regions, then offset and size by turns, each on a line
    // of its own. Takes the whole lines at the start of text (used tells
    // how many bytes); the rest goes before the next piece.
    EDataMap ReadDataMap(std::string_view text, std::size_t& used);
    // The same map as text, for the start of a new member's data.
    std::string DataMapText() const;

    // The map of a file of size bytes whose data lies in regions, each
    // widened to whole records, so that every region but one ending with
    // the file fills whole records of the archive; a hole at the end is
    // marked by an empty region there, as other writers mark it. Nothing
    // when its holes would save no more than the records the map takes.
    static std::optional<CSparseMap> OfFile(const std::vector<CFile::SRegion>& regions,
                                            std::uint64_t size);

private:
    // How far ReadDataMap has come.
    std::optional<std::uint64_t> m_nMapCount;
    std::optional<std::uint64_t> m_nMapOffset;
};
