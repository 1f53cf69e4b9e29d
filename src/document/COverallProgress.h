#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// How far a whole operation has come, for the line below the wait window's
// bar: the members done and their bytes, against totals known beforehand
// (from the catalogue or the files to add), with the time left at the pace
// so far. Fed from the archive's events on the worker; the line is wanted
// at most ten times a second, and asking costs a clock read only now and
// then, so a stream of record events costs next to nothing.
class COverallProgress
{
public:
    using Clock = std::chrono::steady_clock;

    // A new operation. Totals of nothing mean they are not known: the line
    // then counts what was read.
    void Start(std::uint32_t members, std::uint64_t bytes, Clock::time_point now);
    // A member's event: done of its total bytes so far. A member whose done
    // goes back to less than before is the next one; a member is counted
    // once its done reaches its total.
    void Update(std::uint64_t done, std::uint64_t total);
    // Whether a tenth of a second has passed since the line was last given.
    bool Due();
    // "%d of %d files, %s of %s, about %s left", the estimate once there is
    // pace enough to tell, or, without totals, "%d files, %s read".
    std::string Text(Clock::time_point now) const;

    // "512 bytes", "1.5 KB", "12 MB", "3.2 GB": 1024 to a step, three figures.
    static std::string FormatSize(std::uint64_t bytes);
    // "40 s", "5 min", "2 h 10 min".
    static std::string FormatDuration(std::chrono::seconds span);

private:
    std::uint32_t m_nTotalMembers = 0;
    std::uint64_t m_nTotalBytes = 0;
    std::uint32_t m_nMembers = 0;
    std::uint64_t m_nBytes = 0;
    std::uint64_t m_nMemberDone = 0;
    Clock::time_point m_start;
    Clock::time_point m_lastGiven;
    std::uint32_t m_nSinceLook = 0;
};
