#pragma once
#include "core/CEventHandler.h"
#include "ui/frame/CCommandTarget.h"
#include "ui/frame/SFrameContext.h"

#include <QTimer>
#include <QWidget>

class CAppendPage;
class CCommandActions;
class CLoggingPage;
class CTabbedPages;

// The lower pane of the main window: the "Files To Add" and "Application
// Log" pages under their tabs. It offers each command to the selected page
// first, so the files-to-add commands work only while that page shows and
// the log commands only while the log shows. It watches the log: an entry
// added brings the log forward and, once no modal dialog is up any more,
// tells the user once that errors occurred. Owned by the main frame.
class CTabbedView : public QWidget, public CEventHandler, public CCommandTarget
{
    Q_OBJECT

public:
    enum EPage
    {
        PAGE_FILES_TO_ADD = 0,
        PAGE_LOG = 1,
    };
    static constexpr int ALERT_PERIOD_MS = 250;

    // The pages' popups show the window's actions.
    CTabbedView(const SFrameContext& context, CCommandActions& actions, QWidget* parent = nullptr);
    ~CTabbedView() override;

    CTabbedPages& Pages() const { return *m_pPages; }
    CAppendPage& AppendPage() const { return *m_pAppendPage; }
    CLoggingPage& LoggingPage() const { return *m_pLoggingPage; }
    bool IsAlertRunning() const { return m_alertTimer.isActive(); }
    // Gives the keyboard to the selected page's list.
    void FocusSelectedPage();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

signals:
    void CommandStateChanged();

protected:
    // A drag from the file manager brings the list that takes drops forward.
    void dragEnterEvent(QDragEnterEvent* event) override;

private:
    int OnLogEvent(void* record);
    void StartAlert();
    void OnAlertTimer();
    CCommandTarget* SelectedPage() const;

    CTarDoc& m_doc;
    const bool m_bTapesExist;
    CTabbedPages* m_pPages;
    CAppendPage* m_pAppendPage;
    CLoggingPage* m_pLoggingPage;
    QTimer m_alertTimer;
};
