#pragma once
#include "engine/SFileEntry.h"
#include "platform/CFile.h"
#include "platform/CFileStatus.h"
#include "platform/WinError.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

class CFileEntrys;
class COpenFolder;

// Looks up and opens the entries of a write ahead of the writer, on a thread
// of its own. With many small files, finding and opening each one costs more
// than archiving it; done here, it overlaps the writing of the files before.
// The writer takes every entry in list order with Next, each exactly once.
// Entries pass between the threads in batches, and go back to the opener to
// be closed and freed once written: a lock, and perhaps a wake-up, per entry
// would cost more than the thread saves. A few dozen entries at most wait
// ready, so that neither memory nor open files grow with the list. Owned by
// the write; the destructor stops the thread, also in the middle of the
// list, and closes what waits unread.
class COpenAhead
{
public:
    // An entry as the writer needs it: a file opened for reading and
    // described through its descriptor, or a folder looked up by name.
    struct SLooked
    {
        SFileEntry entry;
        CFile file;
        CFileStatus status;
        bool bFound = false;
        DWORD dwError = ERROR_SUCCESS; // the system's error when not found
    };

    // The entries must not change until the object is gone.
    COpenAhead(const CFileEntrys& entries, int count);
    ~COpenAhead();
    COpenAhead(const COpenAhead&) = delete;
    COpenAhead& operator=(const COpenAhead&) = delete;

    // The next entry, waiting for it if need be. It stays this object's,
    // valid until the next call.
    SLooked& Next();

private:
    using Batch = std::vector<SLooked>;

    // The entry at index, looked up from the folder held in folder.
    SLooked Look(COpenFolder& folder, int index) const;
    // A file is opened without waiting, so that a pipe put in its place is
    // refused, not waited on; anything else is looked up by name, and a
    // link's target read into the entry. False with the last error set.
    static bool LookAt(COpenFolder& folder, SFileEntry& entry, CFile& file, CFileStatus& status);

    void Run();
    // Adds the batch to what waits ready, waiting while too much does, and
    // takes what the writer is done with into spent. False once stopped.
    bool Hand(Batch& batch, Batch& spent);
    // The writer's side: gives back what it took and takes what waits ready.
    void Take();

    const CFileEntrys& m_entries;
    const int m_nCount;
    std::mutex m_lock;
    std::condition_variable m_changed;
    Batch m_ready; // opened, in list order, for the writer to take
    Batch m_spent; // written, for the opener to close and free
    bool m_bStop = false;
    bool m_bWriterWaits = false;
    bool m_bOpenerWaits = false;
    // The writer's own, without the lock: what it took, and how far it got.
    Batch m_taken;
    std::size_t m_nNext = 0;
    std::thread m_thread;
};
