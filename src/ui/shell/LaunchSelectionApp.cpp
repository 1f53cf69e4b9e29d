#include "ui/shell/LaunchSelectionApp.h"

#include "core/CException.h"
#include "settings/CAppSettings.h"
#include "ui/shell/CDesktopLauncher.h"

#include <QDir>
#include <QProcess>

namespace
{
QStringList FileManagerCommand()
{
    return QProcess::splitCommand(qEnvironmentVariable("VORKANT_FILE_MANAGER"));
}
} // namespace

void LaunchSelectionApp(const CAppSettings& settings, QWidget*)
{
    CDesktopLauncher& launcher = CDesktopLauncher::Current();
    const QStringList command = settings.m_bUseExplorer ? QStringList() : FileManagerCommand();
    try
    {
        if (command.isEmpty())
            launcher.ShowInFileManager(QDir::homePath());
        else
            launcher.FindOrLaunch(command);
    }
    catch (CException& e)
    {
        e.ReportError();
    }
}
