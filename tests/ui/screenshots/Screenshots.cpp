// Renders the windows the README shows: the main window with an archive
// open and files waiting to be added, the Extract dialog over it, the wait
// dialog in the middle of an extraction, and the Options sheet. scripts/screenshots runs it
// on a virtual X display, so the pictures are what a user's display draws.
#include "core/CMessageLog.h"
#include "document/CWaitDialog.h"
#include "ui/app/CTarApp.h"
#include "ui/dialogs/CExtractionDlg.h"
#include "ui/dialogs/COptionsDlg.h"
#include "ui/frame/CMainFrame.h"
#include "ui/frontend/CTarWaitDlg.h"

#include <QApplication>
#include <QDir>
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
    dialog.show();
    return Save(dialog, folder, "wait-dialog.png");
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
    const bool shot = ShootMainWindow(app, arguments.mid(3), folder) && ShootExtractDialog(app, folder) &&
                      ShootWaitDialog(app, folder) && ShootOptions(app, folder);
    app.ExitInstance();
    return shot ? 0 : 1;
}
