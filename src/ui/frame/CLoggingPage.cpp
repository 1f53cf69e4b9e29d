#include "ui/frame/CLoggingPage.h"

#include "core/CException.h"
#include "core/CMessageLog.h"
#include "ui/frame/CPopupMenu.h"
#include "ui/frame/CommandIds.h"
#include "ui/lists/CLogCtrl.h"
#include "ui/lists/SLogCtrlEvent.h"

#include <QFile>
#include <QFileDialog>
#include <QVBoxLayout>

CLoggingPage::CLoggingPage(CMessageLog& log, CCommandActions& actions, QWidget* parent)
    : QWidget(parent), m_log(log), m_pLogCtrl(new CLogCtrl(this)),
      m_pPopup(new CPopupMenu(actions, {ID_CLEAR_LOG, ID_SAVE_LOG}, this))
{
    setWindowTitle(tr("Application Log"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pLogCtrl);
    setFocusProxy(m_pLogCtrl);
    m_pLogCtrl->Attach(&m_log);
    m_pLogCtrl->SetListFont(font());
    m_pLogCtrl->Advise(this, &CLoggingPage::OnLogCtrlEvent);
    connect(m_pLogCtrl, &CLogCtrl::ListChanged, this, &CLoggingPage::CommandStateChanged);
}

CLoggingPage::~CLoggingPage()
{
    UnadviseAll();
}

int CLoggingPage::OnLogCtrlEvent(void* record)
{
    const auto& event = *static_cast<const SLogCtrlEvent*>(record);
    if (event.nKind == LOG_CTRL_EVENT_RBUTTON_DOWN)
        m_pPopup->ShowAt(m_pLogCtrl->mapToGlobal(QPoint(event.nX, event.nY)));
    return 0;
}

bool CLoggingPage::OnCommand(int id)
{
    switch (id)
    {
    case ID_CLEAR_LOG:
        // The list empties through the log's own event.
        m_log.RemoveAll();
        return true;
    case ID_SAVE_LOG:
        SaveLog();
        return true;
    default:
        return false;
    }
}

bool CLoggingPage::OnUpdateCommand(int id, bool& enabled)
{
    if (id != ID_CLEAR_LOG && id != ID_SAVE_LOG)
        return false;
    enabled = m_pLogCtrl->GetRowCount() > 0;
    return true;
}

void CLoggingPage::SaveLog()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("Log Files (*.log)"), tr("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("log"));
    // Saving the log again over last time's file is the usual case.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(QStringLiteral("tar.log"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveLogTo(dialog.selectedFiles().constFirst());
}

void CLoggingPage::SaveLogTo(const QString& path)
{
    try
    {
        m_log.SaveToFile(QFile::encodeName(path).toStdString());
    }
    catch (CException& e)
    {
        e.ReportError();
    }
}
