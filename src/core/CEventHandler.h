#pragma once
#include <cstdint>
#include <list>
#include <mutex>
#include <type_traits>

// Base of every object that others watch, and of every object that watches.
// A client links one of its member functions to a source with Advise; the
// source's FireEvent then calls each linked function, on the firing thread and
// in the order the links were made, with a pointer to an event record that is
// valid only during the call. Destroying either end of a link removes it from
// both ends. Each object owns its own links; copying an object copies none.
//
// Locking: every operation holds the object's own re-entrant lock; a source's
// lock is taken before a client's, and a source holds its lock for the whole
// of a delivery, so it never delivers two events at once and a client that
// unlinks from another thread waits until the delivery in hand is over.
//
// A derived class whose events may arrive from another thread must call
// UnadviseAll in its own destructor: by the time this base's destructor runs,
// the derived part that a callback would use is already gone.
class CEventHandler
{
public:
    // Returns non-zero when the client handled the event.
    using Callback = int (CEventHandler::*)(void* record);
    // Calls a callback as a member of the class that declared it.
    using Invoker = int (*)(CEventHandler* client, Callback callback, void* record);

    struct SClient
    {
        CEventHandler* pClient;
        Callback pfnCallback;
        Invoker pfnInvoke;
        // Links are numbered in the order they were made, which lets a
        // delivery find its place again after a callback changed the links.
        std::uint64_t nSerial;
    };

    CEventHandler() = default;
    // A copy starts with no links and events enabled; assignment leaves the
    // target's links as they were.
    CEventHandler(const CEventHandler& other);
    CEventHandler& operator=(const CEventHandler& other);
    virtual ~CEventHandler();

    // Links a member function of the client to this source, for example
    // `source.Advise(this, &CMyView::OnListEvent)`. False when the client is
    // already linked with the same function; the client may link several
    // different functions and then receives each event once per function.
    template <class TClient, class TOwner>
    bool Advise(TClient* client, int (TOwner::*callback)(void* record))
    {
        static_assert(std::is_base_of_v<CEventHandler, TOwner>,
                      "a callback must belong to a class derived from CEventHandler");
        static_assert(std::is_base_of_v<TOwner, TClient>,
                      "a callback must be a member function of the client");
        return AdviseClient(client, static_cast<Callback>(callback), &Invoke<TOwner>);
    }

    // Removes the oldest link of the client, whatever its function. False
    // when the client is not linked to this source.
    bool Unadvise(CEventHandler* client);

    // Removes every link of this object, as source and as client.
    void UnadviseAll();

    // Calls each linked client with the record while events are enabled. With
    // stopWhenHandled the delivery ends at the first client that returns
    // non-zero. Callbacks may change this source's links during the delivery:
    // a client unlinked before its turn is skipped, one linked during the
    // delivery receives this event too, and one already called is not called
    // again unless it was linked anew.
    void FireEvent(void* record, bool stopWhenHandled = false);

    // Counts disabling calls (false) up and enabling calls (true) down, so
    // they nest; events are delivered only while the count is 0, which a
    // surplus call with true also breaks. Returns the new count.
    std::int32_t EnableEvents(bool enable);

protected:
    // Called on a source, with both ends locked, after a link to the client
    // was removed. A source that is being destroyed reaches only these empty
    // bodies, since its derived part is gone by then.
    virtual void OnUnadviseClient(CEventHandler* /*client*/) {}
    // Called on a source, with both ends locked, after any of its links was
    // removed, right after OnUnadviseClient.
    virtual void OnUnadviseSource() {}

private:
    // Calls the stored callback through the class that declared it rather than
    // through this base. Both are valid, but where this base does not start
    // the client object (a client with several bases) GCC's undefined-
    // behaviour checker rejects the call through the base.
    template <class TOwner>
    static int Invoke(CEventHandler* client, Callback callback, void* record)
    {
        const auto memberOfOwner = static_cast<int (TOwner::*)(void*)>(callback);
        return (static_cast<TOwner*>(client)->*memberOfOwner)(record);
    }

    bool AdviseClient(CEventHandler* client, Callback callback, Invoker invoke);
    // The caller holds this object's lock.
    void RemoveLink(std::list<SClient>::iterator link);
    CEventHandler* FirstSource() const;

    mutable std::recursive_mutex m_lock;
    std::list<SClient> m_clients;
    std::list<CEventHandler*> m_sources;
    std::int32_t m_disableCount = 0;
    std::uint64_t m_nLastSerial = 0;
};
