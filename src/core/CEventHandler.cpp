#include "core/CEventHandler.h"

#include <algorithm>

CEventHandler::CEventHandler(const CEventHandler&) : CEventHandler()
{
}

CEventHandler& CEventHandler::operator=(const CEventHandler&)
{
    return *this;
}

CEventHandler::~CEventHandler()
{
    UnadviseAll();
}

bool CEventHandler::AdviseClient(CEventHandler* client, Callback callback, Invoker invoke)
{
    if (client == nullptr || callback == nullptr)
        return false;
    std::lock_guard sourceLock(m_lock);
    std::lock_guard clientLock(client->m_lock);
    const bool linked = std::any_of(m_clients.begin(), m_clients.end(),
                                    [&](const SClient& c)
                                    { return c.pClient == client && c.pfnCallback == callback; });
    if (linked)
        return false;
    m_clients.push_back(SClient{client, callback, invoke, ++m_nLastSerial});
    client->m_sources.push_back(this);
    return true;
}

bool CEventHandler::Unadvise(CEventHandler* client)
{
    std::lock_guard lock(m_lock);
    const auto link = std::find_if(m_clients.begin(), m_clients.end(),
                                   [client](const SClient& c) { return c.pClient == client; });
    if (link == m_clients.end())
        return false;
    RemoveLink(link);
    return true;
}

void CEventHandler::RemoveLink(std::list<SClient>::iterator link)
{
    CEventHandler* client = link->pClient;
    std::lock_guard clientLock(client->m_lock);
    m_clients.erase(link);
    // The client holds this source once per link, so one entry goes.
    const auto source = std::find(client->m_sources.begin(), client->m_sources.end(), this);
    if (source != client->m_sources.end())
        client->m_sources.erase(source);
    OnUnadviseClient(client);
    OnUnadviseSource();
}

void CEventHandler::UnadviseAll()
{
    {
        std::lock_guard lock(m_lock);
        while (!m_clients.empty())
            RemoveLink(m_clients.begin());
    }
    // Our own lock is not held here: each source takes its lock before ours,
    // and a source delivering to us on another thread must be able to finish.
    while (CEventHandler* source = FirstSource())
        source->Unadvise(this);
}

CEventHandler* CEventHandler::FirstSource() const
{
    std::lock_guard lock(m_lock);
    return m_sources.empty() ? nullptr : m_sources.front();
}

void CEventHandler::FireEvent(void* record, bool stopWhenHandled)
{
    std::lock_guard lock(m_lock);
    if (m_disableCount != 0)
        return;
    std::uint64_t served = 0;
    for (;;)
    {
        // Searched afresh each time: the callback may have erased any link,
        // including the one that came next when it was called.
        const auto next = std::find_if(m_clients.begin(), m_clients.end(),
                                       [served](const SClient& c) { return c.nSerial > served; });
        if (next == m_clients.end())
            return;
        const SClient client = *next;
        served = client.nSerial;
        if (client.pfnInvoke(client.pClient, client.pfnCallback, record) != 0 && stopWhenHandled)
            return;
    }
}

std::int32_t CEventHandler::EnableEvents(bool enable)
{
    std::lock_guard lock(m_lock);
    m_disableCount += enable ? -1 : 1;
    return m_disableCount;
}
