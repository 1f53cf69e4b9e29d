#include "engine/CSparseMap.h"

#include "engine/CTarExtendedHeader.h"
#include "engine/CTarHeader.h"

#include <algorithm>
#include <utility>

namespace
{

// The next number of a list, up to the separator or the end.
std::optional<std::uint64_t> TakeNumber(std::string_view& text, char separator)
{
    const std::size_t stop = text.find(separator);
    const std::optional<std::uint64_t> number = CTarExtendedHeader::ParseDecimal(text.substr(0, stop));
    text.remove_prefix(stop == std::string_view::npos ? text.size() : stop + 1);
    return number;
}

// A line of a map stored in the data holds one number of 64 bits at most.
constexpr std::size_t kMaxLine = 20;
// More regions than this are no honest map: memory stays bounded whatever
// count a damaged one gives.
constexpr std::uint64_t kMaxRegions = 1 << 20;

} // namespace

std::uint64_t CSparseMap::DataSize() const
{
    std::uint64_t size = 0;
    for (const CFile::SRegion& region : m_regions)
        size += region.size;
    return size;
}

bool CSparseMap::Fits(std::uint64_t stored) const
{
    std::uint64_t reached = 0;
    std::uint64_t data = 0;
    for (const CFile::SRegion& region : m_regions)
    {
        if (region.offset < reached || region.size > m_nRealSize ||
            region.offset > m_nRealSize - region.size || region.size > stored - data)
            return false;
        reached = region.offset + region.size;
        data += region.size;
    }
    return true;
}

bool CSparseMap::AddList(std::string_view list)
{
    while (!list.empty())
    {
        const std::optional<std::uint64_t> offset = TakeNumber(list, ',');
        if (!offset || list.empty())
            return false;
        const std::optional<std::uint64_t> size = TakeNumber(list, ',');
        if (!size)
            return false;
        m_regions.push_back({*offset, *size});
    }
    return true;
}

CSparseMap::EDataMap CSparseMap::ReadDataMap(std::string_view text, std::size_t& used)
{
    used = 0;
    for (;;)
    {
        if (m_nMapCount && m_regions.size() == *m_nMapCount && !m_nMapOffset)
            return EDataMap::Whole;
        const std::size_t end = text.find('\n', used);
        if (end == std::string_view::npos)
            return text.size() - used <= kMaxLine ? EDataMap::Incomplete : EDataMap::Damaged;
        const std::optional<std::uint64_t> number =
            CTarExtendedHeader::ParseDecimal(text.substr(used, end - used));
        used = end + 1;
        if (!number || (!m_nMapCount && *number > kMaxRegions))
            return EDataMap::Damaged;
        if (!m_nMapCount)
            m_nMapCount = number;
        else if (!m_nMapOffset)
            m_nMapOffset = number;
        else
            m_regions.push_back({*std::exchange(m_nMapOffset, std::nullopt), *number});
    }
}

std::string CSparseMap::DataMapText() const
{
    std::string text = std::to_string(m_regions.size()) + "\n";
    for (const CFile::SRegion& region : m_regions)
        text.append(std::to_string(region.offset))
            .append("\n")
            .append(std::to_string(region.size))
            .append("\n");
    return text;
}

std::optional<CSparseMap> CSparseMap::OfFile(const std::vector<CFile::SRegion>& regions,
                                             std::uint64_t size)
{
    CSparseMap map;
    map.m_nRealSize = size;
    for (const CFile::SRegion& region : regions)
    {
        const std::uint64_t start = region.offset - region.offset % TAR_RECORD_SIZE;
        const std::uint64_t end = region.offset + region.size;
        const std::uint64_t stop =
            std::min(size, end + (TAR_RECORD_SIZE - end % TAR_RECORD_SIZE) % TAR_RECORD_SIZE);
        if (!map.m_regions.empty() && start <= map.m_regions.back().offset + map.m_regions.back().size)
            map.m_regions.back().size = stop - map.m_regions.back().offset;
        else
            map.m_regions.push_back({start, stop - start});
    }
    if (map.m_regions.empty() || map.m_regions.back().offset + map.m_regions.back().size < size)
        map.m_regions.push_back({size, 0});
    // The map and the extended header before it take records of their own.
    const std::uint64_t cost =
        (map.DataMapText().size() + TAR_RECORD_SIZE - 1) / TAR_RECORD_SIZE * TAR_RECORD_SIZE +
        2 * TAR_RECORD_SIZE;
    if (size - map.DataSize() <= cost)
        return std::nullopt;
    return map;
}
