#include "engine/CTarExtendedHeader.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace
{

// "1700000000", "1700000000.25" or "-10.5": the fraction is dropped.
std::optional<std::uint32_t> ParseTime(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (negative)
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos)
    {
        const std::string_view fraction = text.substr(point + 1);
        if (!fraction.empty() && !CTarExtendedHeader::ParseDecimal(fraction))
            return std::nullopt;
        text = text.substr(0, point);
    }
    const std::optional<std::uint64_t> seconds = CTarExtendedHeader::ParseDecimal(text);
    if (!seconds)
        return std::nullopt;
    if (negative)
        return 0;
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min(*seconds, kLargest));
}

} // namespace

bool CTarExtendedHeader::Parse(std::string_view data)
{
    Clear();
    while (!data.empty() && data.front() != '\0')
    {
        const std::size_t space = data.find(' ');
        const std::optional<std::uint64_t> length =
            space == std::string_view::npos ? std::nullopt : ParseDecimal(data.substr(0, space));
        // The length counts the whole record, its own digits and line end too.
        if (!length || *length <= space + 1 || *length > data.size() || data[*length - 1] != '\n')
        {
            Clear();
            return false;
        }
        const std::string_view record = data.substr(space + 1, *length - space - 2);
        const std::size_t equals = record.find('=');
        if (equals == std::string_view::npos ||
            !ParseRecord(record.substr(0, equals), record.substr(equals + 1)))
        {
            Clear();
            return false;
        }
        data.remove_prefix(*length);
    }
    if (m_sparse && (!m_bSparseSize || m_bSparseOffset))
        m_sparse->m_bDamaged = true;
    return true;
}

bool CTarExtendedHeader::ParseRecord(std::string_view key, std::string_view value)
{
    // A name ends where the system would end it: one that goes on after a
    // NUL is no name the archive's writer could have meant.
    if (key == "path" || key == "linkpath" || key == "GNU.sparse.name")
    {
        if (value.find('\0') != std::string_view::npos)
            return false;
        (key == "path" ? m_path : key == "linkpath" ? m_linkPath : m_sparseName) = std::string(value);
    }
    else if (key.starts_with("GNU.sparse."))
        ParseSparse(key, value);
    // A number that is none is of no use, but the record around it is
    // whole: the member keeps its own header's value.
    else if (const auto size = key == "size" ? ParseDecimal(value) : std::nullopt)
        m_size = size;
    else if (const auto time = key == "mtime" ? ParseTime(value) : std::nullopt)
        m_time = time;
    return true;
}

// Other writers give the map of a sparse member as offset and size records
// by turns, as one list, or as the version (1) whose map starts the data.
// Unlike another number, one of the map's that is none leaves no map to
// keep.
void CTarExtendedHeader::ParseSparse(std::string_view key, std::string_view value)
{
    const std::optional<std::uint64_t> number = ParseDecimal(value);
    bool whole = number.has_value();
    if (key == "GNU.sparse.size" || key == "GNU.sparse.realsize")
    {
        Sparse().m_nRealSize = number.value_or(0);
        m_bSparseSize = whole;
    }
    else if (key == "GNU.sparse.map")
        whole = Sparse().AddList(value);
    else if (key == "GNU.sparse.major")
    {
        Sparse().m_bInData = number == 1;
        whole = number <= 1;
    }
    else if (key == "GNU.sparse.offset")
    {
        whole = whole && !m_bSparseOffset;
        if (whole)
            Sparse().m_regions.push_back({*number, 0});
        m_bSparseOffset |= whole;
    }
    else if (key == "GNU.sparse.numbytes")
    {
        whole = whole && m_bSparseOffset;
        if (whole)
            Sparse().m_regions.back().size = *number;
        m_bSparseOffset = false;
    }
    else
        return; // the minor version, the count of regions, keys of no use
    Sparse().m_bDamaged |= !whole;
}

CSparseMap& CTarExtendedHeader::Sparse()
{
    if (!m_sparse)
        m_sparse.emplace();
    return *m_sparse;
}

void CTarExtendedHeader::Clear()
{
    m_sparseName.reset();
    m_sparse.reset();
    m_bSparseSize = false;
    m_bSparseOffset = false;
    m_path.reset();
    m_linkPath.reset();
    m_size.reset();
    m_time.reset();
}

std::optional<std::uint64_t> CTarExtendedHeader::ParseDecimal(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string CTarExtendedHeader::Record(std::string_view key, std::string_view value)
{
    const std::string body = std::string(" ").append(key).append("=").append(value).append("\n");
    // The length counts its own digits: one more digit may be needed once
    // they are added.
    std::size_t length = body.size() + std::to_string(body.size()).size();
    length = body.size() + std::to_string(length).size();
    return std::to_string(length) + body;
}
