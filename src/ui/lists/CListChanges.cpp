#include "ui/lists/CListChanges.h"

#include "grid/CUGDataSource.h"

#include <QObject>
#include <QThread>

#include <algorithm>
#include <utility>

CListChanges::CListChanges(QObject& control, std::function<void()> catchUp)
    : m_control(control), m_catchUp(std::move(catchUp))
{
}

void CListChanges::Note(const SFileEntrysEvent& change)
{
    bool first;
    {
        std::lock_guard guard(m_lock);
        const int last = change.nKind == ENTRYS_MOVED ? change.nFirst + change.nCount : INT_MAX;
        m_noted.nFirst = std::min(m_noted.nFirst, change.nFirst);
        m_noted.nLast = std::max(m_noted.nLast, last);
        m_noted.bCleared = m_noted.bCleared || change.nKind == ENTRYS_CLEARED;
        m_noted.bInserted = m_noted.bInserted || change.nKind == ENTRYS_INSERTED;
        first = ++m_noted.nChanges == 1;
    }
    if (QThread::currentThread() == m_control.thread())
        m_catchUp();
    else if (first)
        QMetaObject::invokeMethod(&m_control, m_catchUp, Qt::QueuedConnection);
}

CListChanges::SSummary CListChanges::CatchUp(CUGDataSource& model,
                                            const std::function<int()>& rows)
{
    SSummary noted;
    {
        std::lock_guard guard(m_lock);
        std::swap(noted, m_noted);
    }
    if (noted.nChanges == 0)
        return noted;
    const int count = rows();
    if (noted.bCleared)
    {
        model.AnnounceReset(count);
        return noted;
    }
    const int shown = model.GetAnnouncedRows();
    if (count > shown)
        model.AnnounceInserted(shown, count - shown);
    else if (count < shown)
        model.AnnounceRemoved(count, shown - count);
    model.AnnounceChanged(noted.nFirst, std::min({noted.nLast, count - 1, shown - 1}));
    return noted;
}

void CListChanges::Discard()
{
    std::lock_guard guard(m_lock);
    m_noted = SSummary();
}
