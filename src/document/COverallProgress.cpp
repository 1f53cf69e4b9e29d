#include "document/COverallProgress.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace
{

// Record events between two looks at the clock: a look costs more than the
// event's own work, and 64 records pass in well under a tenth of a second.
constexpr std::uint32_t kEventsPerLook = 64;
constexpr auto kInterval = std::chrono::milliseconds(100);
// Before this much of the operation has passed, the pace says too little.
constexpr auto kSettling = std::chrono::seconds(1);

} // namespace

void COverallProgress::Start(std::uint32_t members, std::uint64_t bytes, Clock::time_point now)
{
    *this = COverallProgress();
    m_nTotalMembers = members;
    m_nTotalBytes = bytes;
    m_start = now;
    m_lastGiven = now - kInterval;
}

void COverallProgress::Update(std::uint64_t done, std::uint64_t total)
{
    if (done < m_nMemberDone)
        m_nMemberDone = 0;
    m_nBytes += done - m_nMemberDone;
    m_nMemberDone = done;
    if (done >= total)
    {
        ++m_nMembers;
        m_nMemberDone = 0;
    }
}

bool COverallProgress::Due()
{
    if (++m_nSinceLook < kEventsPerLook && m_nMemberDone != 0)
        return false;
    m_nSinceLook = 0;
    const Clock::time_point now = Clock::now();
    if (now - m_lastGiven < kInterval)
        return false;
    m_lastGiven = now;
    return true;
}

std::string COverallProgress::Text(Clock::time_point now) const
{
    char text[160];
    if (m_nTotalMembers == 0 && m_nTotalBytes == 0)
    {
        std::snprintf(text, sizeof text, "%u files, %s read", m_nMembers,
                      FormatSize(m_nBytes).c_str());
        return text;
    }
    std::snprintf(text, sizeof text, "%u of %u files, %s of %s", m_nMembers, m_nTotalMembers,
                  FormatSize(m_nBytes).c_str(), FormatSize(m_nTotalBytes).c_str());
    std::string line = text;
    const auto elapsed = now - m_start;
    if (elapsed < kSettling || m_nBytes == 0 || m_nBytes >= m_nTotalBytes)
        return line;
    const double seconds = std::chrono::duration<double>(elapsed).count() *
                           static_cast<double>(m_nTotalBytes - m_nBytes) /
                           static_cast<double>(m_nBytes);
    return line + ", about " +
           FormatDuration(std::chrono::seconds(static_cast<std::int64_t>(seconds + 0.5))) +
           " left";
}

std::string COverallProgress::FormatSize(std::uint64_t bytes)
{
    static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    char text[32];
    if (bytes < 1024)
    {
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
        return text;
    }
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(kUnits))
    {
        value /= 1024.0;
        ++unit;
    }
    std::snprintf(text, sizeof text, value < 10.0 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
    return text;
}

std::string COverallProgress::FormatDuration(std::chrono::seconds span)
{
    const std::int64_t seconds = std::max<std::int64_t>(span.count(), 0);
    char text[48];
    if (seconds < 60)
        std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(seconds));
    else if (seconds < 3600)
        std::snprintf(text, sizeof text, "%lld min", static_cast<long long>(seconds / 60));
    else
        std::snprintf(text, sizeof text, "%lld h %lld min", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds % 3600 / 60));
    return text;
}
