#pragma once
#include "core/CEventHandler.h"
#include "engine/SFileEntry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <atomic>
#include <mutex>
#include <functional>
#include <string>
#include <vector>

// Kinds of SFileEntrysEvent.
enum : std::int32_t
{
    ENTRYS_INSERTED = 0, // nFirst: the new entry's index
    ENTRYS_MOVED = 1,    // nFirst: the smaller of the two indexes; nCount: the distance
    ENTRYS_REMOVED = 2,  // nFirst: the index the entry had
    ENTRYS_CLEARED = 3,  // nFirst: 0
};

// What changed in a CFileEntrys; nCount is 1 for one entry inserted or
// removed and 0 when the list was cleared.
struct SFileEntrysEvent
{
    std::int32_t nKind;
    std::int32_t nFirst;
    std::int32_t nCount;
};

// An ordered list of files and folders that tells its clients of every change.
// A document keeps two: the files to add, filled from the shell and consumed
// by the archive writer, and the catalogue of the open archive, filled from
// the engine's events. The list owns copies of the entries it is given.
//
// Shared by the window thread and the worker: every operation holds the
// list's own re-entrant lock, and each change notice goes out on the thread
// that made the change, once the lock is released so that clients may read
// the list. A whole folder tree is added under one hold of the lock; its
// notices go out while that hold lasts.
class CFileEntrys : public CEventHandler
{
public:
    using Problems = std::vector<std::string>;

    CFileEntrys() = default;
    CFileEntrys(const CFileEntrys&) = delete;
    CFileEntrys& operator=(const CFileEntrys&) = delete;
    // Empties the list first, so clients still linked hear ENTRYS_CLEARED.
    ~CFileEntrys() override;

    // Whether an entry may join the list; a subclass refuses (and says why)
    // what it cannot show.
    virtual bool CanAdd(const SFileEntry& entry);

    // Stores a copy at the index (-1 or the count: at the end) and returns
    // the index used; -1, changing nothing, when CanAdd refuses. Throws
    // std::out_of_range for an index below -1 or beyond the count.
    int Add(const SFileEntry& entry, int index = -1);
    int Add(SFileEntry&& entry, int index = -1);
    // The index must be below the count (else std::out_of_range).
    void RemoveAt(int index);
    void RemoveAll();
    // Takes the entry at from out and puts it back at to (counted after the
    // removal). Both must be below the count (else std::out_of_range).
    void Move(int to, int from);

    // The stored entry, still owned by the list: valid until that entry is
    // removed or the list cleared. Throws std::out_of_range past the end.
    const SFileEntry* GetAt(int index) const;
    // A copy of the entry, taken under the lock, for a reader on another
    // thread than the one changing the list; false past the end.
    bool CopyAt(int index, SFileEntry& entry) const;
    // The test's answer for the entry, asked under the lock, as CopyAt reads
    // it but without the copy; false past the end.
    bool TestAt(int index, const std::function<bool(const SFileEntry&)>& test) const;
    int GetCount() const;
    std::uint64_t GetTotalSize() const;

    // Adds the item the path names, and with recurse everything inside a
    // folder (AddTree). False when the path cannot be described or, with
    // recurse, when AddTree fails. Items that cannot be stored in an archive
    // (devices, pipes, sockets, links to nothing) are left out, and each one
    // adds a line for the user's log to pProblems when given.
    bool AddPath(const std::string& path, bool recurse, Problems* pProblems = nullptr);
    // Adds the entry and, for a folder, everything inside it, depth first,
    // each folder before its contents; each entry's name is its path past
    // baseLength. A symbolic link inside is followed for what it points at,
    // but a linked folder is added without its contents, so that a link back
    // up the tree cannot loop. False when the entry is a file that CanAdd
    // refused or a folder that cannot be listed.
    bool AddTree(const SFileEntry& entry, std::size_t baseLength, Problems* pProblems = nullptr);

    // Called with each entry once it is in the list, on the thread adding
    // it; it may throw to stop a walk, and what came before stays. Empty:
    // none.
    using Watch = std::function<void(const SFileEntry& entry)>;
    void SetWatch(Watch watch);

private:
    void Notify(std::int32_t kind, std::int32_t first, std::int32_t count);
    // The caller holds the lock.
    void CheckIndex(int index, int limit) const;

    mutable std::recursive_mutex m_lock;
    std::vector<std::unique_ptr<SFileEntry>> m_entries;
    // The size of m_entries, kept under the lock and read without it.
    std::atomic<int> m_nCount{0};
    std::uint64_t m_total = 0;
    Watch m_watch;
};
