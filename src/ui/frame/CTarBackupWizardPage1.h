#pragma once
#include "ui/frame/CWizardChoicePage.h"

class CAppSettings;

// The archive wizard's first step: which program the user picks files in,
// the desktop's file manager or the one the settings name. A click changes
// the setting at once. Owned by the wizard.
class CTarBackupWizardPage1 : public CWizardChoicePage
{
    Q_OBJECT

public:
    explicit CTarBackupWizardPage1(CAppSettings& settings, QWidget* parent = nullptr);

    // The wizard calls it each time the step shows: the Options sheet may
    // have changed the choice meanwhile.
    void OnSetActive();

private:
    CAppSettings& m_settings;
};
