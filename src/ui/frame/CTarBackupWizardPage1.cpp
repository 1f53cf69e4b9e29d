#include "ui/frame/CTarBackupWizardPage1.h"

#include "settings/CAppSettings.h"

#include <QRadioButton>

namespace
{
const CWizardChoicePage::STexts kTexts = {
    "The first step in creating a TAR archive is to select the files.  Files can be dragged "
    "from the Windows Explorer or from Windows File Manager and dropped on the lower pane of "
    "Vorkant.",
    "Would you like to use the Explorer or File Manager?",
    "&Explorer",
    "&File Manager",
};
} // namespace

CTarBackupWizardPage1::CTarBackupWizardPage1(CAppSettings& settings, QWidget* parent)
    : CWizardChoicePage(QStyle::SP_DirHomeIcon, kTexts, parent), m_settings(settings)
{
    connect(&First(), &QRadioButton::clicked, this, [this] { m_settings.m_bUseExplorer = 1; });
    connect(&Second(), &QRadioButton::clicked, this, [this] { m_settings.m_bUseExplorer = 0; });
}

void CTarBackupWizardPage1::OnSetActive()
{
    Choose(m_settings.m_bUseExplorer != 0);
}
