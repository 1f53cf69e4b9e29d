#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

// A manual-reset event: once set it stays set, releasing every waiter, until
// someone resets it. The request queue wakes its consumer with one, and a
// request's sender may wait on one until the request was handled. Owned by
// whoever creates it; it must outlive every thread waiting on it.
class CEvent
{
public:
    explicit CEvent(bool initiallySet = false);
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set();
    void Reset();

    // Returns once the event is set; at once when it already is.
    void Wait();
    // True when the event was set within the time-out, false when it elapsed.
    bool Wait(std::chrono::milliseconds timeout);

    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_condition;
    bool m_bSet;
};
