#include "ui/app/CTarApp.h"

#include "core/CException.h"
#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CTarMessages.h"
#include "ui/app/CSessionEnd.h"
#include "ui/app/CTerminateSignal.h"
#include "ui/dialogs/COptionsDlg.h"
#include "ui/dialogs/CTapeDevicesDlg.h"
#include "ui/frame/CMainFrame.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/SFrameContext.h"
#include "ui/frontend/CArchiveFileTypes.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/shell/CAboutDlg.h"
#include "ui/shell/CShellPictures.h"
#include "ui/shell/CSplashWnd.h"
#include "ui/shell/DefaultEditor.h"
#include "ui/shell/CUserGuide.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QTimer>

namespace
{
// How often a request from outside looks again whether the window is free.
constexpr int kIdlePollMs = 200;

std::string ToPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString FromPath(const std::string& path)
{
    return QFile::decodeName(path.c_str());
}

// The first argument that is not an option, or the one after "--".
QString FirstArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
    {
        if (arguments[i] == QLatin1String("--"))
            return arguments.value(i + 1);
        if (!arguments[i].startsWith(QLatin1Char('-')))
            return arguments[i];
    }
    return {};
}

// The archive the command line names, made absolute: it goes into the
// recent files and to the running window, which do not share this folder.
QString ArchiveArgument(const QStringList& arguments)
{
    const QString path = FirstArgument(arguments);
    if (path.isEmpty() || CTarDoc::IsTapePath(ToPath(path)))
        return path;
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

CTarApp::CTarApp(CMimeAssociation* pAssociation)
    : m_association(pAssociation ? *pAssociation : m_xdgAssociation),
      m_pPreviousReporter(CException::SetReporter(&m_reporter)), m_recent(RECENT_FILE_COUNT)
{
    connect(&m_instance, &CRunningInstance::HandedOver, this, &CTarApp::OnHandedOver);
}

CTarApp::~CTarApp()
{
    delete m_pSplash;
    m_frontEnd.SetOwner(nullptr);
    m_pFrame.reset();
    m_pDoc.reset();
    CException::SetReporter(m_pPreviousReporter);
}

int CTarApp::Run(const QStringList& arguments)
{
    if (m_instance.HandOver(ArchiveArgument(arguments)))
        return 0;
    // Without the socket this window still works; it just is not found.
    m_instance.Listen();
    CTerminateSignal terminate;
    CSessionEnd sessionEnd(
        m_frontEnd, [this] { return m_bStarted; }, [this] { EndSession(); });
    connect(&terminate, &CTerminateSignal::Terminated, &sessionEnd, &CSessionEnd::Start);
    const bool started = InitInstance(arguments);
    const int status = started ? QApplication::exec() : 1;
    ExitInstance();
    return status;
}

// Closes the window as Exit does. The question about waiting files is
// answered Cancel, so the window may stay: the program ends all the same,
// through exit, which unlike quit asks no window again.
void CTarApp::EndSession()
{
    m_pFrame->close();
    QApplication::exit(0);
}

bool CTarApp::InitInstance(const QStringList& arguments)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Hessadyne"));
    QCoreApplication::setApplicationName(QStringLiteral("Vorkant"));
    m_settings.Load();
    const QString archive = ArchiveArgument(arguments);
    m_pSplash = new CSplashWnd(CShellPictures::Splash());
    m_recent.Load();
    m_font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Over the splash, so that the question shows in front of it.
    CheckDefaultEditor(m_association, m_settings, m_pSplash);
    RegisterShellFileTypes(m_association);
    MakeDocumentAndFrame();
    m_pFrame->ShowPlaced();

    // An archive named on the command line opens without the finished look:
    // the user started the program, not an operation to confirm.
    const std::int32_t showFinished = m_settings.m_bShowFinishedDialog;
    m_settings.m_bShowFinishedDialog = 0;
    const bool opened = archive.isEmpty() ? NewDocument(false) : OpenFile(archive);
    m_settings.m_bShowFinishedDialog = showFinished;
    CloseSplash();
    if (!opened)
        return false;

    m_pFrame->AcceptShellDrops();
    m_bStarted = true;
    m_pFrame->RequestCommandUpdate();
    return true;
}

