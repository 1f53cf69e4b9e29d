#include "ui/frame/CTarBackupWizardPage2.h"

#include "engine/CFileEntrys.h"
#include "settings/CAppSettings.h"

#include <QRadioButton>
#include <QThread>

namespace
{
const CWizardChoicePage::STexts kTexts = {
    "Once files have been selected, drop them into the lower pane.  When you drop a directory on "
    "Vorkant, it will add all files and subdirectories contained within it.  Files must be "
    "selected to continue to the next step.",
    "Relative Path stores each name as it stands below the folder you dropped, so the archive can "
    "be extracted anywhere.  Absolute Path stores the whole path of each file.",
    "Relative Path",
    "Absolute Path",
};
} // namespace

CTarBackupWizardPage2::CTarBackupWizardPage2(CAppSettings& settings, CFileEntrys& filesToAdd,
                                             std::function<void()> launchSelectionApp,
                                             QWidget* parent)
    : CWizardChoicePage(QStyle::SP_FileIcon, kTexts, parent), m_settings(settings),
      m_filesToAdd(filesToAdd), m_launchSelectionApp(std::move(launchSelectionApp))
{
    Choose(m_settings.m_bRelativePaths != 0);
    connect(&First(), &QRadioButton::clicked, this, [this] { SetRelativePaths(true); });
    connect(&Second(), &QRadioButton::clicked, this, [this] { SetRelativePaths(false); });
    m_filesToAdd.Advise(this, &CTarBackupWizardPage2::OnListEvent);
}

CTarBackupWizardPage2::~CTarBackupWizardPage2()
{
    UnadviseAll();
}

bool CTarBackupWizardPage2::isComplete() const
{
    return m_filesToAdd.GetCount() > 0;
}

void CTarBackupWizardPage2::OnSetActive()
{
    QMetaObject::invokeMethod(
        this, [this] { m_launchSelectionApp(); }, Qt::QueuedConnection);
}

// Any thread: the worker changes the list during an operation.
int CTarBackupWizardPage2::OnListEvent(void*)
{
    if (QThread::currentThread() == thread())
        emit completeChanged();
    else if (!m_bChangePosted.exchange(true))
        QMetaObject::invokeMethod(
            this,
            [this]
            {
                m_bChangePosted = false;
                emit completeChanged();
            },
            Qt::QueuedConnection);
    return 0;
}

void CTarBackupWizardPage2::SetRelativePaths(bool relative)
{
    m_settings.m_bRelativePaths = relative ? 1 : 0;
    m_settings.NotifyChanged(SC_PATHS);
}
