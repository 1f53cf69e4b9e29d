#include "engine/CFileEntrys.h"

#include "engine/CTarMessages.h"
#include "platform/CFileStatus.h"
#include "platform/CFolder.h"
#include "platform/COpenFolder.h"
#include "platform/PathStyle.h"

#include <algorithm>
#include <future>
#include <stdexcept>

namespace
{

// What the tree walk needs to know about one item.
enum class EItem
{
    Refused,
    File, // or anything else that is not entered: a link, a FIFO
    Folder,
};

void Refuse(const std::string& path, const CFileStatus& status, CFileEntrys::Problems* pProblems)
{
    if (pProblems)
        pProblems->push_back(CTarMessages::Unsupported(path, status));
}

// Describes the item into entry. A link is stored as a link and never
// entered, even when it leads to a folder; devices and sockets are refused.
EItem Inspect(const COpenFolder& folder, const std::string& name, SFileEntry& entry,
              CFileEntrys::Problems* pProblems)
{
    CFileStatus status;
    if (!CFileStatus::GetIn(folder, name, status, false))
        return EItem::Refused; // nothing there to speak of
    if (!SFileEntry::IsStorable(status))
    {
        Refuse(folder.PathOf(name), status, pProblems);
        return EItem::Refused;
    }
    if (folder.GetPath().empty())
    {
        if (!entry.SetPath(name, status))
            return EItem::Refused;
    }
    else
    {
        entry.SetInFolder(folder.GetPath(), name, status);
    }
    return entry.bIsFile ? EItem::File : EItem::Folder;
}

// One name of a folder, described.
struct SInspected
{
    EItem kind = EItem::Refused;
    SFileEntry entry;
    CFileEntrys::Problems problems;
};

// Names are described this many at a time, so that a huge folder never holds
// the descriptions of all its names besides the list's own entries.
constexpr std::size_t kDescribedAtOnce = 4096;

// A folder's names and the descriptions of a run of them; bListed false when
// the folder could not be listed.
struct SListing
{
    bool bListed = false;
    std::string strPath;
    std::vector<std::string> names;
    std::vector<SInspected> items; // names[first, first + items.size())
};

// Describes the next run of the listing's names, from first on.
void Describe(SListing& listing, std::size_t first, bool wantProblems)
{
    const std::size_t last = std::min(listing.names.size(), first + kDescribedAtOnce);
    listing.items.clear();
    listing.items.resize(last - first);
    // The names are looked up from the folder itself.
    COpenFolder folder;
    folder.Hold(listing.strPath);
    for (std::size_t i = first; i < last; ++i)
    {
        SInspected& item = listing.items[i - first];
        item.kind =
            Inspect(folder, listing.names[i], item.entry, wantProblems ? &item.problems : nullptr);
    }
}

// Lists the folder and describes the first run of its names.
SListing ListFolder(const std::string& path, bool wantProblems)
{
    SListing listing;
    listing.strPath = path;
    listing.bListed = CFolder::Enumerate(path, listing.names);
    if (listing.bListed)
        Describe(listing, 0, wantProblems);
    return listing;
}

// The listing of a folder, made on a second thread.
struct SListedAhead
{
    std::string strPath;
    std::future<SListing> listing;
};

// Starts listing the first folder among items from first on, unless a
// listing is under way already.
void ListAhead(const std::vector<SInspected>& items, std::size_t first, bool wantProblems,
               SListedAhead& ahead)
{
    if (ahead.listing.valid())
        return;
    const auto next =
        std::find_if(items.begin() + static_cast<std::ptrdiff_t>(first), items.end(),
                     [](const SInspected& item) { return item.kind == EItem::Folder; });
    if (next == items.end())
        return;
    ahead.strPath = next->entry.strPath;
    ahead.listing = std::async(std::launch::async, ListFolder, ahead.strPath, wantProblems);
}

void AddItems(CFileEntrys& list, std::vector<SInspected>& items, std::size_t baseLength,
              CFileEntrys::Problems* pProblems, SListedAhead& ahead);

// Adds the folder, then what its listing holds, depth first, each folder
// before its contents. Asking the system about each name is most of the
// cost of adding a tree of small files, and it answers two threads at once
// only about names in different folders: so while a folder is listed here,
// the next folder of the same listing is listed on a second thread, one
// at a time, and taken from there when its turn comes.
bool AddListed(CFileEntrys& list, const SFileEntry& folder, SListing listing,
               std::size_t baseLength, CFileEntrys::Problems* pProblems, SListedAhead& ahead)
{
    // The contents go in even when the folder entry itself is refused.
    list.Add(folder);
    if (!listing.bListed)
        return false;
    for (std::size_t first = 0; first < listing.names.size(); first += kDescribedAtOnce)
    {
        if (first > 0)
            Describe(listing, first, pProblems != nullptr);
        AddItems(list, listing.items, baseLength, pProblems, ahead);
    }
    return true;
}

// Adds a run of described names, and the tree of each folder among them.
void AddItems(CFileEntrys& list, std::vector<SInspected>& items, std::size_t baseLength,
              CFileEntrys::Problems* pProblems, SListedAhead& ahead)
{
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        SInspected& item = items[i];
        if (pProblems)
            pProblems->insert(pProblems->end(), item.problems.begin(), item.problems.end());
        if (item.kind == EItem::Refused)
            continue;
        item.entry.strName =
            item.entry.strPath.substr(std::min(baseLength, item.entry.strPath.size()));
        if (item.kind != EItem::Folder)
        {
            list.Add(std::move(item.entry));
            continue;
        }
        SListing contents;
        if (ahead.listing.valid() && ahead.strPath == item.entry.strPath)
        {
            contents = ahead.listing.get();
        }
        else
        {
            ListAhead(items, i + 1, pProblems != nullptr, ahead);
            contents = ListFolder(item.entry.strPath, pProblems != nullptr);
        }
        AddListed(list, item.entry, std::move(contents), baseLength, pProblems, ahead);
    }
}

} // namespace

