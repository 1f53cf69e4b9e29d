// Renders the windows the README and the user guide show: the main window
// with an archive open and files waiting to be added, the Extract dialog over
// it, the wait dialog in the middle of an extraction, the Options sheet, the
// Tape Devices dialog, the append-or-overwrite question, the application
// log with problems in it, the archive wizard at its second step and the
// about box. scripts/screenshots runs it on a virtual X
// display, so the pictures are what a user's display draws.
#include "core/CLogEntry.h"
#include "core/CMessageLog.h"
#include "core/COsException.h"
#include "devices/CTapeDesc.h"
#include "document/CWaitDialog.h"
#include "engine/CTarMessages.h"
#include "ui/app/CTarApp.h"
#include "ui/dialogs/CExtractionDlg.h"
#include "ui/dialogs/COptionsDlg.h"
#include "ui/dialogs/CTapeDevicesDlg.h"
#include "ui/frame/CArchiveView.h"
#include "ui/frame/CFindBar.h"
#include "ui/frame/CLoggingPage.h"
#include "ui/frame/CMainFrame.h"
#include "ui/frame/CTabbedPages.h"
#include "ui/frame/CTabbedView.h"
#include "ui/frame/CTarBackupWizardDlg.h"
#include "ui/frontend/CAppendOverwirteDlg.h"
#include "ui/frontend/CTarWaitDlg.h"
#include "ui/shell/CAboutDlg.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <vector>

namespace
{
bool Save(QWidget& window, const QString& folder, const char* name)
{
    QTest::qWait(300); // let the window system map and paint it
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (window.grab().save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

bool ShootMainWindow(CTarApp& app, const QStringList& toAdd, const QString& folder)
{
    CMainFrame& frame = *app.Frame();
    frame.resize(900, 620);
    for (const QString& path : toAdd)
        app.Doc().m_filesToAdd.AddPath(path.toStdString(), true);
    return Save(frame, folder, "main-window.png");
}

// The catalogue narrowed to the names holding what was typed in the find bar.
bool ShootFindBar(CTarApp& app, const QString& folder)
{
    CArchiveView& view = app.Frame()->ArchiveView();
    view.FindBar().Open();
    view.FindBar().Field().setText(QStringLiteral("note"));
    const bool shot = Save(*app.Frame(), folder, "find-bar.png");
    view.FindBar().Close();
    return shot;
}

bool ShootExtractDialog(CTarApp& app, const QString& folder)
{
    std::vector<std::string> specs{"*.txt"};
    CExtractionDlg dialog(app.Settings().m_strExtractFolder, &specs, app.Frame());
    dialog.m_nSelectionType = CExtractionDlg::SELECT_SELECTED;
    dialog.show();
    return Save(dialog, folder, "extract-dialog.png");
}

bool ShootOptions(CTarApp& app, const QString& folder)
{
    COptionsDlg sheet(&app.Settings(), app.Frame());
    sheet.show();
    return Save(sheet, folder, "options.png");
}

// The drives that VORKANT_TAPE_IMAGES names, as Open Tape shows them.
bool ShootTapeDevices(CTarApp& app, const QString& folder)
{
    const CTapeDesc tapes;
    const CAppSettings& settings = app.Settings();
    CTapeDevicesDlg dialog(settings.m_nBlockingFactor, settings.m_nTapeDevice,
                           settings.m_bVariableBlocking != 0, settings.m_bUseCompression != 0,
                           tapes, app.Frame());
    dialog.show();
    return Save(dialog, folder, "tape-devices.png");
}

bool ShootAppendOrOverwrite(CTarApp& app, const QString& folder)
{
    CAppendOverwirteDlg dialog(app.Frame());
    dialog.show();
    return Save(dialog, folder, "append-overwrite.png");
}

// The log after a save that met two files deleted since they were added. The
// box that points at the log comes first and is answered.
bool ShootLog(CTarApp& app, const QStringList& toAdd, const QString& folder)
{
    for (const char* name : {"img_006.jpg", "img_007.jpg"})
    {
        const QString missing = QDir(toAdd.value(0)).filePath(QString::fromLatin1(name));
        app.Log().Add(CLogEntry(
            CTarMessages::FileFailure(missing.toStdString(), COsException(ERROR_FILE_NOT_FOUND))));
    }
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout,
                     []
                     {
                         if (auto* box =
                                 qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                             box->accept();
                     });
    answer.start(50);
    QTest::qWait(1500);
    CTabbedView& tabs = app.Frame()->TabbedView();
    tabs.Pages().setCurrentWidget(&tabs.LoggingPage());
    return Save(*app.Frame(), folder, "application-log.png");
}

// The wait window as it stands while a member is extracted: its logic is the
// document's own, only the worker's requests are played by hand.
bool ShootWaitDialog(CTarApp& app, const QString& folder)
{
    std::atomic<bool> keepGoing{true};
    CWaitDialog logic(app.FrontEnd(), keepGoing);
    logic.ResetForOperation(false);
    CTarWaitDlg dialog(logic, app.Frame());
    dialog.SetStatus(QStringLiteral("docs/letters/note2.txt"));
    dialog.SetProgress(40);
    dialog.SetOverall(QStringLiteral("3 of 7 files, 18 KB of 41 KB, about 4 s left"));
    dialog.show();
    return Save(dialog, folder, "wait-dialog.png");
}
// The step where files are dropped, with files already waiting; no file
// manager is started for the picture.
bool ShootWizard(CTarApp& app, const QString& folder)
{
    CTarBackupWizardDlg wizard(app.Settings(), app.Doc(), false, [] {}, [](int) {}, app.Frame());
    wizard.show();
    wizard.next();
    return Save(wizard, folder, "archive-wizard.png");
}

bool ShootAbout(CTarApp& app, const QString& folder)
{
    CAboutDlg about(app.Frame());
    about.show();
    return Save(about, folder, "about.png");
}
} // namespace

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3)
    {
        std::fprintf(stderr, "usage: vorkant-screenshots OUTPUT-FOLDER ARCHIVE [PATH-TO-ADD...]\n");
        return 2;
    }
    CTarApp app;
    if (!app.InitInstance({arguments[0], arguments[2]}))
        return 1;
    const QString folder = arguments[1];
    const bool shot = ShootMainWindow(app, arguments.mid(3), folder) &&
                      ShootFindBar(app, folder) &&
                      ShootExtractDialog(app, folder) && ShootWaitDialog(app, folder) &&
                      ShootOptions(app, folder) && ShootTapeDevices(app, folder) &&
                      ShootAppendOrOverwrite(app, folder) &&
                      ShootLog(app, arguments.mid(3), folder) && ShootWizard(app, folder) &&
                      ShootAbout(app, folder);
    app.ExitInstance();
    return shot ? 0 : 1;
}
