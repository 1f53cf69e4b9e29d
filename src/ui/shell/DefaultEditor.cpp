#include "ui/shell/DefaultEditor.h"

#include "settings/CAppSettings.h"
#include "ui/shell/CDefaultAssocDlg.h"
#include "ui/shell/CMimeAssociation.h"

namespace
{
const QLatin1String kTarType("application/x-tar");
const QLatin1String kDesktopEntry("vorkant.desktop");
} // namespace

void CheckDefaultEditor(CMimeAssociation& association, CAppSettings& settings, QWidget* parent)
{
    if (settings.m_bNoAssocPrompt || !association.IsInstalled(kDesktopEntry))
        return;
    const QString current = association.QueryDefault(kTarType);
    if (current.isEmpty() || current == kDesktopEntry)
        return;
    CDefaultAssocDlg dialog(parent);
    if (dialog.exec() == QDialog::Accepted)
        association.SetDefault(kTarType, kDesktopEntry);
    settings.m_bNoAssocPrompt = dialog.m_bDontAsk ? 1 : 0;
}

void RegisterShellFileTypes(CMimeAssociation& association)
{
    if (association.IsInstalled(kDesktopEntry) && association.QueryDefault(kTarType).isEmpty())
        association.SetDefault(kTarType, kDesktopEntry);
}
