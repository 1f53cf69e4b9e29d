#pragma once
#include <cstdint>
#include <string>

// One problem in the application log: its text, a second text column that the
// system leaves empty, and the time it was made. Copied by value; copying
// keeps the time.
class CLogEntry
{
public:
    // Stamps the entry with the current time.
    CLogEntry();
    explicit CLogEntry(std::string message);

    // The line the saved log holds for this entry, line break excluded:
    // message, ", ", extra, ", ", then the local time as "14:05, March 07, 1998".
    std::string FormatLine() const;

    std::string m_strMessage;
    std::string m_strExtra;
    std::int64_t m_time;
};
