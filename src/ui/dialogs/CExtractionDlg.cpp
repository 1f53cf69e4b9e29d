#include "ui/dialogs/CExtractionDlg.h"

#include "core/MessageBoxCodes.h"
#include "platform/CFileStatus.h"
#include "ui/dialogs/CFileTypesDlg.h"
#include "ui/dialogs/CFolderBrowseDlg.h"
#include "ui/dialogs/DialogSupport.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace
{
constexpr const char* kBrowseTitle = "Select the destination folder for the file extraction.";

bool IsFolder(const std::string& path)
{
    CFileStatus status;
    return CFileStatus::Get(path, status) && status.m_bDirectory;
}
} // namespace

CExtractionDlg::CExtractionDlg(const std::string& location, std::vector<std::string>* specs,
                               QWidget* parent)
    : QDialog(parent), m_strLocation(location), m_pSpecs(specs),
      m_pSelection(new QButtonGroup(this)), m_pLocation(new QLineEdit),
      m_pFileType(new QPushButton(tr("&File Type...")))
{
    setWindowTitle(tr("Extract"));

    auto* group = new QGroupBox(tr("Selection Type"));
    auto* groupLayout = new QGridLayout(group);
    const struct
    {
        const char* szText;
        int nType;
        int nId;
    } radios[] = {
        {QT_TR_NOOP("&All Files"), SELECT_ALL, IDC_ALL_FILES},
        {QT_TR_NOOP("&Selected Files"), SELECT_SELECTED, IDC_SELECTED_FILES},
        {QT_TR_NOOP("By &Type"), SELECT_TYPE, IDC_BY_TYPE},
    };
    for (const auto& radio : radios)
    {
        auto* button = new QRadioButton(tr(radio.szText));
        SetControlId(*button, radio.nId);
        m_pSelection->addButton(button, radio.nType);
        groupLayout->addWidget(button, radio.nType, 0);
    }
    SetControlId(*m_pFileType, IDC_FILE_TYPE);
    groupLayout->addWidget(m_pFileType, SELECT_TYPE, 1);

    auto* label = new QLabel(tr("Location"));
    label->setBuddy(m_pLocation);
    SetControlId(*m_pLocation, IDC_LOCATION);
    auto* browse = new QPushButton(tr("&Browse..."));
    SetControlId(*browse, IDC_BROWSE);
    auto* locationRow = new QHBoxLayout;
    locationRow->addWidget(m_pLocation, 1);
    locationRow->addWidget(browse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CExtractionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExtractionDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(label);
    layout->addLayout(locationRow);
    layout->addWidget(buttons);

    connect(m_pSelection, &QButtonGroup::idToggled, this, &CExtractionDlg::UpdateFileTypeButton);
    connect(browse, &QPushButton::clicked, this, &CExtractionDlg::OnBrowse);
    connect(m_pFileType, &QPushButton::clicked, this, &CExtractionDlg::OnFileType);
}

void CExtractionDlg::accept()
{
    const int checked = m_pSelection->checkedId();
    m_nSelectionType = checked == SELECT_ALL || checked == SELECT_SELECTED ? checked : SELECT_TYPE;
    m_strLocation = ToStdString(m_pLocation->text());
    // The extraction makes a missing destination itself: only ask first.
    if (!IsFolder(m_strLocation) &&
        QMessageBox::question(this, tr("Create"),
                              tr("The specified path does not exist. Would you like to create it?"),
                              QMessageBox::Ok | QMessageBox::Cancel,
                              QMessageBox::Ok) != QMessageBox::Ok)
    {
        return;
    }
    QDialog::accept();
}

void CExtractionDlg::showEvent(QShowEvent* event)
{
    // The caller presets the fields after construction, so they are put
    // into the controls each time the dialog is opened.
    if (!event->spontaneous())
        Initialise();
    QDialog::showEvent(event);
}

int CExtractionDlg::BrowseForFolder(const std::string& title, std::string& folder)
{
    CFolderBrowseDlg browser(title, folder, this);
    const int result = browser.Browse();
    if (result == IDOK)
        folder = browser.GetPath();
    return result;
}

void CExtractionDlg::Initialise()
{
    if (QAbstractButton* preset = m_pSelection->button(m_nSelectionType))
        preset->setChecked(true);
    m_pSelection->button(SELECT_SELECTED)->setEnabled(!m_bSelectedDisabled);
    m_pLocation->setText(ToQString(m_strLocation));
    UpdateFileTypeButton();
}

void CExtractionDlg::UpdateFileTypeButton()
{
    m_pFileType->setEnabled(m_pSelection->checkedId() == SELECT_TYPE);
}

void CExtractionDlg::OnBrowse()
{
    std::string folder = ToStdString(m_pLocation->text());
    if (BrowseForFolder(kBrowseTitle, folder) == IDOK)
        m_pLocation->setText(ToQString(folder));
}

void CExtractionDlg::OnFileType()
{
    CFileTypesDlg fileTypes(m_pSpecs, this);
    fileTypes.exec();
}
