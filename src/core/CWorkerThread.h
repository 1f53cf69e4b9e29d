#pragma once
#include <mutex>
#include <thread>

// Wraps one thread whose body is Run, or a plain procedure given to Start. The
// document derives from it and serves its request queue on the thread, which
// lives from the document's construction to its destruction.
//
// Threads end cooperatively: Stop asks the thread to end through
// OnStopRequested and waits for it. A derived class whose Run waits for
// something must override OnStopRequested to release it, and must call Stop
// in its own destructor: the base destructor stops the thread too, but by
// then the derived part, its hook and what Run uses are gone, and the wait
// would never end. The wrapper must not be destroyed on its own thread.
class CWorkerThread
{
public:
    // A procedure run instead of Run; its result is the thread's exit code.
    using ThreadProc = int (*)(void* param);

    CWorkerThread() = default;
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts a thread running proc(param), or Run when proc is null. False
    // when a thread is still running or none could be created. Run starts at
    // once on the new thread, so start from the most derived class's
    // constructor body or later, never from a base's.
    virtual bool Start(ThreadProc proc = nullptr, void* param = nullptr);

    // Records the exit code, asks the thread to end through OnStopRequested
    // and, from any other thread, waits for it to end; the thread reference is
    // cleared before the wait. False, changing nothing, when no thread runs.
    // Called on the thread itself, it cannot end the caller: it returns true
    // at once and the thread ends when Run returns.
    virtual bool Stop(int exitCode);

    // The thread's body when Start was given no procedure. Its result is the
    // exit code; whatever it throws ends the thread with exit code 0.
    virtual int Run();

    // True from Start until the thread has ended, whether on its own or
    // through Stop.
    bool IsRunning() const;
    bool IsCurrentThread() const;

    // The exit code of the last thread once it has ended: the one given to
    // Stop when the thread was stopped, otherwise its body's result.
    int GetExitCode() const;

protected:
    // Called by Stop, with the wrapper's lock held, on the thread that calls
    // Stop; it must release whatever Run waits for and must not wait for the
    // thread itself.
    virtual void OnStopRequested() {}

private:
    void Entry(ThreadProc proc, void* param);
    // Joins a thread that has ended. On the thread itself, which cannot wait
    // for its own end, the thread is let go instead.
    void ReleaseEndedThread();

    // Guards everything below; never held while the thread's body runs.
    mutable std::recursive_mutex m_lock;
    std::thread m_thread;
    bool m_bEnded = false;
    bool m_bStopRequested = false;
    int m_nExitCode = 0;
};
