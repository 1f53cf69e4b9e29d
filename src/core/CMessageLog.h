#pragma once
#include "core/CEventHandler.h"
#include "core/CLogEntry.h"

#include <mutex>
#include <string>
#include <vector>

// The one application log, owned by the application object. The worker thread
// adds entries while an operation runs; the window thread reads, clears and
// saves them. Clients registered with Advise receive an SLogEvent after each
// change, on the thread that made it, with the log's own lock released so
// they may read the log from their callback.
class CMessageLog : public CEventHandler
{
public:
    enum : int
    {
        LOG_EVENT_ADDED = 0,
        LOG_EVENT_CLEARED = 2,
    };

    struct SLogEvent
    {
        int nKind;
        int nIndex; // the new entry's index; -1 when cleared
    };

    ~CMessageLog() override;

    void Add(const CLogEntry& entry);
    void RemoveAll();
    int GetCount() const;
    // A copy of the entry; the index must be below GetCount().
    CLogEntry GetAt(int index) const;

    // Writes one line per entry to a text file, replacing it. Raises
    // COsException when the file cannot be created or written. An Add from
    // another thread waits until the save is done.
    void SaveToFile(const std::string& path) const;

private:
    void Notify(int kind, int index);

    mutable std::recursive_mutex m_lock;
    std::vector<CLogEntry> m_entries;
};
