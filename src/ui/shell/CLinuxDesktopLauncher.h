#pragma once
#include "ui/shell/CDesktopLauncher.h"

// The desktop's side of CDesktopLauncher on Linux: the freedesktop file
// manager interface on the session bus, the desktop's folder handler
// (QDesktopServices), programs started as children of this process, and
// their windows raised through the X11 window manager (a Wayland desktop
// lets no program raise another's windows).
class CLinuxDesktopLauncher : public CDesktopLauncher
{
protected:
    bool ShowFolderOnBus(const QString& folder) override;
    bool OpenFolder(const QString& folder) override;
    qint64 Start(const QStringList& command) override;
    bool IsRunning(qint64 pid) override;
    void Raise(qint64 pid) override;
};