void CTarApp::MakeDocumentAndFrame()
{
    m_pDoc = std::make_unique<CTarDoc>(m_frontEnd, m_settings, m_log, CTarDoc::EngineFactory{},
                                       [this](CTarDoc::EList list) { return MakeList(list); });
    m_pFrame = std::make_unique<CMainFrame>(
        SFrameContext{*m_pDoc, *m_pCatalogue, *m_pFilesToAdd, m_settings, m_log, m_tapes, m_font});
    m_frontEnd.SetOwner(m_pFrame.get());
    m_frontEnd.SetNewDocumentHandler([this] { OnNewDocumentRequested(); });
    m_pFrame->SetApplicationTarget(this);
    UpdateRecentFiles();
    connect(m_pFrame.get(), &CMainFrame::OpenFileRequested, this, &CTarApp::OpenDocumentFile);
}

std::unique_ptr<CFileEntrys> CTarApp::MakeList(CTarDoc::EList list)
{
    auto source = std::make_unique<CFileDataSource>();
    (list == CTarDoc::LIST_FILES_TO_ADD ? m_pFilesToAdd : m_pCatalogue) = source.get();
    return source;
}

void CTarApp::ExitInstance()
{
    m_instance.Close();
    m_frontEnd.SetOwner(nullptr);
    // The catalogue stores its column widths as it goes.
    m_pFrame.reset();
    m_settings.Save();
}

bool CTarApp::OnCommand(int id)
{
    switch (id)
    {
    case ID_FILE_NEW:
        NewDocument(true);
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_FILE_OPEN_TAPE:
        OnOpenTape();
        return true;
    case ID_FILE_SAVE:
        SaveDone(m_pDoc->DoFileSave());
        return true;
    case ID_FILE_SAVE_TAPE:
        OnSaveTape();
        return true;
    case ID_APP_EXIT:
        m_pFrame->close();
        return true;
    case ID_OPTIONS:
        OnOptions();
        return true;
    case ID_APP_ABOUT:
        CAboutDlg(m_pFrame.get()).exec();
        return true;
    case ID_HELP_FINDER:
    case ID_HELP_INDEX:
    case ID_HELP:
        CUserGuide::Show(CUserGuide::GUIDE_CONTENTS, m_pFrame.get());
        return true;
    case ID_HELP_USING:
        CUserGuide::Show(CUserGuide::GUIDE_USING_HELP, m_pFrame.get());
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + RECENT_FILE_COUNT)
    {
        OnOpenRecent(id - ID_FILE_MRU_FILE1);
        return true;
    }
    return false;
}

bool CTarApp::OnUpdateCommand(int id, bool& enabled)
{
    switch (id)
    {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_APP_EXIT:
    case ID_OPTIONS:
    case ID_APP_ABOUT:
    case ID_HELP_FINDER:
    case ID_HELP_INDEX:
    case ID_HELP:
    case ID_HELP_USING:
        enabled = true;
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + RECENT_FILE_COUNT)
    {
        enabled = id - ID_FILE_MRU_FILE1 < m_recent.Paths().size();
        return true;
    }
    return false;
}

void CTarApp::OnOptions()
{
    COptionsDlg sheet(&m_settings, m_pFrame.get());
    if (sheet.exec() == QDialog::Accepted)
        m_settings.Save();
}

bool CTarApp::NewDocument(bool askToSave)
{
    if (askToSave && !m_pDoc->SaveModified())
        return false;
    m_pDoc->OnNewDocument();
    m_pFrame->RequestCommandUpdate();
    return true;
}

// After a failed open or an eject. The eject has asked about the waiting
// files already, and a failed open has none left.
void CTarApp::OnNewDocumentRequested()
{
    if (m_bStarted && m_pFrame)
        NewDocument(false);
}

bool CTarApp::OpenDocumentFile(const QString& path)
{
    return m_pDoc->SaveModified() && OpenFile(path);
}

