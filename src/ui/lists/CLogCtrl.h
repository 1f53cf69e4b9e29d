#pragma once
#include "core/CEventHandler.h"
#include "grid/CUGCtrl.h"
#include "ui/lists/CListChanges.h"

class CLogDataSource;
class CMessageLog;
class QFont;

// The one-column list of the "Application Log" page: every message of the
// application log, with the count in the heading. It tells the page of
// right-button presses and releases (SLogCtrlEvent, to clients linked with
// Advise, on the window thread). The page owns the control; the application
// owns the log. Entries added on the worker thread are shown once the window
// thread catches up, however many came meanwhile.
class CLogCtrl : public CUGCtrl, public CEventHandler
{
    Q_OBJECT
public:
    explicit CLogCtrl(QWidget* parent = nullptr);
    ~CLogCtrl() override;

    void Attach(CMessageLog* log);
    void SetListFont(const QFont& font);
    int GetRowCount() const;

signals:
    // After the control caught up with the log.
    void ListChanged();

protected:
    void OnRButton(bool pressed, const QPoint& point) override;
    void OnSize() override;

private:
    int OnLogEvent(void* record);
    void CatchUp();
    void UpdateHeading();
    void ApplyRowHeights();

    CLogDataSource* m_pSource;
    CListChanges m_changes;
};
