#include "core/CEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(CEventTest, StaysSetUntilReset)
{
    CEvent event;
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.Wait(1ms));

    event.Set();
    event.Wait();
    EXPECT_TRUE(event.Wait(0ms));
    EXPECT_TRUE(event.IsSet());

    event.Reset();
    EXPECT_FALSE(event.Wait(0ms));
    EXPECT_TRUE(CEvent(true).IsSet());
}

TEST(CEventTest, SetReleasesEveryWaiter)
{
    CEvent event;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&event] { event.Wait(); });
    event.Set();
    for (std::thread& waiter : waiters)
        waiter.join();
}

// Two threads hand a turn back and forth; a wake-up lost between one side's
// reset and the other's set would leave both waiting.
TEST(CEventTest, NoWakeUpIsLostWhenSetRacesWithWaitAndReset)
{
    constexpr int kRounds = 2000;
    CEvent ping;
    CEvent pong;
    std::thread partner(
        [&]
        {
            for (int i = 0; i < kRounds; ++i)
            {
                if (!ping.Wait(10s))
                    return;
                ping.Reset();
                pong.Set();
            }
        });
    int answered = 0;
    for (int i = 0; i < kRounds; ++i)
    {
        ping.Set();
        if (!pong.Wait(10s))
            break;
        pong.Reset();
        ++answered;
    }
    partner.join();
    EXPECT_EQ(answered, kRounds);
}
