#include "engine/COpenAhead.h"

#include "engine/CFileEntrys.h"
#include "platform/CSystemError.h"

#include <utility>

namespace
{
// Enough to keep the writer fed; few enough open files for any system.
constexpr std::size_t kAhead = 32;
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

bool COpenAhead::LookAt(const SFileEntry& entry, CFile& file, CFileStatus& status)
{
    if (!entry.bIsFile)
        return CFileStatus::Get(entry.strPath, status);
    return file.Open(entry.strPath, CFile::modeRead | CFile::modeNoWait) && file.GetStatus(status);
}

COpenAhead::SLooked COpenAhead::Next()
{
    std::unique_lock guard(m_lock);
    m_changed.wait(guard, [this] { return !m_ready.empty(); });
    SLooked looked = std::move(m_ready.front());
    m_ready.pop_front();
    guard.unlock();
    m_changed.notify_all();
    return looked;
}

void COpenAhead::Run()
{
    for (int i = 0; i < m_nCount; ++i)
    {
        SLooked looked;
        if (m_entries.CopyAt(i, looked.entry))
        {
            looked.bFound = LookAt(looked.entry, looked.file, looked.status);
            looked.dwError = looked.bFound ? ERROR_SUCCESS : CSystemError::GetLast();
        }
        else
        {
            looked.dwError = ERROR_INVALID_PARAMETER;
        }
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [this] { return m_bStop || m_ready.size() < kAhead; });
        if (m_bStop)
            return;
        m_ready.push_back(std::move(looked));
        guard.unlock();
        m_changed.notify_all();
    }
}
