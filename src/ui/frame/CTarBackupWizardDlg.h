#pragma once
#include <QWizard>

#include <functional>

class CAppSettings;
class CTarBackupWizardPage1;
class CTarBackupWizardPage2;
class CTarBackupWizardPage3;
class CTarDoc;

// The archive wizard: three steps that take a new user from choosing where
// to pick files, through dropping them on "Files To Add", to saving them as
// a new archive on disk or tape. It stays open beside the main window
// (modeless) and works through it: it changes the same settings as the
// Options sheet, watches the document's files to add and ends with the main
// window's own Save or Save Tape command. Cancel leaves whatever was changed
// meanwhile. The catalogue view makes it for its Archive Wizard command and
// owns it.
class CTarBackupWizardDlg : public QWizard
{
    Q_OBJECT

public:
    enum EStep
    {
        STEP_SELECTION_APP = 0,
        STEP_FILES = 1,
        STEP_MEDIUM = 2,
    };

    // launchSelectionApp starts or raises the program the user picks files
    // in; sendCommand runs a command of the main window as its menu does.
    CTarBackupWizardDlg(CAppSettings& settings, CTarDoc& doc, bool bTapesExist,
                        std::function<void()> launchSelectionApp,
                        std::function<void(int id)> sendCommand, QWidget* parent = nullptr);

    CTarBackupWizardPage1& Page1() const { return *m_pPage1; }
    CTarBackupWizardPage2& Page2() const { return *m_pPage2; }
    CTarBackupWizardPage3& Page3() const { return *m_pPage3; }

private:
    void OnStepShown(int id);

    CTarBackupWizardPage1* m_pPage1;
    CTarBackupWizardPage2* m_pPage2;
    CTarBackupWizardPage3* m_pPage3;
};
