#include "core/CEvent.h"

CEvent::CEvent(bool initiallySet) : m_bSet(initiallySet)
{
}

void CEvent::Set()
{
    std::lock_guard lock(m_mutex);
    m_bSet = true;
    // Notified under the lock: a waiter that returns may destroy the event at
    // once (a sender waiting for its request), so nothing may touch it after
    // the lock is released.
    m_condition.notify_all();
}

void CEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_bSet = false;
}

void CEvent::Wait()
{
    std::unique_lock lock(m_mutex);
    m_condition.wait(lock, [this] { return m_bSet; });
}

bool CEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_condition.wait_for(lock, timeout, [this] { return m_bSet; });
}

bool CEvent::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_bSet;
}
