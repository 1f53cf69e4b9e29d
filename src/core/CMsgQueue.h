#pragma once
#include "core/CEvent.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

// A queue of requests served one at a time by one consumer thread. Any thread
// may post; the consumer runs MessageLoop, which hands each request to OnMsg
// without holding the queue's lock, so posting never waits for a request in
// hand. The document derives from it: the window thread posts operations and
// the worker thread serves them.
class CMsgQueue
{
public:
    struct SMsg
    {
        std::uint32_t nType;
        std::intptr_t nParam1;
        std::intptr_t nParam2; // may carry a pointer, such as a path text
        CEvent* pDone;         // set once the request was handled, or null
        int* pResult;          // receives OnMsg's result, or null
    };

    CMsgQueue() = default;
    virtual ~CMsgQueue() = default;
    CMsgQueue(const CMsgQueue&) = delete;
    CMsgQueue& operator=(const CMsgQueue&) = delete;

    // Queues a request behind those already posted and wakes the consumer.
    bool PostMsg(std::uint32_t type, std::intptr_t param1, std::intptr_t param2);
    // Queues a ready-made request, one with a done event or a result pointer
    // for a sender that waits for it. Urgent requests are served before the
    // normal ones at the start of each pass of the loop.
    bool PostMsg(const SMsg& msg, bool urgent = false);

    // Serves requests on the calling thread until Quit. Requests are served
    // urgent ones first, then normal ones in posting order, including those
    // posted while the pass runs.
    void MessageLoop();

    // Ends MessageLoop once the request in hand is done; requests still queued
    // or posted later are not served, so nobody may wait for them. Lasting: a
    // loop started after Quit returns at once, so a Quit that comes before the
    // consumer reached the loop is not lost.
    void Quit();

    // The thread that last started MessageLoop, or no thread.
    std::thread::id GetThreadId() const;

    // Handles one request on the consumer thread; the base ignores it.
    virtual int OnMsg(std::uint32_t type, std::intptr_t param1, std::intptr_t param2);

protected:
    mutable std::recursive_mutex m_lock;
    // Set while requests are queued; reset by the consumer under m_lock once
    // both lists are empty, and posting sets it under the same lock, so no
    // request is left waiting with the event reset.
    CEvent m_wake;
    std::deque<SMsg> m_urgent;
    std::deque<SMsg> m_normal;
    std::thread::id m_threadId;
    std::atomic<bool> m_bRunning{false};

private:
    void Serve(std::deque<SMsg>& list);
    void Handle(const SMsg& msg);

    bool m_bQuit = false; // guarded by m_lock
};