CFileEntrys::~CFileEntrys()
{
    RemoveAll();
    UnadviseAll();
}

bool CFileEntrys::CanAdd(const SFileEntry&)
{
    return true;
}

int CFileEntrys::Add(const SFileEntry& entry, int index)
{
    return Add(SFileEntry(entry), index);
}

int CFileEntrys::Add(SFileEntry&& entry, int index)
{
    int used;
    const SFileEntry* added;
    {
        std::lock_guard guard(m_lock);
        const int count = GetCount();
        if (index != -1)
            CheckIndex(index, count + 1);
        if (!CanAdd(entry))
            return -1;
        used = index == -1 ? count : index;
        m_total += entry.dwSize;
        const auto at = m_entries.begin() + used;
        added = m_entries.insert(at, std::make_unique<SFileEntry>(std::move(entry)))->get();
        m_nCount = static_cast<int>(m_entries.size());
    }
    Notify(ENTRYS_INSERTED, used, 1);
    if (m_watch)
        m_watch(*added);
    return used;
}

void CFileEntrys::SetWatch(Watch watch)
{
    m_watch = std::move(watch);
}

void CFileEntrys::RemoveAt(int index)
{
    {
        std::lock_guard guard(m_lock);
        CheckIndex(index, GetCount());
        const auto at = m_entries.begin() + index;
        m_total -= (*at)->dwSize;
        m_entries.erase(at);
        m_nCount = static_cast<int>(m_entries.size());
    }
    Notify(ENTRYS_REMOVED, index, 1);
}

void CFileEntrys::RemoveAll()
{
    {
        std::lock_guard guard(m_lock);
        std::vector<std::unique_ptr<SFileEntry>>().swap(m_entries);
        m_nCount = 0;
        m_total = 0;
    }
    Notify(ENTRYS_CLEARED, 0, 0);
}

void CFileEntrys::Move(int to, int from)
{
    if (to == from)
        return;
    {
        std::lock_guard guard(m_lock);
        CheckIndex(to, GetCount());
        CheckIndex(from, GetCount());
        const auto begin = m_entries.begin();
        if (from > to)
            std::rotate(begin + to, begin + from, begin + from + 1);
        else
            std::rotate(begin + from, begin + from + 1, begin + to + 1);
    }
    Notify(ENTRYS_MOVED, std::min(to, from), std::max(to, from) - std::min(to, from));
}

const SFileEntry* CFileEntrys::GetAt(int index) const
{
    std::lock_guard guard(m_lock);
    CheckIndex(index, GetCount());
    return m_entries[static_cast<std::size_t>(index)].get();
}

bool CFileEntrys::CopyAt(int index, SFileEntry& entry) const
{
    std::lock_guard guard(m_lock);
    if (index < 0 || index >= GetCount())
        return false;
    entry = *m_entries[static_cast<std::size_t>(index)];
    return true;
}

bool CFileEntrys::TestAt(int index, const std::function<bool(const SFileEntry&)>& test) const
{
    std::lock_guard guard(m_lock);
    return index >= 0 && index < GetCount() && test(*m_entries[static_cast<std::size_t>(index)]);
}

// Without the lock: a client counting from inside a notice must not take
// the list's lock after the delivery's, while a tree being added takes them
// the other way round.
int CFileEntrys::GetCount() const
{
    return m_nCount;
}

std::uint64_t CFileEntrys::GetTotalSize() const
{
    std::lock_guard guard(m_lock);
    return m_total;
}

bool CFileEntrys::AddPath(const std::string& path, bool recurse, Problems* pProblems)
{
    SFileEntry entry;
    const EItem item = Inspect(COpenFolder(), path, entry, pProblems);
    if (item == EItem::Refused)
        return false;
    if (recurse)
        return AddTree(entry, entry.strPath.size() - entry.strName.size(), pProblems);
    Add(entry);
    return true;
}

bool CFileEntrys::AddTree(const SFileEntry& entry, std::size_t baseLength, Problems* pProblems)
{
    std::lock_guard guard(m_lock);
    if (entry.bIsFile)
        return Add(entry) != -1;
    SListedAhead ahead;
    return AddListed(*this, entry, ListFolder(entry.strPath, pProblems != nullptr), baseLength,
                     pProblems, ahead);
}

void CFileEntrys::Notify(std::int32_t kind, std::int32_t first, std::int32_t count)
{
    SFileEntrysEvent event{kind, first, count};
    FireEvent(&event, false);
}

void CFileEntrys::CheckIndex(int index, int limit) const
{
    if (index < 0 || index >= limit)
        throw std::out_of_range("file entry index out of range");
}
