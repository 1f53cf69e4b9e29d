#include "core/CMsgQueue.h"

bool CMsgQueue::PostMsg(std::uint32_t type, std::intptr_t param1, std::intptr_t param2)
{
    return PostMsg(SMsg{type, param1, param2, nullptr, nullptr});
}

bool CMsgQueue::PostMsg(const SMsg& msg, bool urgent)
{
    std::lock_guard lock(m_lock);
    (urgent ? m_urgent : m_normal).push_back(msg);
    m_wake.Set();
    return true;
}

void CMsgQueue::MessageLoop()
{
    {
        std::lock_guard lock(m_lock);
        m_threadId = std::this_thread::get_id();
        m_bRunning = !m_bQuit;
    }
    while (m_bRunning)
    {
        m_wake.Wait();
        Serve(m_urgent);
        Serve(m_normal);
        std::lock_guard lock(m_lock);
        if (m_urgent.empty() && m_normal.empty())
            m_wake.Reset();
    }
}

void CMsgQueue::Serve(std::deque<SMsg>& list)
{
    std::unique_lock lock(m_lock);
    while (m_bRunning && !list.empty())
    {
        const SMsg msg = list.front();
        list.pop_front();
        // Unlocked so that posters never wait for a request in hand.
        lock.unlock();
        Handle(msg);
        lock.lock();
    }
}

void CMsgQueue::Handle(const SMsg& msg)
{
    const int result = OnMsg(msg.nType, msg.nParam1, msg.nParam2);
    if (msg.pResult != nullptr)
        *msg.pResult = result;
    if (msg.pDone != nullptr)
        msg.pDone->Set();
}

void CMsgQueue::Quit()
{
    std::lock_guard lock(m_lock);
    m_bQuit = true;
    m_bRunning = false;
    m_wake.Set();
}

std::thread::id CMsgQueue::GetThreadId() const
{
    std::lock_guard lock(m_lock);
    return m_threadId;
}

int CMsgQueue::OnMsg(std::uint32_t, std::intptr_t, std::intptr_t)
{
    return 0;
}
