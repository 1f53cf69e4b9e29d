#include "ui/shell/LaunchSelectionApp.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

// Until the choice of selection application comes, the desktop's file
// manager opens on the home folder for the user to drag from.
void LaunchSelectionApp(const CAppSettings&, QWidget*)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::homePath()));
}
