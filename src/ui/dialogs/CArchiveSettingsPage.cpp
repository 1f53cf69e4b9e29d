#include "ui/dialogs/CArchiveSettingsPage.h"

#include "settings/CAppSettings.h"
#include "ui/dialogs/CDigitSpinBox.h"
#include "ui/dialogs/COptionsDlg.h"
#include "ui/dialogs/DialogSupport.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

CArchiveSettingsPage::CArchiveSettingsPage(CAppSettings* settings, QWidget* parent)
    : QWidget(parent), m_pSettings(settings), m_pUseIndexFile(new QCheckBox(tr("&Use Index File"))),
      m_pIndexNameLabel(new QLabel(tr("Index File Name"))), m_pIndexFileName(new QLineEdit),
      m_pTerminatingRecords(new CDigitSpinBox(MIN_TERMINATING_RECORDS, MAX_TERMINATING_RECORDS)),
      m_pRelativePath(new QRadioButton(tr("&Relative Path"))),
      m_pAbsolutePath(new QRadioButton(tr("&Absolute Path"))),
      m_pSgiFormat(new QCheckBox(tr("SGI &Format"))),
      m_pSparse(new QCheckBox(tr("Store &holes in sparse files as holes")))
{
    SetControlId(*m_pUseIndexFile, IDC_USE_INDEX_FILE);
    SetControlId(*m_pIndexNameLabel, IDC_INDEX_NAME_LABEL);
    m_pIndexNameLabel->setBuddy(m_pIndexFileName);
    SetControlId(*m_pIndexFileName, IDC_INDEX_FILE_NAME);
    SetControlId(*m_pTerminatingRecords, IDC_TERMINATING_RECORDS);
    SetControlId(*m_pRelativePath, IDC_RELATIVE_PATH);
    SetControlId(*m_pAbsolutePath, IDC_ABSOLUTE_PATH);
    SetControlId(*m_pSgiFormat, IDC_SGI_FORMAT);
    m_pSparse->setAccessibleName(tr("Store holes in sparse files as holes"));
    m_pSparse->setToolTip(tr("A file with holes, such as a disk image, is stored as its data "
                             "and a map of the holes. Off, the holes are stored as zeros."));

    auto* index = new QGroupBox(tr("Index Options"));
    auto* indexLayout = new QFormLayout(index);
    indexLayout->addRow(m_pUseIndexFile);
    indexLayout->addRow(m_pIndexNameLabel, m_pIndexFileName);

    auto* count = new QFormLayout;
    count->addRow(tr("Terminating Record Count"), m_pTerminatingRecords);

    auto* paths = new QGroupBox(tr("Backup Path Options"));
    auto* pathsLayout = new QVBoxLayout(paths);
    pathsLayout->addWidget(m_pRelativePath);
    pathsLayout->addWidget(m_pAbsolutePath);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(index);
    layout->addLayout(count);
    layout->addWidget(paths);
    layout->addWidget(m_pSgiFormat);
    layout->addWidget(m_pSparse);
    layout->addStretch();

    connect(m_pUseIndexFile, &QCheckBox::toggled, this, &CArchiveSettingsPage::UpdateIndexName);
}

bool CArchiveSettingsPage::Validate()
{
    if (!m_bInitialised)
        return true;
    const std::optional<int> count =
        COptionsDlg::ReadInteger(*m_pTerminatingRecords, m_pTerminatingRecords->text(),
                                 MIN_TERMINATING_RECORDS, MAX_TERMINATING_RECORDS);
    if (count)
        m_nTerminatingRecords = *count;
    return count.has_value();
}

void CArchiveSettingsPage::Apply()
{
    if (!m_bInitialised)
        return;
    m_pSettings->m_bRelativePaths = m_pRelativePath->isChecked();
    m_pSettings->m_strIndexFileName = ToStdString(m_pIndexFileName->text());
    m_pSettings->m_bUseIndexFile = m_pUseIndexFile->isChecked();
    m_pSettings->m_tarSettings.m_nTerminatingRecords = m_nTerminatingRecords;
    m_pSettings->m_tarSettings.m_bSgiFormat = m_pSgiFormat->isChecked();
    m_pSettings->m_tarSettings.m_bSparse = m_pSparse->isChecked() ? 1 : 0;
    m_pSettings->NotifyChanged(SC_ALL);
}

void CArchiveSettingsPage::showEvent(QShowEvent* event)
{
    if (!m_bInitialised && !event->spontaneous())
        Initialise();
    QWidget::showEvent(event);
}

void CArchiveSettingsPage::Initialise()
{
    m_bInitialised = true;
    m_pIndexFileName->setText(ToQString(m_pSettings->m_strIndexFileName));
    m_pUseIndexFile->setChecked(m_pSettings->m_bUseIndexFile != 0);
    m_pTerminatingRecords->SetNumber(m_pSettings->m_tarSettings.m_nTerminatingRecords);
    m_pSgiFormat->setChecked(m_pSettings->m_tarSettings.m_bSgiFormat != 0);
    m_pSparse->setChecked(m_pSettings->m_tarSettings.m_bSparse != 0);
    (m_pSettings->m_bRelativePaths == 1 ? m_pRelativePath : m_pAbsolutePath)->setChecked(true);
    UpdateIndexName();
}

void CArchiveSettingsPage::UpdateIndexName()
{
    const bool use = m_pUseIndexFile->isChecked();
    m_pIndexNameLabel->setEnabled(use);
    m_pIndexFileName->setEnabled(use);
}
