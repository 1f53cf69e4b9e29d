#pragma once
#include "core/CEventHandler.h"
#include "ui/frame/CCommandTarget.h"

#include <QWidget>

class CCommandActions;
class CLogCtrl;
class CMessageLog;
class CPopupMenu;

// The "Application Log" page of the lower pane: every problem met so far,
// one row each, which the user can clear or save as text. Serves the two log
// commands while its tab is selected. Owned by the tabbed view; the log is
// the application's.
class CLoggingPage : public QWidget, public CEventHandler, public CCommandTarget
{
    Q_OBJECT

public:
    // The popup shows the window's actions.
    CLoggingPage(CMessageLog& log, CCommandActions& actions, QWidget* parent = nullptr);
    ~CLoggingPage() override;

    // Writes the log to the file, replacing it; a failure is shown to the
    // user and changes nothing.
    void SaveLogTo(const QString& path);

    CLogCtrl& LogCtrl() const { return *m_pLogCtrl; }
    CPopupMenu& Popup() const { return *m_pPopup; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

signals:
    void CommandStateChanged();

private:
    int OnLogCtrlEvent(void* record);
    void SaveLog();

    CMessageLog& m_log;
    CLogCtrl* m_pLogCtrl;
    CPopupMenu* m_pPopup;
};
