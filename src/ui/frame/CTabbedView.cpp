#include "ui/frame/CTabbedView.h"

#include "core/CMessageLog.h"
#include "devices/CTapeDesc.h"
#include "document/CTarDoc.h"
#include "ui/frame/CAppendPage.h"
#include "ui/frame/CLoggingPage.h"
#include "ui/frame/CTabbedPages.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTexts.h"
#include "ui/lists/CFileListCtrl.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMessageBox>
#include <QTabBar>
#include <QVBoxLayout>

CTabbedView::CTabbedView(const SFrameContext& context, CCommandActions& actions, QWidget* parent)
    : QWidget(parent), m_doc(context.doc), m_bTapesExist(context.tapes.GetSize() > 0),
      m_pPages(new CTabbedPages(this)),
      m_pAppendPage(new CAppendPage(context.settings, context.log, actions)),
      m_pLoggingPage(new CLoggingPage(context.log, actions))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pPages);
    m_pPages->tabBar()->setFont(context.font);
    m_pPages->AddPage(m_pAppendPage);
    m_pPages->AddPage(m_pLoggingPage);
    m_pAppendPage->Attach(context.filesToAdd);
    // A dropped tree is walked on the worker, with progress and Cancel.
    m_pAppendPage->List().SetPathAdder([this](const std::vector<std::string>& paths)
                                       { m_doc.AddFiles(paths); });
    setAcceptDrops(true);

    m_alertTimer.setInterval(ALERT_PERIOD_MS);
    connect(&m_alertTimer, &QTimer::timeout, this, &CTabbedView::OnAlertTimer);
    connect(m_pPages, &QTabWidget::currentChanged, this, &CTabbedView::CommandStateChanged);
    connect(m_pAppendPage, &CAppendPage::CommandStateChanged, this,
            &CTabbedView::CommandStateChanged);
    connect(m_pLoggingPage, &CLoggingPage::CommandStateChanged, this,
            &CTabbedView::CommandStateChanged);
    context.log.Advise(this, &CTabbedView::OnLogEvent);
}

CTabbedView::~CTabbedView()
{
    UnadviseAll();
}

void CTabbedView::FocusSelectedPage()
{
    if (QWidget* page = m_pPages->currentWidget())
        page->setFocus(Qt::OtherFocusReason);
}

CCommandTarget* CTabbedView::SelectedPage() const
{
    return dynamic_cast<CCommandTarget*>(m_pPages->currentWidget());
}

bool CTabbedView::OnCommand(int id)
{
    CCommandTarget* page = SelectedPage();
    return page != nullptr && page->OnCommand(id);
}

bool CTabbedView::OnUpdateCommand(int id, bool& enabled)
{
    if (CCommandTarget* page = SelectedPage();
        page != nullptr && page->OnUpdateCommand(id, enabled))
        return true;
    switch (id)
    {
    case ID_FILE_OPEN:
        enabled = true;
        return true;
    case ID_FILE_OPEN_TAPE:
        enabled = m_bTapesExist;
        return true;
    case ID_FILE_SAVE:
        enabled = m_doc.IsModified();
        return true;
    case ID_FILE_SAVE_TAPE:
        enabled = m_doc.IsModified() && m_bTapesExist;
        return true;
    default:
        return false;
    }
}

void CTabbedView::dragEnterEvent(QDragEnterEvent* event)
{
    m_pPages->SelectPage(PAGE_FILES_TO_ADD);
    event->ignore();
}

// Any thread: entries are mostly added by the worker during an operation.
int CTabbedView::OnLogEvent(void* record)
{
    const auto& event = *static_cast<const CMessageLog::SLogEvent*>(record);
    if (event.nKind == CMessageLog::LOG_EVENT_ADDED)
        QMetaObject::invokeMethod(this, &CTabbedView::StartAlert, Qt::QueuedConnection);
    return 0;
}

void CTabbedView::StartAlert()
{
    if (m_alertTimer.isActive())
        return;
    m_pPages->SelectPage(PAGE_LOG);
    m_alertTimer.start();
}

// Waits out the wait dialog and any other modal dialog, so that the problems
// of one operation make one box after it.
void CTabbedView::OnAlertTimer()
{
    if (QApplication::activeModalWidget() != nullptr)
        return;
    m_alertTimer.stop();
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(FrameTexts::APP_TITLE),
                    QString::fromLatin1(FrameTexts::ERRORS_OCCURRED), QMessageBox::Ok, window());
    box.exec();
    m_pPages->SelectPage(PAGE_LOG);
}
