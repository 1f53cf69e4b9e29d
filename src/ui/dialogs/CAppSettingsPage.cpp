#include "ui/dialogs/CAppSettingsPage.h"

#include "settings/CAppSettings.h"
#include "ui/dialogs/CFileTypesDlg.h"
#include "ui/dialogs/DialogSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

CAppSettingsPage::CAppSettingsPage(CAppSettings* settings, QWidget* parent)
    : QWidget(parent), m_pSettings(settings),
      m_pAutoSizeColumns(new QCheckBox(tr("Auto &size file columns"))),
      m_pAutoListTapes(new QCheckBox(tr("Automatically &list tapes"))),
      m_pShowFinishedDialog(new QCheckBox(tr("Show finished dialog on long operations"))),
      m_pExplorer(new QRadioButton(tr("&Explorer"))),
      m_pFileManager(new QRadioButton(tr("&File Manager")))
{
    SetControlId(*m_pAutoSizeColumns, IDC_AUTO_SIZE_COLUMNS);
    SetControlId(*m_pAutoListTapes, IDC_AUTO_LIST_TAPES);
    SetControlId(*m_pShowFinishedDialog, IDC_SHOW_FINISHED_DIALOG);
    SetControlId(*m_pExplorer, IDC_EXPLORER);
    SetControlId(*m_pFileManager, IDC_FILE_MANAGER);
    m_pAutoSizeColumns->setChecked(m_pSettings->m_bAutoSizeColumns != 0);
    m_pAutoListTapes->setChecked(m_pSettings->m_bAutoListTapes != 0);
    m_pShowFinishedDialog->setChecked(m_pSettings->m_bShowFinishedDialog != 0);

    auto* selection = new QGroupBox(tr("Selection Application"));
    auto* selectionLayout = new QVBoxLayout(selection);
    selectionLayout->addWidget(m_pExplorer);
    selectionLayout->addWidget(m_pFileManager);

    auto* fileTypes = new QPushButton(tr("&File Types"));
    SetControlId(*fileTypes, IDC_FILE_TYPES);
    auto* extraction = new QGroupBox(tr("Extraction Settings"));
    auto* extractionLayout = new QVBoxLayout(extraction);
    extractionLayout->addWidget(fileTypes);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pAutoSizeColumns);
    layout->addWidget(m_pAutoListTapes);
    layout->addWidget(m_pShowFinishedDialog);
    layout->addWidget(selection);
    layout->addWidget(extraction);
    layout->addStretch();

    connect(fileTypes, &QPushButton::clicked, this, &CAppSettingsPage::OnFileTypes);
}

void CAppSettingsPage::Apply()
{
    if (!m_bInitialised)
        return;
    m_pSettings->m_bAutoSizeColumns = m_pAutoSizeColumns->isChecked();
    m_pSettings->m_bAutoListTapes = m_pAutoListTapes->isChecked();
    m_pSettings->m_bUseExplorer = m_pExplorer->isChecked();
    m_pSettings->m_bShowFinishedDialog = m_pShowFinishedDialog->isChecked();
    m_pSettings->NotifyChanged(SC_ALL);
}

void CAppSettingsPage::showEvent(QShowEvent* event)
{
    if (!m_bInitialised && !event->spontaneous())
    {
        m_bInitialised = true;
        (m_pSettings->m_bUseExplorer == 1 ? m_pExplorer : m_pFileManager)->setChecked(true);
    }
    QWidget::showEvent(event);
}

void CAppSettingsPage::OnFileTypes()
{
    CFileTypesDlg fileTypes(&m_pSettings->m_extractSpecs, this);
    fileTypes.exec();
}
