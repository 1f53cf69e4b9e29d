#include "ui/shell/CDesktopLauncher.h"

#include "core/COsException.h"
#include "ui/shell/CLinuxDesktopLauncher.h"

namespace
{
CDesktopLauncher* g_pCurrent = nullptr;

CDesktopLauncher& DesktopLauncher()
{
    static CLinuxDesktopLauncher launcher;
    return launcher;
}
} // namespace

CDesktopLauncher& CDesktopLauncher::Current()
{
    return g_pCurrent ? *g_pCurrent : DesktopLauncher();
}

CDesktopLauncher* CDesktopLauncher::SetCurrent(CDesktopLauncher* pLauncher)
{
    CDesktopLauncher* const previous = g_pCurrent;
    g_pCurrent = pLauncher;
    return previous;
}

void CDesktopLauncher::FindOrLaunch(const QStringList& command)
{
    const auto started = m_started.find(command);
    if (started != m_started.end() && IsRunning(started->second))
    {
        Raise(started->second);
        return;
    }
    m_started[command] = Start(command);
}

// Asking the file manager again is what raises it: it owns its windows.
void CDesktopLauncher::ShowInFileManager(const QString& folder)
{
    if (!ShowFolderOnBus(folder) && !OpenFolder(folder))
        throw COsException(ERROR_FILE_NOT_FOUND);
}
