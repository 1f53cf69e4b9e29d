#include "ui/frame/CTarBackupWizardDlg.h"

#include "document/CTarDoc.h"
#include "ui/frame/CTarBackupWizardPage1.h"
#include "ui/frame/CTarBackupWizardPage2.h"
#include "ui/frame/CTarBackupWizardPage3.h"

CTarBackupWizardDlg::CTarBackupWizardDlg(CAppSettings& settings, CTarDoc& doc, bool bTapesExist,
                                         std::function<void()> launchSelectionApp,
                                         std::function<void(int id)> sendCommand, QWidget* parent)
    : QWizard(parent), m_pPage1(new CTarBackupWizardPage1(settings)),
      m_pPage2(
          new CTarBackupWizardPage2(settings, doc.m_filesToAdd, std::move(launchSelectionApp))),
      m_pPage3(new CTarBackupWizardPage3(doc, bTapesExist, std::move(sendCommand)))
{
    setWindowTitle(QString::fromLatin1(CWizardChoicePage::TITLE));
    setOption(QWizard::HaveHelpButton, false);
    setPage(STEP_SELECTION_APP, m_pPage1);
    setPage(STEP_FILES, m_pPage2);
    setPage(STEP_MEDIUM, m_pPage3);
    // Back reaches a step without initializePage, so a step learns that it
    // shows from here.
    connect(this, &QWizard::currentIdChanged, this, &CTarBackupWizardDlg::OnStepShown);
}

void CTarBackupWizardDlg::OnStepShown(int id)
{
    if (id == STEP_SELECTION_APP)
        m_pPage1->OnSetActive();
    else if (id == STEP_FILES)
        m_pPage2->OnSetActive();
}
