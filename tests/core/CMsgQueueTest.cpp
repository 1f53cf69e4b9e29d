#include "core/CMsgQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace
{

struct SCall
{
    std::uint32_t nType;
    std::intptr_t nParam1;
    std::intptr_t nParam2;
};

// Records every request it serves and quits after a given number of them.
// The calls are read only once the loop has returned.
class CRecordingQueue : public CMsgQueue
{
public:
    explicit CRecordingQueue(std::size_t quitAfter = 0) : m_quitAfter(quitAfter) {}

    int OnMsg(std::uint32_t type, std::intptr_t param1, std::intptr_t param2) override
    {
        if (m_inFlight.fetch_add(1) != 0)
            m_bOverlapped = true;
        m_calls.push_back({type, param1, param2});
        if (m_onMsg)
            m_onMsg(type);
        if (m_calls.size() == m_quitAfter)
            Quit();
        m_inFlight.fetch_sub(1);
        return static_cast<int>(type) * 10;
    }

    bool IsWakeSet() const { return m_wake.IsSet(); }

    std::function<void(std::uint32_t type)> m_onMsg;
    std::vector<SCall> m_calls;
    bool m_bOverlapped = false;

private:
    std::size_t m_quitAfter;
    std::atomic<int> m_inFlight{0};
};

std::vector<std::uint32_t> TypesOf(const std::vector<SCall>& calls)
{
    std::vector<std::uint32_t> types;
    for (const SCall& call : calls)
        types.push_back(call.nType);
    return types;
}

} // namespace

TEST(CMsgQueueTest, RequestsPostedBeforeTheLoopAreServedInOrderThenTheWakeEventIsReset)
{
    const std::string path = "C:\\backup\\one.tar";
    CRecordingQueue queue(3);
    EXPECT_TRUE(queue.PostMsg(1, 0, 0));
    EXPECT_TRUE(queue.PostMsg(2, 0, reinterpret_cast<std::intptr_t>(path.c_str())));
    EXPECT_TRUE(queue.PostMsg(3, 0, 0));
    EXPECT_TRUE(queue.IsWakeSet());

    // The last request quits, which sets the wake event again; the pass must
    // still end by resetting it once both lists are empty.
    queue.MessageLoop();

    EXPECT_EQ(TypesOf(queue.m_calls), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(reinterpret_cast<const char*>(queue.m_calls[1].nParam2), path);
    EXPECT_FALSE(queue.IsWakeSet());
    EXPECT_EQ(queue.GetThreadId(), std::this_thread::get_id());
}

TEST(CMsgQueueTest, UrgentRequestsAreServedFirst)
{
    CRecordingQueue queue(4);
    queue.PostMsg(1, 0, 0);
    queue.PostMsg({9, 0, 0, nullptr, nullptr}, true);
    queue.PostMsg(2, 0, 0);
    queue.PostMsg({8, 0, 0, nullptr, nullptr}, true);
    queue.MessageLoop();
    EXPECT_EQ(TypesOf(queue.m_calls), (std::vector<std::uint32_t>{9, 8, 1, 2}));
}

// Urgent requests are looked at only at the start of a pass, so one posted
// while the normal ones are served must keep the queue awake for the next.
TEST(CMsgQueueTest, AnUrgentRequestPostedDuringAPassIsServedInTheNext)
{
    CRecordingQueue queue;
    CEvent urgentDone;
    queue.m_onMsg = [&](std::uint32_t type)
    {
        if (type == 1)
            queue.PostMsg({9, 0, 0, &urgentDone, nullptr}, true);
    };
    queue.PostMsg(1, 0, 0);
    queue.PostMsg(2, 0, 0);
    std::thread consumer([&queue] { queue.MessageLoop(); });
    EXPECT_TRUE(urgentDone.Wait(10s));
    queue.Quit();
    consumer.join();
    EXPECT_EQ(TypesOf(queue.m_calls), (std::vector<std::uint32_t>{1, 2, 9}));
}

TEST(CMsgQueueTest, QuitEndsTheLoopAfterTheRequestInHand)
{
    const struct
    {
        const char* what;
        bool quitBeforeLoop;
        std::size_t quitAfter;
        std::size_t served;
    } cases[] = {
        {"quit before the loop started", true, 0, 0},
        {"quit by the first request", false, 1, 1},
    };
    for (const auto& test : cases)
    {
        CRecordingQueue queue(test.quitAfter);
        for (std::uint32_t type = 1; type <= 3; ++type)
            queue.PostMsg(type, 0, 0);
        if (test.quitBeforeLoop)
            queue.Quit();
        queue.MessageLoop();
        EXPECT_EQ(queue.m_calls.size(), test.served) << test.what;
    }
}

// The sender waits for each request before posting the next, so the consumer
// finds its lists empty and resets the wake event right as the next request
// arrives: a lost wake-up would leave the sender waiting.
TEST(CMsgQueueTest, ASenderWaitingForEachRequestGetsItsResult)
{
    constexpr int kRounds = 3000;
    CRecordingQueue queue;
    std::thread consumer([&queue] { queue.MessageLoop(); });
    int answered = 0;
    bool stalled = false;
    for (int i = 0; i < kRounds && !stalled; ++i)
    {
        CEvent done;
        int result = -1;
        queue.PostMsg({static_cast<std::uint32_t>(i), 0, 0, &done, &result});
        stalled = !done.Wait(10s);
        if (stalled)
        {
            // Nothing may reach this round's event and result once it is over.
            queue.Quit();
            consumer.join();
        }
        else if (result == i * 10)
            ++answered;
    }
    if (!stalled)
    {
        queue.Quit();
        consumer.join();
    }
    EXPECT_EQ(answered, kRounds);
}

TEST(CMsgQueueTest, SeveralPostersAreEachServedInPostingOrderOneAtATime)
{
    constexpr int kPosters = 4;
    constexpr int kPerPoster = 1000;
    CRecordingQueue queue;
    std::thread consumer([&queue] { queue.MessageLoop(); });
    std::vector<std::thread> posters;
    for (int poster = 0; poster < kPosters; ++poster)
        posters.emplace_back(
            [&queue, poster]
            {
                for (int i = 0; i < kPerPoster; ++i)
                    queue.PostMsg(static_cast<std::uint32_t>(poster), i, 0);
            });
    for (std::thread& poster : posters)
        poster.join();
    // Served after everything the posters sent.
    CEvent done;
    queue.PostMsg({kPosters, 0, 0, &done, nullptr});
    EXPECT_TRUE(done.Wait(10s));
    queue.Quit();
    consumer.join();

    ASSERT_EQ(queue.m_calls.size(), static_cast<std::size_t>(kPosters * kPerPoster + 1));
    EXPECT_FALSE(queue.m_bOverlapped);
    std::vector<std::intptr_t> next(kPosters + 1, 0);
    for (const SCall& call : queue.m_calls)
        ASSERT_EQ(call.nParam1, next[call.nType]++) << "poster " << call.nType;
}
