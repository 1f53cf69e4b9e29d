#pragma once
#include "ui/frame/CCommandTarget.h"
#include "ui/frame/SFrameContext.h"

#include <QMainWindow>
#include <QTimer>

#include <array>

class CArchiveView;
class CCommandActions;
class CMenuButtonToolBar;
class CPaneSplitter;
class CTabbedView;
class QToolBar;

// The main window: the catalogue above, the tabbed pages below, the menus,
// the two toolbars and the status bar. Every command goes first to the
// catalogue view, then to the tabbed view (which asks its selected page),
// then to the frame itself and last to the application, so each command
// finds the one window that serves it; the enable rules are asked the same
// way whenever what they read may have changed and before a menu opens. The
// frame keeps its placement, pane height and toolbar layout for the next
// run. The application owns it.
class CMainFrame : public QMainWindow, public CCommandTarget
{
    Q_OBJECT

public:
    explicit CMainFrame(const SFrameContext& context, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The application's commands come last in the routing.
    void SetApplicationTarget(CCommandTarget* target);
    // The recent files under the File menu, most recent first.
    void SetRecentFiles(const QStringList& paths);
    // Attach or detach the drop-down menus of the Open and Save buttons.
    void EnableOpenMenu(bool enable);
    void EnableSaveMenu(bool enable);
    // Shows the window where and as the stored placement says, then starts
    // keeping the placement up to date.
    void ShowPlaced();
    // Once start-up is over, an archive dropped on the window opens.
    void AcceptShellDrops();

    // Runs the command if it is enabled; false when nobody ran it.
    bool RouteCommand(int id);
    bool IsCommandEnabled(int id);
    // Sets every action's enabled state from the rules now.
    void UpdateCommandStates();
    // The same, soon, and not before the modal dialog now up has gone.
    void RequestCommandUpdate();

    // The command's action as the menus show it, or nullptr.
    QAction* Action(int id) const;
    CArchiveView& ArchiveView() const { return *m_pArchiveView; }
    CTabbedView& TabbedView() const { return *m_pTabbedView; }
    CMenuButtonToolBar& MainToolBar() const { return *m_pMainToolBar; }
    CPaneSplitter& Splitter() const { return *m_pSplitter; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

signals:
    // An archive was dropped on the window; the application opens it.
    void OpenFileRequested(const QString& path);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreatePanes(const SFrameContext& context);
    void CreateMenus();
    QMenu* AddMenu(const QString& title, std::initializer_list<int> ids);
    void CreateToolBars();
    void FillToolBar(QToolBar& bar, std::initializer_list<int> ids);
    void CreateDropDowns();
    void RestoreToolBarState();
    void SaveToolBarState();
    void TrackPlacement();
    void UpdateTitle();
    void OnUpdateTimer();
    void SwitchPane();
    std::array<CCommandTarget*, 4> Targets();

    CTarDoc& m_doc;
    CAppSettings& m_settings;
    const bool m_bTapesExist;
    CCommandActions* m_pActions;
    CPaneSplitter* m_pSplitter = nullptr;
    CArchiveView* m_pArchiveView = nullptr;
    CTabbedView* m_pTabbedView = nullptr;
    CMenuButtonToolBar* m_pMainToolBar = nullptr;
    QMenu* m_pFileMenu = nullptr;
    // The separator that ends the recent files in the File menu.
    QAction* m_pRecentEnd = nullptr;
    QMenu* m_pOpenMenu = nullptr;
    QMenu* m_pSaveMenu = nullptr;
    CCommandTarget* m_pAppTarget = nullptr;
    bool m_bTrackPlacement = false;
    QTimer m_updateTimer;
};
