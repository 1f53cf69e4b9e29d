#include "engine/COpenAhead.h"

#include "engine/CFileEntrys.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <utility>

namespace
{
// Enough to keep the writer fed; few enough open files for any system.
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

bool COpenAhead::LookAt(COpenFolder& folder, const SFileEntry& entry, CFile& file,
                        CFileStatus& status)
{
    const std::string& path = entry.strPath;
    if (!entry.bIsFile)
        return CFileStatus::Get(path, status);
    // Files come folder by folder: the folder is held while they last.
    const std::size_t cut = path.find_last_of(kSeparators);
    const std::string parent = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    if (parent != folder.GetPath())
        folder.Hold(parent);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    return file.OpenIn(folder, name, CFile::modeRead | CFile::modeNoWait) &&
           file.GetStatus(status);
}

// Each side wakes the other only when it waits, and the opener only once
// half the entries are taken: waking a thread per entry would cost more
// than the calls it saves.
COpenAhead::SLooked COpenAhead::Next()
{
    std::unique_lock guard(m_lock);
    if (m_ready.empty())
    {
        m_bWriterWaits = true;
        m_changed.wait(guard, [this] { return !m_ready.empty(); });
        m_bWriterWaits = false;
    }
    SLooked looked = std::move(m_ready.front());
    m_ready.pop_front();
    const bool wake = m_bOpenerWaits && m_ready.size() <= kAhead / 2;
    guard.unlock();
    if (wake)
        m_changed.notify_all();
    return looked;
}

void COpenAhead::Run()
{
    COpenFolder folder;
    for (int i = 0; i < m_nCount; ++i)
    {
        SLooked looked;
        if (m_entries.CopyAt(i, looked.entry))
        {
            looked.bFound = LookAt(folder, looked.entry, looked.file, looked.status);
            looked.dwError = looked.bFound ? ERROR_SUCCESS : CSystemError::GetLast();
        }
        else
        {
            looked.dwError = ERROR_INVALID_PARAMETER;
        }
        std::unique_lock guard(m_lock);
        if (m_ready.size() >= kAhead)
        {
            m_bOpenerWaits = true;
            m_changed.wait(guard, [this] { return m_bStop || m_ready.size() <= kAhead / 2; });
            m_bOpenerWaits = false;
        }
        if (m_bStop)
            return;
        m_ready.push_back(std::move(looked));
        const bool wake = m_bWriterWaits;
        guard.unlock();
        if (wake)
            m_changed.notify_all();
    }
}
