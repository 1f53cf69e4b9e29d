#include "core/CWorkerThread.h"

#include <system_error>

CWorkerThread::~CWorkerThread()
{
    if (!IsCurrentThread())
        CWorkerThread::Stop(0);
    ReleaseEndedThread();
}

bool CWorkerThread::Start(ThreadProc proc, void* param)
{
    std::lock_guard lock(m_lock);
    if (IsRunning())
        return false;
    ReleaseEndedThread();
    m_bEnded = false;
    m_bStopRequested = false;
    m_nExitCode = 0;
    try
    {
        // Created under the lock, so the new thread sees itself as the
        // current thread from its first instruction.
        m_thread = std::thread(&CWorkerThread::Entry, this, proc, param);
    }
    catch (const std::system_error&)
    {
        return false;
    }
    return true;
}

bool CWorkerThread::Stop(int exitCode)
{
    std::thread stopped;
    {
        std::lock_guard lock(m_lock);
        if (!IsRunning())
            return false;
        m_nExitCode = exitCode;
        m_bStopRequested = true;
        OnStopRequested();
        if (IsCurrentThread())
            return true;
        stopped = std::move(m_thread);
    }
    // Joined without the lock: the thread may still ask IsRunning on its way out.
    stopped.join();
    return true;
}

int CWorkerThread::Run()
{
    return 0;
}

bool CWorkerThread::IsRunning() const
{
    std::lock_guard lock(m_lock);
    return m_thread.joinable() && !m_bEnded;
}

bool CWorkerThread::IsCurrentThread() const
{
    std::lock_guard lock(m_lock);
    return m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id();
}

int CWorkerThread::GetExitCode() const
{
    std::lock_guard lock(m_lock);
    return m_nExitCode;
}

void CWorkerThread::Entry(ThreadProc proc, void* param)
{
    int result = 0;
    try
    {
        result = proc != nullptr ? proc(param) : Run();
    }
    catch (...)
    {
        // Whatever escapes the body ends the thread with exit code 0.
    }
    std::lock_guard lock(m_lock);
    // When Stop has already taken the thread over, the wrapper may belong to
    // a newer thread by now.
    if (m_thread.get_id() != std::this_thread::get_id())
        return;
    if (!m_bStopRequested)
        m_nExitCode = result;
    m_bEnded = true;
}

void CWorkerThread::ReleaseEndedThread()
{
    std::lock_guard lock(m_lock);
    if (!m_thread.joinable())
        return;
    if (IsCurrentThread())
        m_thread.detach();
    else
        m_thread.join();
}
