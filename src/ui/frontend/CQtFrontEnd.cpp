#include "ui/frontend/CQtFrontEnd.h"

#include "core/MessageBoxCodes.h"
#include "document/CAppendOverwrite.h"
#include "document/CWaitDialog.h"
#include "ui/frontend/CAppendOverwirteDlg.h"
#include "ui/frontend/CArchiveFileTypes.h"
#include "ui/frontend/CDocumentText.h"
#include "ui/frontend/CMessageBoxStyle.h"
#include "ui/frontend/CTarWaitDlg.h"
#include "ui/frontend/CWindowThread.h"

#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QMetaObject>

namespace
{
constexpr const char* kErrorCaption = "Error";
constexpr const char* kSaveCaption = "Save As";
} // namespace

CQtFrontEnd::CQtFrontEnd(QObject* parent) : QObject(parent)
{
}

void CQtFrontEnd::SetOwner(QWidget* window)
{
    m_pOwner = window;
}

void CQtFrontEnd::SetNewDocumentHandler(std::function<void()> handler)
{
    m_newDocumentHandler = std::move(handler);
}

int CQtFrontEnd::RunWaitWindow(CWaitDialog& dialog)
{
    {
        // What the previous operation's worker said after its window closed.
        std::lock_guard lock(m_pendingLock);
        m_pending = {};
    }
    QPointer<CTarWaitDlg> window = new CTarWaitDlg(dialog, m_pOwner);
    m_pWaitDlg = window;
    m_bRunClosed = false;
    // A close or finish that came before the window is queued from inside.
    window->SetStatus(CDocumentText::ToQt(dialog.OnWindowCreated()));
    const int code = window->exec();
    m_pWaitDlg = nullptr;
    delete window;
    return code;
}

void CQtFrontEnd::SetWaitStatus(const std::string& text)
{
    std::lock_guard lock(m_pendingLock);
    m_pending.bStatus = true;
    m_pending.strStatus = text;
    QueueDeliveryLocked();
}

void CQtFrontEnd::SetWaitProgress(int percent)
{
    std::lock_guard lock(m_pendingLock);
    m_pending.nProgress = percent;
    QueueDeliveryLocked();
}

void CQtFrontEnd::SetWaitOverall(const std::string& text)
{
    std::lock_guard lock(m_pendingLock);
    m_pending.bOverall = true;
    m_pending.strOverall = text;
    QueueDeliveryLocked();
}

void CQtFrontEnd::CloseWaitWindow(int code)
{
    std::lock_guard lock(m_pendingLock);
    m_pending.commands.push_back({false, code});
    QueueDeliveryLocked();
}

void CQtFrontEnd::ShowFinishedLook()
{
    std::lock_guard lock(m_pendingLock);
    m_pending.commands.push_back({true, 0});
    QueueDeliveryLocked();
}

// One delivery in flight at a time: whatever comes before it runs joins it.
void CQtFrontEnd::QueueDeliveryLocked()
{
    if (m_bDeliveryQueued)
        return;
    m_bDeliveryQueued = true;
    QMetaObject::invokeMethod(this, &CQtFrontEnd::Deliver, Qt::QueuedConnection);
}

void CQtFrontEnd::Deliver()
{
    SPending pending;
    {
        std::lock_guard lock(m_pendingLock);
        pending = std::move(m_pending);
        m_pending = {};
        m_bDeliveryQueued = false;
    }
    if (!m_pWaitDlg || m_bRunClosed)
        return;
    if (pending.bStatus)
        m_pWaitDlg->SetStatus(CDocumentText::ToQt(pending.strStatus));
    if (pending.nProgress >= 0)
        m_pWaitDlg->SetProgress(pending.nProgress);
    if (pending.bOverall)
        m_pWaitDlg->SetOverall(CDocumentText::ToQt(pending.strOverall));
    for (const SWindowCommand& command : pending.commands)
    {
        if (command.bFinish)
        {
            m_pWaitDlg->ShowFinishedLook();
            continue;
        }
        // The first close ends the run; the window is gone for the rest.
        m_bRunClosed = true;
        m_pWaitDlg->done(command.nCode);
        return;
    }
}

void CQtFrontEnd::EndSession()
{
    m_bSessionEnded = true;
}

void CQtFrontEnd::ShowError(const std::string& text)
{
    CWindowThread::Call(this, [this, &text] {
        if (m_bSessionEnded)
        {
            qWarning().noquote() << CDocumentText::ToQt(text);
            return IDOK;
        }
        return CMessageBoxStyle::Show(BoxOwner(), kErrorCaption, text, MB_OK | MB_ICONSTOP);
    });
}

int CQtFrontEnd::Ask(const std::string& text, const std::string& caption, unsigned style)
{
    return CWindowThread::Call(this, [&] {
        if (m_bSessionEnded)
            return SessionEndAnswer(text, style);
        return CMessageBoxStyle::Show(BoxOwner(), caption, text, style);
    });
}

// The wait window's question whether to cancel gets yes: the operation must
// stop. Any other gets what its Escape key gives, which writes nothing and
// starts nothing; it is noted, so that what was not done (files waiting to be
// added, say) is not dropped silently.
int CQtFrontEnd::SessionEndAnswer(const std::string& text, unsigned style)
{
    if (text == CWaitDialog::WAIT_CONFIRM_CANCEL)
        return IDYES;
    qWarning().noquote() << "The session ended before this was answered:"
                         << CDocumentText::ToQt(text);
    return CMessageBoxStyle::Answer(QMessageBox::NoButton, style);
}

int CQtFrontEnd::AskAppendOverwrite()
{
    return CWindowThread::Call(this, [this] {
        if (m_bSessionEnded)
            return CAppendOverwrite::AO_CANCEL;
        CAppendOverwirteDlg question(BoxOwner());
        return question.exec();
    });
}

bool CQtFrontEnd::AskSavePath(const std::string& proposed, std::string& path)
{
    if (m_bSessionEnded)
        return false;
    QFileDialog chooser(m_pOwner, QString::fromLatin1(kSaveCaption));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    // The chosen type's suffix goes onto a name typed without one, before
    // the dialog asks whether to replace a file of that name.
    const QStringList filters = CArchiveFileTypes::SaveFilters();
    chooser.setNameFilters(filters);
    chooser.setDefaultSuffix(CArchiveFileTypes::SuffixOf(filters.constFirst()));
    QObject::connect(&chooser, &QFileDialog::filterSelected, &chooser,
                     [&chooser](const QString& filter)
                     { chooser.setDefaultSuffix(CArchiveFileTypes::SuffixOf(filter)); });
    chooser.selectFile(QFile::decodeName(QByteArray::fromStdString(proposed)));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return false;
    path = QFile::encodeName(chooser.selectedFiles().constFirst()).toStdString();
    return true;
}

void CQtFrontEnd::RequestNewDocument()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_newDocumentHandler)
                m_newDocumentHandler();
        },
        Qt::QueuedConnection);
}

QWidget* CQtFrontEnd::BoxOwner() const
{
    if (m_pWaitDlg && m_pWaitDlg->isVisible())
        return m_pWaitDlg;
    return m_pOwner;
}
