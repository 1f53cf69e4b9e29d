#include "core/CEventHandler.h"
#include "core/CEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace
{

using Log = std::vector<std::string>;

class CSource : public CEventHandler
{
public:
    ~CSource() override { UnadviseAll(); }

    void Fire(int value, bool stopWhenHandled = false) { FireEvent(&value, stopWhenHandled); }

    std::vector<CEventHandler*> m_unlinked;

protected:
    void OnUnadviseClient(CEventHandler* client) override { m_unlinked.push_back(client); }
};

// Writes "name:value" for each event (and "name+value" through its second
// callback) into a log shared with other clients, so tests see the order.
class CClient : public CEventHandler
{
public:
    CClient(Log& log, std::string name, int answer = 0)
        : m_log(log), m_name(std::move(name)), m_answer(answer)
    {
    }
    ~CClient() override { UnadviseAll(); }

    int OnEvent(void* record)
    {
        m_log.push_back(m_name + ":" + std::to_string(*static_cast<int*>(record)));
        if (m_onEvent)
            m_onEvent();
        return m_answer;
    }
    int OnOther(void* record)
    {
        m_log.push_back(m_name + "+" + std::to_string(*static_cast<int*>(record)));
        return 0;
    }

    std::function<void()> m_onEvent;

private:
    Log& m_log;
    std::string m_name;
    int m_answer;
};

// The event-handler part lies behind another base, so reaching it and the
// callbacks from a pointer to the whole object needs an adjusted address.
class COtherBase
{
public:
    virtual ~COtherBase() = default;
    int m_nPadding[4] = {};
};

class CViewBase : public CEventHandler
{
public:
    int OnBaseEvent(void*)
    {
        ++m_nBaseCalls;
        return 0;
    }
    int m_nBaseCalls = 0;
};

class CMyView : public COtherBase, public CViewBase
{
public:
    ~CMyView() override { UnadviseAll(); }
    int OnMine(void* record)
    {
        m_nMine = *static_cast<int*>(record);
        return 0;
    }
    int m_nMine = 0;
};

} // namespace

TEST(CEventHandlerTest, DeliversToEveryClientOldestFirst)
{
    Log log;
    CSource source;
    CClient a(log, "a"), b(log, "b"), c(log, "c");
    for (CClient* client : {&b, &a, &c})
        ASSERT_TRUE(source.Advise(client, &CClient::OnEvent));

    source.Fire(4);
    EXPECT_EQ(log, (Log{"b:4", "a:4", "c:4"}));
}

TEST(CEventHandlerTest, StopWhenHandledEndsAtTheFirstClientThatHandled)
{
    const struct
    {
        bool stop;
        Log expected;
    } cases[] = {
        {false, {"a:1", "b:1", "c:1"}},
        {true, {"a:1", "b:1"}},
    };
    for (const auto& test : cases)
    {
        Log log;
        CSource source;
        CClient a(log, "a", 0), b(log, "b", 1), c(log, "c", 1);
        for (CClient* client : {&a, &b, &c})
            source.Advise(client, &CClient::OnEvent);
        source.Fire(1, test.stop);
        EXPECT_EQ(log, test.expected) << "stop " << test.stop;
    }
}

TEST(CEventHandlerTest, LinksAreCountedPerClientAndCallback)
{
    Log log;
    CSource source;
    CClient client(log, "c"), stranger(log, "s");

    EXPECT_TRUE(source.Advise(&client, &CClient::OnEvent));
    EXPECT_FALSE(source.Advise(&client, &CClient::OnEvent));
    EXPECT_TRUE(source.Advise(&client, &CClient::OnOther));
    source.Fire(5);
    EXPECT_EQ(log, (Log{"c:5", "c+5"}));

    EXPECT_FALSE(source.Unadvise(&stranger));
    // Unadvise takes the oldest link only.
    EXPECT_TRUE(source.Unadvise(&client));
    source.Fire(6);
    EXPECT_EQ(log.back(), "c+6");
    EXPECT_EQ(log.size(), 3u);
    EXPECT_TRUE(source.Unadvise(&client));
    EXPECT_FALSE(source.Unadvise(&client));
}

TEST(CEventHandlerTest, AClientIsOneObjectWhicheverBasePointerNamesIt)
{
    CSource source;
    CMyView view;
    CViewBase* asBase = &view;

    EXPECT_TRUE(source.Advise(&view, &CMyView::OnMine));
    EXPECT_TRUE(source.Advise(asBase, &CViewBase::OnBaseEvent));
    EXPECT_FALSE(source.Advise(&view, &CViewBase::OnBaseEvent));

    source.Fire(7);
    EXPECT_EQ(view.m_nMine, 7);
    EXPECT_EQ(view.m_nBaseCalls, 1);

    EXPECT_TRUE(source.Unadvise(static_cast<CEventHandler*>(asBase)));
    EXPECT_TRUE(source.Unadvise(&view));
    EXPECT_FALSE(source.Unadvise(&view));
}

TEST(CEventHandlerTest, DestroyingAClientUnlinksItFromEverySource)
{
    Log log;
    CSource first, second;
    CEventHandler* gone = nullptr;
    {
        CClient client(log, "c");
        gone = &client;
        first.Advise(&client, &CClient::OnEvent);
        first.Advise(&client, &CClient::OnOther);
        second.Advise(&client, &CClient::OnEvent);
    }
    first.Fire(1);
    second.Fire(2);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(first.m_unlinked, (std::vector<CEventHandler*>{gone, gone}));
    EXPECT_EQ(second.m_unlinked, (std::vector<CEventHandler*>{gone}));
}

