#include "core/CLogEntry.h"

#include "platform/CLocalTime.h"

#include <cstdio>

namespace
{

// English month names whatever the user's locale: the saved log is read by
// people comparing it with others, not by the program.
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

std::string FormatTime(std::int64_t time)
{
    std::tm local{};
    if (!CLocalTime::ToLocal(time, local))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d, %s %02d, %04d", local.tm_hour, local.tm_min,
                  kMonths[local.tm_mon], local.tm_mday, local.tm_year + 1900);
    return text;
}

} // namespace

CLogEntry::CLogEntry() : m_time(CLocalTime::Now())
{
}

CLogEntry::CLogEntry(std::string message) : m_strMessage(std::move(message)), m_time(CLocalTime::Now())
{
}

std::string CLogEntry::FormatLine() const
{
    return m_strMessage + ", " + m_strExtra + ", " + FormatTime(m_time);
}