void CTarApp::OnHandedOver(const QString& path)
{
    WhenIdle(
        [this, path]
        {
            BringToFront();
            if (!path.isEmpty())
                OpenDocumentFile(path);
        });
}

void CTarApp::BringToFront()
{
    m_pFrame->setWindowState(m_pFrame->windowState() & ~Qt::WindowMinimized);
    m_pFrame->show();
    m_pFrame->raise();
    m_pFrame->activateWindow();
}

void CTarApp::WhenIdle(std::function<void()> action)
{
    if (m_bStarted && m_pFrame && !QApplication::activeModalWidget())
    {
        action();
        return;
    }
    QTimer::singleShot(kIdlePollMs, this, [this, action] { WhenIdle(action); });
}

bool CTarApp::OpenFile(const QString& path)
{
    if (!IsOpenable(path))
        return false;
    const bool opened = m_pDoc->OnOpenDocument(ToPath(path));
    if (opened)
    {
        m_recent.Add(FromPath(m_pDoc->GetPathName()));
        UpdateRecentFiles();
    }
    m_pFrame->RequestCommandUpdate();
    return opened;
}

// The disk device makes a missing archive, which an open must not leave
// behind: a recent file deleted since, a slip on the command line.
bool CTarApp::IsOpenable(const QString& path)
{
    if (CTarDoc::IsTapePath(ToPath(path)) || QFileInfo::exists(path))
        return true;
    CGenericException(CTarMessages::FileFailure(ToPath(path), COsException(ERROR_FILE_NOT_FOUND)))
        .ReportError();
    return false;
}

void CTarApp::OnFileOpen()
{
    if (!m_pDoc->SaveModified())
        return;
    const QString path = QFileDialog::getOpenFileName(m_pFrame.get(), tr("Open"), QString(),
                                                      CArchiveFileTypes::OpenFilter());
    if (!path.isEmpty())
        OpenFile(path);
}

// A recent file that no longer opens leaves the list.
void CTarApp::OnOpenRecent(int index)
{
    const QString path = m_recent.Paths().value(index);
    if (path.isEmpty() || !m_pDoc->SaveModified())
        return;
    if (!OpenFile(path))
    {
        m_recent.Remove(path);
        UpdateRecentFiles();
    }
}

void CTarApp::OnOpenTape()
{
    std::string device;
    if (!AskTapeDevice(device) || !NewDocument(true))
        return;
    OpenFile(FromPath(device));
}

// With an archive open the waiting files go to it, wherever it is.
void CTarApp::OnSaveTape()
{
    if (m_pDoc->IsArchiveOpen())
    {
        SaveTo(m_pDoc->GetPathName());
        return;
    }
    std::string device;
    if (AskTapeDevice(device))
        SaveTo(device);
}

void CTarApp::SaveTo(const std::string& path)
{
    SaveDone(m_pDoc->DoSave(path));
}

void CTarApp::SaveDone(bool saved)
{
    if (saved && !m_pDoc->GetPathName().empty())
    {
        m_recent.Add(FromPath(m_pDoc->GetPathName()));
        UpdateRecentFiles();
    }
    m_pFrame->RequestCommandUpdate();
}

bool CTarApp::AskTapeDevice(std::string& device)
{
    CTapeDevicesDlg dialog(m_settings.m_nBlockingFactor, m_settings.m_nTapeDevice,
                           m_settings.m_bVariableBlocking != 0, m_settings.m_bUseCompression != 0,
                           m_tapes, m_pFrame.get());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_settings.m_nBlockingFactor = dialog.m_nBlockingFactor;
    m_settings.m_nTapeDevice = dialog.m_nUnit;
    m_settings.m_bVariableBlocking = dialog.m_bVariableBlocking ? 1 : 0;
    m_settings.m_bUseCompression = dialog.m_bCompression ? 1 : 0;
    device = dialog.m_strDevice;
    return true;
}

void CTarApp::UpdateRecentFiles()
{
    m_pFrame->SetRecentFiles(m_recent.Paths());
}

void CTarApp::CloseSplash()
{
    if (m_pSplash)
        m_pSplash->Close();
}