TEST(CEventHandlerTest, DestroyingASourceUnlinksItFromEveryClient)
{
    Log log;
    CSource survivor;
    auto client = std::make_unique<CClient>(log, "c");
    auto other = std::make_unique<CClient>(log, "o");
    auto source = std::make_unique<CSource>();
    source->Advise(client.get(), &CClient::OnEvent);
    source->Advise(other.get(), &CClient::OnEvent);
    survivor.Advise(client.get(), &CClient::OnEvent);

    source.reset();
    survivor.Fire(3);
    EXPECT_EQ(log, (Log{"c:3"}));
    // A client still holding the destroyed source would reach it here.
    client.reset();
    other.reset();
    EXPECT_EQ(survivor.m_unlinked.size(), 1u);
}

TEST(CEventHandlerTest, DisablingNests)
{
    const struct
    {
        bool enable;
        std::int32_t count;
        bool delivered;
    } steps[] = {
        {false, 1, false},
        {false, 2, false},
        {true, 1, false},
        {true, 0, true},
    };
    Log log;
    CSource source;
    CClient client(log, "c");
    source.Advise(&client, &CClient::OnEvent);
    int value = 0;
    for (const auto& step : steps)
    {
        EXPECT_EQ(source.EnableEvents(step.enable), step.count);
        const std::size_t before = log.size();
        source.Fire(++value);
        EXPECT_EQ(log.size() > before, step.delivered) << "step " << value;
    }
}

TEST(CEventHandlerTest, ACallbackMayUnlinkItsOwnClient)
{
    Log log;
    CSource source;
    CClient a(log, "a"), b(log, "b"), c(log, "c");
    for (CClient* client : {&a, &b, &c})
        source.Advise(client, &CClient::OnEvent);
    b.m_onEvent = [&] { source.Unadvise(&b); };

    source.Fire(1);
    source.Fire(2);
    EXPECT_EQ(log, (Log{"a:1", "b:1", "c:1", "a:2", "c:2"}));
}

TEST(CEventHandlerTest, ACallbackMayChangeOtherLinksDuringDelivery)
{
    struct SCase
    {
        const char* what;
        std::function<void(CSource&, CClient& a, CClient& c, CClient& d)> change;
        Log expected;
    };
    const SCase cases[] = {
        {"unlink a client still to come: it is skipped",
         [](CSource& s, CClient&, CClient& c, CClient&) { s.Unadvise(&c); },
         {"a:1", "b:1"}},
        {"unlink a client already called: no effect on this delivery",
         [](CSource& s, CClient& a, CClient&, CClient&) { s.Unadvise(&a); },
         {"a:1", "b:1", "c:1"}},
        {"link a new client: it receives this event too",
         [](CSource& s, CClient&, CClient&, CClient& d) { s.Advise(&d, &CClient::OnEvent); },
         {"a:1", "b:1", "c:1", "d:1"}},
        {"relink a client already called: it is called again",
         [](CSource& s, CClient& a, CClient&, CClient&)
         {
             s.Unadvise(&a);
             s.Advise(&a, &CClient::OnEvent);
         },
         {"a:1", "b:1", "c:1", "a:1"}},
    };
    for (const SCase& test : cases)
    {
        Log log;
        CSource source;
        CClient a(log, "a"), b(log, "b"), c(log, "c"), d(log, "d");
        for (CClient* client : {&a, &b, &c})
            source.Advise(client, &CClient::OnEvent);
        b.m_onEvent = [&] { test.change(source, a, c, d); };
        source.Fire(1);
        EXPECT_EQ(log, test.expected) << test.what;
    }
}

TEST(CEventHandlerTest, CopiesStartWithoutLinks)
{
    Log log;
    CSource source;
    CClient client(log, "c");
    source.Advise(&client, &CClient::OnEvent);

    CSource copy(source);
    copy.Fire(1);
    CSource assigned;
    assigned = source;
    assigned.Fire(2);
    EXPECT_TRUE(log.empty());

    {
        CClient clientCopy(client);
        source.Fire(3);
    }
    source.Fire(4);
    EXPECT_EQ(log, (Log{"c:3", "c:4"}));
}

// A client that leaves on one thread while the source delivers to it on
// another: the departure waits for the delivery in hand, and no delivery
// reaches the client after it has gone.
TEST(CEventHandlerTest, AClientMayLeaveWhileAnotherThreadFires)
{
    class CWatcher : public CEventHandler
    {
    public:
        ~CWatcher() override { UnadviseAll(); }
        int OnEvent(void*)
        {
            m_reached.Set();
            return 0;
        }
        CEvent m_reached;
    };

    CSource source;
    std::atomic<bool> firing{true};
    std::thread firer(
        [&]
        {
            for (int value = 0; firing; ++value)
                source.Fire(value);
        });
    int reached = 0;
    for (int i = 0; i < 200; ++i)
    {
        CWatcher client;
        source.Advise(&client, &CWatcher::OnEvent);
        if (client.m_reached.Wait(10s))
            ++reached;
    }
    firing = false;
    firer.join();
    EXPECT_EQ(reached, 200);
}
