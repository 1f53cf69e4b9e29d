#pragma once
#include "ui/frame/CWizardChoicePage.h"

#include <functional>

class CTarDoc;

// The archive wizard's last step: where the new archive goes, a disk file or
// a tape (offered only where there are tape drives). Finish has the main
// window save as its own Save or Save Tape command would, dialogs and all,
// and keeps the wizard open while files still wait: the save was cancelled
// or failed, and the user may try again or choose the other medium. Owned
// by the wizard.
class CTarBackupWizardPage3 : public CWizardChoicePage
{
    Q_OBJECT

public:
    CTarBackupWizardPage3(const CTarDoc& doc, bool bTapesExist,
                          std::function<void(int id)> sendCommand, QWidget* parent = nullptr);

    bool validatePage() override;

private:
    const CTarDoc& m_doc;
    std::function<void(int id)> m_sendCommand;
};
