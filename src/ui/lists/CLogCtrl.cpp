#include "ui/lists/CLogCtrl.h"

#include "core/CMessageLog.h"
#include "ui/lists/CLogDataSource.h"
#include "ui/lists/SLogCtrlEvent.h"

#include <QFontMetrics>

namespace
{
constexpr int kRowPadding = 4;
}

CLogCtrl::CLogCtrl(QWidget* parent)
    : CUGCtrl(parent), m_pSource(new CLogDataSource(this)), m_changes(*this, [this] { CatchUp(); })
{
    setAccessibleName(QStringLiteral("Application Log"));
    SetMultiSelect(false);
    ApplyRowHeights();
    SetDataSource(m_pSource);
    UpdateHeading();
}

CLogCtrl::~CLogCtrl()
{
    // Waits for a delivery in hand on the worker; none can start after this.
    UnadviseAll();
}

void CLogCtrl::Attach(CMessageLog* log)
{
    if (CMessageLog* old = m_pSource->GetLog())
        old->Unadvise(this);
    m_changes.Discard();
    m_pSource->SetLog(log);
    if (log != nullptr)
        log->Advise(this, &CLogCtrl::OnLogEvent);
    m_pSource->AnnounceReset(log != nullptr ? log->GetCount() : 0);
    OnSize();
    UpdateHeading();
    emit ListChanged();
}

void CLogCtrl::SetListFont(const QFont& font)
{
    setFont(font);
    ApplyRowHeights();
}

void CLogCtrl::ApplyRowHeights()
{
    const int height = QFontMetrics(font()).height() + kRowPadding;
    SetRowHeights(height, height);
}

int CLogCtrl::GetRowCount() const
{
    return m_pSource->GetAnnouncedRows();
}

int CLogCtrl::OnLogEvent(void* record)
{
    const auto* event = static_cast<const CMessageLog::SLogEvent*>(record);
    const SFileEntrysEvent change = event->nKind == CMessageLog::LOG_EVENT_CLEARED
                                        ? SFileEntrysEvent{ENTRYS_CLEARED, 0, 0}
                                        : SFileEntrysEvent{ENTRYS_INSERTED, event->nIndex, 1};
    m_changes.Note(change);
    return 0;
}

void CLogCtrl::CatchUp()
{
    CMessageLog* log = m_pSource->GetLog();
    if (log == nullptr || m_changes.CatchUp(*m_pSource, [log] { return log->GetCount(); }).nChanges == 0)
        return;
    UpdateHeading();
    emit ListChanged();
}

void CLogCtrl::UpdateHeading()
{
    m_pSource->SetHeading(0, QStringLiteral("%1, %2 Total").arg(m_pSource->GetColName(0)).arg(GetRowCount()));
}

void CLogCtrl::OnRButton(bool pressed, const QPoint& point)
{
    SLogCtrlEvent event{pressed ? LOG_CTRL_EVENT_RBUTTON_DOWN : LOG_CTRL_EVENT_RBUTTON_UP, point.x(),
                        point.y()};
    FireEvent(&event);
}

void CLogCtrl::OnSize()
{
    SetColWidth(0, GetAvailableWidth());
}
