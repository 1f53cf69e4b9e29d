#include "ui/frame/CTarBackupWizardPage3.h"

#include "document/CTarDoc.h"
#include "ui/frame/CommandIds.h"

#include <QRadioButton>

namespace
{
const CWizardChoicePage::STexts kTexts = {
    "To save the archive created in step 2, Vorkant will save to standard disk files. Windows NT "
    "users may save to tape drives as another option.",
    "Select the desired storage medium.",
    "Disk &File",
    "&Tape Drive",
};
} // namespace

CTarBackupWizardPage3::CTarBackupWizardPage3(const CTarDoc& doc, bool bTapesExist,
                                             std::function<void(int id)> sendCommand,
                                             QWidget* parent)
    : CWizardChoicePage(QStyle::SP_DialogSaveButton, kTexts, parent), m_doc(doc),
      m_sendCommand(std::move(sendCommand))
{
    Choose(true);
    Second().setEnabled(bTapesExist);
}

bool CTarBackupWizardPage3::validatePage()
{
    m_sendCommand(First().isChecked() ? ID_FILE_SAVE : ID_FILE_SAVE_TAPE);
    return !m_doc.IsModified();
}
