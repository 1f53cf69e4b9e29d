#include "engine/COpenAhead.h"

#include "engine/CFileEntrys.h"
#include "platform/CLink.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <iterator>
#include <string_view>
#include <utility>

namespace
{
// Entries handed over at a time. The writer may wait for a whole batch to
// be opened, so it stays small.
constexpr std::size_t kBatch = 16;
// Enough waiting ready to keep the writer fed; with what the writer holds
// and what waits to be closed, few enough open files for any system.
constexpr std::size_t kAhead = 32;
constexpr const char* kSeparators = kHostPathStyle == EPathStyle::Windows ? "\\/" : "/";
} // namespace

COpenAhead::COpenAhead(const CFileEntrys& entries, int count)
    : m_entries(entries), m_nCount(count), m_thread(&COpenAhead::Run, this)
{
}

COpenAhead::~COpenAhead()
{
    {
        std::lock_guard guard(m_lock);
        m_bStop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool COpenAhead::LookAt(COpenFolder& folder, SFileEntry& entry, CFile& file, CFileStatus& status)
{
    const std::string& path = entry.strPath;
    if (entry.chType == '5')
        return CFileStatus::Get(path, status, false);
    // Files come folder by folder: the folder is held while they last.
    const std::size_t cut = path.find_last_of(kSeparators);
    const std::size_t nameAt = cut == std::string::npos ? 0 : cut + 1;
    if (std::string_view(path).substr(0, nameAt) != folder.GetPath())
        folder.Hold(path.substr(0, nameAt));
    const std::string name = path.substr(nameAt);
    if (entry.chType == '0')
        return file.OpenIn(folder, name, CFile::modeRead | CFile::modeNoWait) &&
               file.GetStatus(status);
    // A link is stored, never followed; a FIFO never opened.
    return CFileStatus::GetIn(folder, name, status, false) &&
           (!status.m_bLink || CLink::ReadIn(folder, name, entry.strLinkTarget));
}

COpenAhead::SLooked COpenAhead::Look(COpenFolder& folder, int index) const
{
    SLooked looked;
    if (!m_entries.CopyAt(index, looked.entry))
    {
        looked.dwError = ERROR_INVALID_PARAMETER;
        return looked;
    }
    looked.bFound = LookAt(folder, looked.entry, looked.file, looked.status);
    looked.dwError = looked.bFound ? ERROR_SUCCESS : CSystemError::GetLast();
    return looked;
}

COpenAhead::SLooked& COpenAhead::Next()
{
    if (m_nNext == m_taken.size())
        Take();
    return m_taken[m_nNext++];
}

// Each side wakes the other only when it waits.
void COpenAhead::Take()
{
    std::unique_lock guard(m_lock);
    if (m_spent.empty())
        m_spent.swap(m_taken);
    else
        std::move(m_taken.begin(), m_taken.end(), std::back_inserter(m_spent));
    m_taken.clear();
    m_nNext = 0;
    if (m_ready.empty())
    {
        m_bWriterWaits = true;
        m_changed.wait(guard, [this] { return !m_ready.empty(); });
        m_bWriterWaits = false;
    }
    m_taken.swap(m_ready);
    const bool wake = m_bOpenerWaits;
    guard.unlock();
    if (wake)
        m_changed.notify_all();
}

void COpenAhead::Run()
{
    COpenFolder folder;
    Batch batch;
    Batch spent;
    for (int i = 0; i < m_nCount; ++i)
    {
        batch.push_back(Look(folder, i));
        if (batch.size() < kBatch && i + 1 < m_nCount)
            continue;
        if (!Hand(batch, spent))
            return;
        // Closed and freed by the thread that opened and allocated them.
        spent.clear();
    }
}

bool COpenAhead::Hand(Batch& batch, Batch& spent)
{
    std::unique_lock guard(m_lock);
    if (m_ready.size() >= kAhead)
    {
        m_bOpenerWaits = true;
        m_changed.wait(guard, [this] { return m_bStop || m_ready.size() < kAhead; });
        m_bOpenerWaits = false;
    }
    if (m_bStop)
        return false;
    std::move(batch.begin(), batch.end(), std::back_inserter(m_ready));
    batch.clear();
    spent.swap(m_spent);
    const bool wake = m_bWriterWaits;
    guard.unlock();
    if (wake)
        m_changed.notify_all();
    return true;
}
