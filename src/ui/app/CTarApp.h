#pragma once
#include "core/CMessageLog.h"
#include "devices/CTapeDesc.h"
#include "document/CTarDoc.h"
#include "settings/CAppSettings.h"
#include "ui/app/CRecentFileList.h"
#include "ui/app/CRunningInstance.h"
#include "ui/frame/CCommandTarget.h"
#include "ui/frontend/CMessageBoxReporter.h"
#include "ui/frontend/CQtFrontEnd.h"
#include "ui/shell/CXdgMimeAssociation.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class CErrorReporter;
class CFileDataSource;
class CMainFrame;
class CSplashWnd;

// The application: owns the settings, the log, the tape drives found at
// start-up, the Qt front end, the one document and the main window. Runs
// start-up and shut-down, and serves the application's commands: New, Open,
// Open Tape, Save, Save Tape, the recent files, Options, About, Exit and
// help. Keeps to one window a user: a later start hands its archive over here.
// main makes one inside the QApplication and runs it.
class CTarApp : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // The desktop's file-type defaults go through pAssociation (not owned;
    // null: xdg-mime), so that tests never change the machine's.
    explicit CTarApp(CMimeAssociation* pAssociation = nullptr);
    ~CTarApp() override;

    // Start-up, the event loop, shut-down; returns the exit status.
    int Run(const QStringList& arguments);
    // Loads the settings, makes the document and the main window, shows it
    // and opens the archive the command line names. False when that archive
    // could not be opened: the program then ends.
    bool InitInstance(const QStringList& arguments);
    // Closes the main window for good and saves the settings.
    void ExitInstance();

    // Asks to save the files waiting to be added, then opens the archive.
    bool OpenDocumentFile(const QString& path);

    bool IsStarted() const { return m_bStarted; }
    CAppSettings& Settings() { return m_settings; }
    CMessageLog& Log() { return m_log; }
    CQtFrontEnd& FrontEnd() { return m_frontEnd; }
    CTarDoc& Doc() { return *m_pDoc; }
    CMainFrame* Frame() const { return m_pFrame.get(); }
    const CRecentFileList& RecentFiles() const { return m_recent; }
    // Serves later starts once Run listens; tests may listen themselves.
    CRunningInstance& Instance() { return m_instance; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

private:
    std::unique_ptr<CFileEntrys> MakeList(CTarDoc::EList list);
    void MakeDocumentAndFrame();
    void EndSession();
    bool OpenFile(const QString& path);
    static bool IsOpenable(const QString& path);
    // Empties the document, after asking to save it when askToSave is set.
    bool NewDocument(bool askToSave);
    void OnNewDocumentRequested();
    void OnFileOpen();
    void OnOpenTape();
    void OnSaveTape();
    void OnOpenRecent(int index);
    // Shows the Options sheet and saves the settings after OK.
    void OnOptions();
    void SaveTo(const std::string& path);
    void SaveDone(bool saved);
    bool AskTapeDevice(std::string& device);
    void UpdateRecentFiles();
    void CloseSplash();
    // A later start's archive, opened as one from the file manager.
    void OnHandedOver(const QString& path);
    void BringToFront();
    // Runs action once start-up has ended and no modal window is open: a
    // request from outside must not cut into a question or an operation.
    void WhenIdle(std::function<void()> action);

    CXdgMimeAssociation m_xdgAssociation;
    CMimeAssociation& m_association;
    CAppSettings m_settings;
    CMessageLog m_log;
    CTapeDesc m_tapes;
    CQtFrontEnd m_frontEnd;
    CMessageBoxReporter m_reporter;
    CErrorReporter* m_pPreviousReporter;
    CRecentFileList m_recent;
    QFont m_font;
    // Made by the document's list factory, owned by the document.
    CFileDataSource* m_pFilesToAdd = nullptr;
    CFileDataSource* m_pCatalogue = nullptr;
    // The window goes before the document whose lists it shows.
    std::unique_ptr<CTarDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    bool m_bStarted = false;
    // Deletes itself once it has closed.
    QPointer<CSplashWnd> m_pSplash;
    CRunningInstance m_instance;
};
