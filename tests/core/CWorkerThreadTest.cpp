#include "core/CWorkerThread.h"
#include "core/CEvent.h"
#include "core/CMsgQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

namespace
{

// Whether the condition comes true within a generous bound; only a hang
// guard, never a measure of speed.
template <class TCondition> bool Eventually(TCondition condition)
{
    for (int i = 0; i < 10000 && !condition(); ++i)
        std::this_thread::sleep_for(1ms);
    return condition();
}

// A body that reports that it started, then waits until it is released by
// the test or by Stop.
class CWaitingThread : public CWorkerThread
{
public:
    ~CWaitingThread() override { Stop(0); }

    int Run() override
    {
        m_bRanOnItself = IsCurrentThread();
        m_started.Set();
        m_release.Wait();
        if (m_bThrow)
            throw std::runtime_error("body failed");
        return m_nResult;
    }

    CEvent m_started;
    CEvent m_release;
    int m_nResult = 0;
    bool m_bThrow = false;
    bool m_bRanOnItself = false;

protected:
    void OnStopRequested() override { m_release.Set(); }
};

// Built like the document: the worker serves the object's own request queue
// from construction to destruction.
class CDocumentLike : public CWorkerThread, public CMsgQueue
{
public:
    explicit CDocumentLike(std::atomic<int>& served) : m_served(served) { Start(); }
    ~CDocumentLike() override { Stop(0); }

    int Run() override
    {
        MessageLoop();
        return 0;
    }
    int OnMsg(std::uint32_t, std::intptr_t, std::intptr_t) override
    {
        ++m_served;
        return 0;
    }

protected:
    void OnStopRequested() override { Quit(); }

private:
    std::atomic<int>& m_served;
};

} // namespace

TEST(CWorkerThreadTest, StartWhileRunningCreatesNoSecondThread)
{
    CWaitingThread worker;
    ASSERT_TRUE(worker.Start());
    worker.m_started.Wait();
    EXPECT_FALSE(worker.Start());
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.IsCurrentThread());

    EXPECT_TRUE(worker.Stop(5));
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_TRUE(worker.m_bRanOnItself);
    EXPECT_EQ(worker.GetExitCode(), 5);
    EXPECT_FALSE(worker.Stop(6));
    EXPECT_EQ(worker.GetExitCode(), 5);
}

TEST(CWorkerThreadTest, StopWithoutAThreadChangesNothing)
{
    CWorkerThread wrapper;
    EXPECT_FALSE(wrapper.Stop(3));
    EXPECT_FALSE(wrapper.IsRunning());
    EXPECT_FALSE(wrapper.IsCurrentThread());
    EXPECT_EQ(wrapper.GetExitCode(), 0);
}

TEST(CWorkerThreadTest, AThreadThatEndsOnItsOwnIsNoLongerRunning)
{
    const struct
    {
        const char* what;
        bool bodyThrows;
        int exitCode;
    } cases[] = {
        {"body returns", false, 7},
        {"body throws", true, 0},
    };
    for (const auto& test : cases)
    {
        CWaitingThread worker;
        worker.m_nResult = 7;
        worker.m_bThrow = test.bodyThrows;
        worker.m_release.Set();
        ASSERT_TRUE(worker.Start());
        EXPECT_TRUE(Eventually([&] { return !worker.IsRunning(); })) << test.what;
        EXPECT_EQ(worker.GetExitCode(), test.exitCode) << test.what;
        EXPECT_FALSE(worker.Stop(1)) << test.what;

        // The ended thread is cleared away by the next start.
        worker.m_bThrow = false;
        EXPECT_TRUE(worker.Start()) << test.what;
        EXPECT_TRUE(Eventually([&] { return !worker.IsRunning(); })) << test.what;
    }
}

TEST(CWorkerThreadTest, AProcedureRunsInsteadOfTheBody)
{
    CWorkerThread wrapper;
    int value = 0;
    ASSERT_TRUE(wrapper.Start(
        [](void* param)
        {
            *static_cast<int*>(param) = 11;
            return 42;
        },
        &value));
    EXPECT_TRUE(Eventually([&] { return !wrapper.IsRunning(); }));
    EXPECT_EQ(wrapper.GetExitCode(), 42);
    EXPECT_EQ(value, 11);
}

TEST(CWorkerThreadTest, StopOnTheThreadItselfTakesEffectWhenTheBodyReturns)
{
    class CSelfStopping : public CWorkerThread
    {
    public:
        int Run() override
        {
            m_bStopped = Stop(9);
            m_bRunningAfterStop = IsRunning();
            return 3;
        }
        bool m_bStopped = false;
        bool m_bRunningAfterStop = false;
    };

    CSelfStopping worker;
    ASSERT_TRUE(worker.Start());
    EXPECT_TRUE(Eventually([&] { return !worker.IsRunning(); }));
    EXPECT_TRUE(worker.m_bStopped);
    EXPECT_TRUE(worker.m_bRunningAfterStop);
    EXPECT_EQ(worker.GetExitCode(), 9);
}

TEST(CWorkerThreadTest, DestroyingTheDocumentEndsAnIdleWorkerWithoutServingAnything)
{
    std::atomic<int> served{0};
    {
        CDocumentLike document(served);
        CEvent done;
        document.PostMsg({1, 0, 0, &done, nullptr});
        ASSERT_TRUE(done.Wait(10s));
        // The worker now waits for the next request.
    }
    EXPECT_EQ(served, 1);
}

// The worker may not even have reached its loop when the document goes.
TEST(CWorkerThreadTest, DestroyingTheDocumentAtOnceEndsTheWorker)
{
    std::atomic<int> served{0};
    for (int i = 0; i < 100; ++i)
        CDocumentLike document(served);
    EXPECT_EQ(served, 0);
}
