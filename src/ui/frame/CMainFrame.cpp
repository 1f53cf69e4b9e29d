#include "ui/frame/CMainFrame.h"

#include "devices/CTapeDesc.h"
#include "document/CTarDoc.h"
#include "settings/CAppSettings.h"
#include "ui/frame/CArchiveView.h"
#include "ui/frame/CCommandActions.h"
#include "ui/frame/CFramePlacement.h"
#include "ui/frame/CLockIndicators.h"
#include "ui/frame/CMenuButtonToolBar.h"
#include "ui/frame/CPaneSplitter.h"
#include "ui/frame/CTabbedView.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

namespace
{
constexpr char kToolBarsKey[] = "ToolBars";
constexpr int kToolBarIconSize = 24;
// How often the enable rules are tried again while a modal dialog is up.
constexpr int kModalRetryMs = 100;
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

struct SIcon
{
    int nId;
    const char* pszTheme;
    QStyle::StandardPixmap fallback;
};

// Toolbar pictures from the desktop's icon theme, else the style's own.
QIcon CommandIcon(const QStyle& style, int id)
{
    static const SIcon icons[] = {
        {ID_FILE_NEW, "document-new", QStyle::SP_FileIcon},
        {ID_FILE_OPEN, "document-open", QStyle::SP_DialogOpenButton},
        {ID_FILE_SAVE, "document-save", QStyle::SP_DialogSaveButton},
        {ID_EXTRACT_FILES, "archive-extract", QStyle::SP_DirOpenIcon},
        {ID_LIST_ARCHIVE, "view-list-details", QStyle::SP_FileDialogDetailedView},
        {ID_EDIT_CUT, "edit-cut", QStyle::SP_CustomBase},
        {ID_EDIT_COPY, "edit-copy", QStyle::SP_CustomBase},
        {ID_EDIT_PASTE, "edit-paste", QStyle::SP_CustomBase},
        {ID_ARCHIVE_WIZARD, "tools-wizard", QStyle::SP_FileDialogStart},
        {ID_HELP_FINDER, "help-contents", QStyle::SP_DialogHelpButton},
        {ID_MOVE_TOP, "go-top", QStyle::SP_MediaSkipBackward},
        {ID_MOVE_UP, "go-up", QStyle::SP_ArrowUp},
        {ID_MOVE_DOWN, "go-down", QStyle::SP_ArrowDown},
        {ID_MOVE_BOTTOM, "go-bottom", QStyle::SP_MediaSkipForward},
        {ID_REMOVE, "list-remove", QStyle::SP_DialogDiscardButton},
        {ID_REMOVE_ALL, "edit-clear-all", QStyle::SP_TrashIcon},
        {ID_SELECT_FILES, "system-file-manager", QStyle::SP_DirHomeIcon},
    };
    for (const SIcon& icon : icons)
    {
        if (icon.nId != id)
            continue;
        // Where the style has no picture either, the button shows its text.
        const QIcon fallback =
            icon.fallback == QStyle::SP_CustomBase ? QIcon() : style.standardIcon(icon.fallback);
        return QIcon::fromTheme(QString::fromLatin1(icon.pszTheme), fallback);
    }
    return {};
}

QString FirstLocalFile(const QMimeData* data)
{
    if (data == nullptr)
        return {};
    for (const QUrl& url : data->urls())
    {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}
} // namespace

CMainFrame::CMainFrame(const SFrameContext& context, QWidget* parent)
    : QMainWindow(parent), m_doc(context.doc), m_settings(context.settings),
      m_bTapesExist(context.tapes.GetSize() > 0),
      m_pActions(new CCommandActions(
          *this, [this](int id) { RouteCommand(id); }, [this] { UpdateCommandStates(); }))
{
    resize(kDefaultWidth, kDefaultHeight);
    CreatePanes(context);
    CreateMenus();
    CreateToolBars();
    new CLockIndicators(*statusBar());
    RestoreToolBarState();
    CreateDropDowns();

    m_updateTimer.setSingleShot(true);
    connect(&m_updateTimer, &QTimer::timeout, this, &CMainFrame::OnUpdateTimer);
    UpdateCommandStates();
}

// The panes go while the frame they report their changes to is whole.
CMainFrame::~CMainFrame()
{
    delete takeCentralWidget();
}

void CMainFrame::CreatePanes(const SFrameContext& context)
{
    m_pSplitter = new CPaneSplitter(this);
    m_pArchiveView = new CArchiveView(context, *m_pActions);
    m_pTabbedView = new CTabbedView(context, *m_pActions);
    m_pSplitter->addWidget(m_pArchiveView);
    m_pSplitter->addWidget(m_pTabbedView);
    m_pSplitter->SetTopHeight(m_settings.m_nCatalogPaneHeight);
    setCentralWidget(m_pSplitter);
    connect(m_pArchiveView, &CArchiveView::CommandStateChanged, this,
            &CMainFrame::RequestCommandUpdate);
    connect(m_pArchiveView, &CArchiveView::CommandRequested, this, &CMainFrame::RouteCommand);
    connect(m_pTabbedView, &CTabbedView::CommandStateChanged, this,
            &CMainFrame::RequestCommandUpdate);
}

QMenu* CMainFrame::AddMenu(const QString& title, std::initializer_list<int> ids)
{
    QMenu* menu = menuBar()->addMenu(title);
    for (const int id : ids)
    {
        if (id == 0)
            menu->addSeparator();
        else
            menu->addAction(m_pActions->Get(id));
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    return menu;
}

void CMainFrame::CreateMenus()
{
    m_pFileMenu = AddMenu(tr("&File"), {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_OPEN_TAPE, ID_FILE_SAVE,
                                        ID_FILE_SAVE_TAPE, 0});
    m_pRecentEnd = m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(m_pActions->Get(ID_APP_EXIT));
    SetRecentFiles({});
    AddMenu(tr("&Edit"), {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE});
    AddMenu(tr("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_WINDOW_SPLIT});
    m_pActions->Get(ID_VIEW_TOOLBAR)->setCheckable(true);
    m_pActions->Get(ID_VIEW_STATUS_BAR)->setCheckable(true);
    AddMenu(tr("&Operations"),
            {ID_EXTRACT_FILES, ID_LIST_ARCHIVE, ID_ERASE_ARCHIVE, ID_EJECT_TAPE});
    AddMenu(tr("Files to &Add"), {ID_MOVE_TOP, ID_MOVE_UP, ID_MOVE_DOWN, ID_MOVE_BOTTOM, 0,
                                  ID_REMOVE, ID_REMOVE_ALL, 0, ID_SELECT_FILES});
    AddMenu(tr("&Tools"),
            {ID_OPTIONS, 0, ID_ARCHIVE_WIZARD, 0, ID_CLEAR_LOG, ID_SAVE_LOG, 0, ID_TAPE_FEATURES});
    AddMenu(tr("&Help"), {ID_HELP_FINDER, ID_HELP_INDEX, ID_HELP_USING, ID_APP_ABOUT});
    // Reached by their shortcuts only.
    for (const int id : {ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE, ID_HELP, ID_CONTEXT_HELP})
        m_pActions->Get(id);
}

void CMainFrame::FillToolBar(QToolBar& bar, std::initializer_list<int> ids)
{
    bar.setIconSize(QSize(kToolBarIconSize, kToolBarIconSize));
    for (const int id : ids)
    {
        if (id == 0)
        {
            bar.addSeparator();
            continue;
        }
        QAction* action = m_pActions->Get(id);
        action->setIcon(CommandIcon(*style(), id));
        bar.addAction(action);
    }
}

void CMainFrame::CreateToolBars()
{
    m_pMainToolBar = new CMenuButtonToolBar(tr("Toolbar"), this);
    m_pMainToolBar->setObjectName(QStringLiteral("MainToolBar"));
    FillToolBar(*m_pMainToolBar, {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EXTRACT_FILES,
                                  ID_LIST_ARCHIVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                                  ID_ARCHIVE_WIZARD, 0, ID_HELP_FINDER});
    addToolBar(Qt::TopToolBarArea, m_pMainToolBar);

    auto* filesToolBar = new QToolBar(tr("Files to Add"), this);
    filesToolBar->setObjectName(QStringLiteral("FilesToAddToolBar"));
    FillToolBar(*filesToolBar, {ID_MOVE_TOP, ID_MOVE_UP, ID_MOVE_DOWN, ID_MOVE_BOTTOM, 0, ID_REMOVE,
                                ID_REMOVE_ALL, 0, ID_SELECT_FILES});
    addToolBar(Qt::RightToolBarArea, filesToolBar);
}

void CMainFrame::CreateDropDowns()
{
    m_pOpenMenu = new QMenu(this);
    m_pOpenMenu->addAction(m_pActions->Add(ID_FILE_OPEN, tr("Open &File")));
    m_pOpenMenu->addAction(m_pActions->Add(ID_FILE_OPEN_TAPE, tr("Open &Tape")));
    m_pSaveMenu = new QMenu(this);
    m_pSaveMenu->addAction(m_pActions->Add(ID_FILE_SAVE, tr("Save &File")));
    m_pSaveMenu->addAction(m_pActions->Add(ID_FILE_SAVE_TAPE, tr("Save &Tape")));
    for (QMenu* menu : {m_pOpenMenu, m_pSaveMenu})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::RestoreToolBarState()
{
    const QSettings store(QStringLiteral("Hessadyne"), QStringLiteral("Vorkant"));
    restoreState(store.value(QLatin1String(kToolBarsKey)).toByteArray());
}

void CMainFrame::SaveToolBarState()
{
    QSettings store(QStringLiteral("Hessadyne"), QStringLiteral("Vorkant"));
    store.setValue(QLatin1String(kToolBarsKey), saveState());
}

void CMainFrame::SetApplicationTarget(CCommandTarget* target)
{
    m_pAppTarget = target;
    UpdateCommandStates();
}

void CMainFrame::SetRecentFiles(const QStringList& paths)
{
    for (int i = 0; i < RECENT_FILE_COUNT; ++i)
        m_pActions->Remove(ID_FILE_MRU_FILE1 + i);
    // An empty list still shows where the recent files will be, disabled.
    const int shown =
        std::max<int>(static_cast<int>(std::min<qsizetype>(paths.size(), RECENT_FILE_COUNT)), 1);
    for (int i = 0; i < shown; ++i)
    {
        const QString text = i < paths.size() ? QStringLiteral("&%1 %2").arg(i + 1).arg(
                                                    QDir::toNativeSeparators(paths[i]).replace(
                                                        QLatin1Char('&'), QLatin1String("&&")))
                                              : QString::fromLatin1(FrameTexts::NO_RECENT_FILE);
        QAction* action = m_pActions->Add(ID_FILE_MRU_FILE1 + i, text);
        action->setStatusTip(QString::fromLatin1(FrameTexts::RECENT_FILE_PROMPT));
        m_pFileMenu->insertAction(m_pRecentEnd, action);
    }
    RequestCommandUpdate();
}

void CMainFrame::EnableOpenMenu(bool enable)
{
    if (enable)
        m_pMainToolBar->AddMenuButton(ID_FILE_OPEN, m_pOpenMenu);
    else
        m_pMainToolBar->RemoveMenuButton(ID_FILE_OPEN);
}

void CMainFrame::EnableSaveMenu(bool enable)
{
    if (enable)
        m_pMainToolBar->AddMenuButton(ID_FILE_SAVE, m_pSaveMenu);
    else
        m_pMainToolBar->RemoveMenuButton(ID_FILE_SAVE);
}

std::array<CCommandTarget*, 4> CMainFrame::Targets()
{
    return {m_pArchiveView, m_pTabbedView, this, m_pAppTarget};
}

bool CMainFrame::IsCommandEnabled(int id)
{
    for (CCommandTarget* target : Targets())
    {
        bool enabled = false;
        if (target != nullptr && target->OnUpdateCommand(id, enabled))
            return enabled;
    }
    return false;
}

// A shortcut may come before the enable rules were asked again, so the rule
// is asked once more before anything runs.
bool CMainFrame::RouteCommand(int id)
{
    if (!IsCommandEnabled(id))
        return false;
    for (CCommandTarget* target : Targets())
    {
        if (target != nullptr && target->OnCommand(id))
        {
            RequestCommandUpdate();
            return true;
        }
    }
    return false;
}

void CMainFrame::UpdateCommandStates()
{
    m_pActions->Update([this](int id) { return IsCommandEnabled(id); });
    m_pActions->Get(ID_VIEW_TOOLBAR)->setChecked(!m_pMainToolBar->isHidden());
    m_pActions->Get(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    EnableOpenMenu(m_bTapesExist);
    EnableSaveMenu(m_bTapesExist && !m_doc.IsArchiveOpen());
    UpdateTitle();
}

void CMainFrame::RequestCommandUpdate()
{
    if (!m_updateTimer.isActive())
        m_updateTimer.start(0);
}

// The rules read the archive engine, which belongs to the worker while an
// operation's wait dialog is up.
void CMainFrame::OnUpdateTimer()
{
    if (QApplication::activeModalWidget() != nullptr)
    {
        m_updateTimer.start(kModalRetryMs);
        return;
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateTitle()
{
    const std::string& path = m_doc.GetPathName();
    const QString name = path.empty() ? QString::fromLatin1(FrameTexts::UNTITLED)
                                      : QFileInfo(QFile::decodeName(path.c_str())).fileName();
    setWindowTitle(name + QStringLiteral(" - ") + QString::fromLatin1(FrameTexts::APP_TITLE));
}

QAction* CMainFrame::Action(int id) const
{
    const std::vector<QAction*> actions = m_pActions->Find(id);
    return actions.empty() ? nullptr : actions.front();
}

bool CMainFrame::OnCommand(int id)
{
    switch (id)
    {
    case ID_VIEW_TOOLBAR:
        m_pMainToolBar->setVisible(m_pMainToolBar->isHidden());
        return true;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        return true;
    case ID_WINDOW_SPLIT:
        m_pSplitter->StartKeyboardMove();
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        SwitchPane();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::OnUpdateCommand(int id, bool& enabled)
{
    switch (id)
    {
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_WINDOW_SPLIT:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        enabled = true;
        return true;
    case ID_EDIT_UNDO:
        // Nothing the program does can be undone.
        enabled = false;
        return true;
    default:
        return false;
    }
}

// Two panes: the next one and the previous one are the same.
void CMainFrame::SwitchPane()
{
    if (m_pArchiveView->isAncestorOf(QApplication::focusWidget()))
        m_pTabbedView->FocusSelectedPage();
    else
        m_pArchiveView->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::ShowPlaced()
{
    m_bTrackPlacement = true;
    CFramePlacement::ShowPlaced(*this, m_settings.m_windowPlacement);
    TrackPlacement();
}

void CMainFrame::AcceptShellDrops()
{
    setAcceptDrops(true);
}

void CMainFrame::TrackPlacement()
{
    if (m_bTrackPlacement && isVisible())
        m_settings.m_windowPlacement = CFramePlacement::Read(*this);
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    TrackPlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    TrackPlacement();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        TrackPlacement();
}

// The pane height and toolbar layout are kept even when the user then
// cancels the close.
void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_settings.m_nCatalogPaneHeight = m_pSplitter->TopHeight();
    SaveToolBarState();
    if (!m_doc.SaveModified())
    {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!FirstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// Only the first archive opens; the file manager's drop is over before the
// open runs its wait dialog.
void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = FirstLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    raise();
    QTimer::singleShot(0, this, [this, path] { emit OpenFileRequested(path); });
}
