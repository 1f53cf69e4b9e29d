#pragma once
#include <QString>
#include <QStringList>

#include <map>

// Starts or raises the programs the user picks files in. The decisions are
// made here: a program this launcher started and that still runs is raised
// rather than started twice; the desktop's file manager goes through its
// bus interface where the session offers one. The calls into the desktop are
// the subclass's: CLinuxDesktopLauncher in the program, a fake in tests.
// One launcher is current for the process (Current); tests install theirs.
class CDesktopLauncher
{
public:
    virtual ~CDesktopLauncher() = default;

    // The launcher LaunchSelectionApp goes through.
    static CDesktopLauncher& Current();
    // Makes the launcher current (null: the desktop's) and returns the one
    // that was, for the caller to put back.
    static CDesktopLauncher* SetCurrent(CDesktopLauncher* pLauncher);

    // Raises the program started with the command while it runs, else
    // starts it. Throws COsException when it cannot start.
    void FindOrLaunch(const QStringList& command);
    // Shows or raises the desktop's file manager on the folder. Throws
    // COsException when the desktop has none to open it.
    void ShowInFileManager(const QString& folder);

protected:
    // Asks the file manager's bus service to show the folder; false when the
    // session has no such service.
    virtual bool ShowFolderOnBus(const QString& folder) = 0;
    // Opens the folder with the desktop's handler for folders.
    virtual bool OpenFolder(const QString& folder) = 0;
    // Starts the program and returns its process id; throws COsException
    // with the system's error when it cannot.
    virtual qint64 Start(const QStringList& command) = 0;
    virtual bool IsRunning(qint64 pid) = 0;
    // Brings the program's windows to the front, where the desktop lets it.
    virtual void Raise(qint64 pid) = 0;

private:
    std::map<QStringList, qint64> m_started;
};
