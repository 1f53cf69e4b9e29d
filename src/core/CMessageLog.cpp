#include "core/CMessageLog.h"

#include "core/COsException.h"
#include "platform/CFile.h"

CMessageLog::~CMessageLog()
{
    UnadviseAll();
}

void CMessageLog::Add(const CLogEntry& entry)
{
    int index;
    {
        std::lock_guard guard(m_lock);
        m_entries.push_back(entry);
        index = static_cast<int>(m_entries.size()) - 1;
    }
    Notify(LOG_EVENT_ADDED, index);
}

void CMessageLog::RemoveAll()
{
    {
        std::lock_guard guard(m_lock);
        m_entries.clear();
    }
    Notify(LOG_EVENT_CLEARED, -1);
}

int CMessageLog::GetCount() const
{
    std::lock_guard guard(m_lock);
    return static_cast<int>(m_entries.size());
}

CLogEntry CMessageLog::GetAt(int index) const
{
    std::lock_guard guard(m_lock);
    return m_entries.at(static_cast<std::size_t>(index));
}

void CMessageLog::SaveToFile(const std::string& path) const
{
    std::lock_guard guard(m_lock);
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
        throw COsException();
    for (const CLogEntry& entry : m_entries)
    {
        if (!file.WriteString(entry.FormatLine() + "\n"))
            throw COsException();
    }
    if (!file.Close())
        throw COsException();
}

void CMessageLog::Notify(int kind, int index)
{
    SLogEvent event{kind, index};
    FireEvent(&event, false);
}
