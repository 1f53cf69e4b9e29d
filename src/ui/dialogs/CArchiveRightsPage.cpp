#include "ui/dialogs/CArchiveRightsPage.h"

#include "settings/CAppSettings.h"
#include "ui/dialogs/CFileRightsPage.h"
#include "ui/dialogs/COptionsDlg.h"
#include "ui/dialogs/DialogSupport.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QShowEvent>
#include <QTabWidget>

#include <cstdlib>

namespace
{
// Archive headers hold an id in six octal digits: a larger one would be
// cut short and name somebody else.
constexpr int kMaxId = 0777777;

int FromOctal(const std::string& text)
{
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 8));
}

std::string ToOctal(int value)
{
    return QString::number(value, 8).toStdString();
}
} // namespace

CArchiveRightsPage::CArchiveRightsPage(CAppSettings* settings, QWidget* parent)
    : QWidget(parent), m_pSettings(settings),
      m_pOwnPermissions(new QCheckBox(tr("&Use each file's own owner and permissions"))),
      m_pFileRights(new CFileRightsPage), m_pDirRights(new CFileRightsPage),
      m_pGroupName(new QLineEdit), m_pGroupId(new QLineEdit), m_pUserName(new QLineEdit),
      m_pUserId(new QLineEdit)
{
    m_pOwnPermissions->setAccessibleName(tr("Use each file's own owner and permissions"));
    m_pOwnPermissions->setToolTip(tr("Each member takes its file's own permissions, owner and "
                                     "group. The values below apply to whatever the system "
                                     "gives none for, and to every member while this is off."));
    SetControlId(*m_pGroupName, IDC_GROUP_NAME);
    SetControlId(*m_pGroupId, IDC_GROUP_ID);
    SetControlId(*m_pUserName, IDC_USER_NAME);
    SetControlId(*m_pUserId, IDC_USER_ID);
    auto* tabs = new QTabWidget;
    SetControlId(*tabs, IDC_TABS);
    tabs->addTab(m_pFileRights, tr("File Permissions"));
    tabs->addTab(m_pDirRights, tr("Directory Permissions"));
    tabs->setUsesScrollButtons(false);

    // QFormLayout makes each label the buddy of its field.
    auto* layout = new QFormLayout(this);
    layout->addRow(m_pOwnPermissions);
#ifdef _WIN32
    m_pOwnPermissions->setVisible(false);
#endif
    layout->addRow(tr("Group Name"), m_pGroupName);
    layout->addRow(tr("Group Id"), m_pGroupId);
    layout->addRow(tr("User Name"), m_pUserName);
    layout->addRow(tr("User Id"), m_pUserId);
    layout->addRow(tabs);
}

bool CArchiveRightsPage::Validate()
{
    if (!m_bInitialised)
        return true;
    const std::optional<int> groupId =
        COptionsDlg::ReadInteger(*m_pGroupId, m_pGroupId->text(), 0, kMaxId);
    const std::optional<int> userId =
        groupId ? COptionsDlg::ReadInteger(*m_pUserId, m_pUserId->text(), 0, kMaxId) : std::nullopt;
    if (!userId)
        return false;
    m_nGroupId = *groupId;
    m_nUserId = *userId;
    return true;
}

void CArchiveRightsPage::Apply()
{
    if (!m_bInitialised)
        return;
    CTarSettings& tar = m_pSettings->m_tarSettings;
    tar.m_bOwnPermissions = m_pOwnPermissions->isChecked() ? 1 : 0;
    tar.m_strGroupName = ToStdString(m_pGroupName->text());
    tar.m_strUserName = ToStdString(m_pUserName->text());
    tar.m_strDirMode = m_pDirRights->Mode();
    tar.m_strFileMode = m_pFileRights->Mode();
    tar.m_strUserId = ToOctal(m_nUserId);
    tar.m_strGroupId = ToOctal(m_nGroupId);
    m_pSettings->NotifyChanged(SC_PERMISSIONS);
}

void CArchiveRightsPage::showEvent(QShowEvent* event)
{
    if (!m_bInitialised && !event->spontaneous())
        Initialise();
    QWidget::showEvent(event);
}

void CArchiveRightsPage::Initialise()
{
    m_bInitialised = true;
    const CTarSettings& tar = m_pSettings->m_tarSettings;
    m_pOwnPermissions->setChecked(tar.m_bOwnPermissions != 0);
    m_pFileRights->SetMode(tar.m_strFileMode);
    m_pDirRights->SetMode(tar.m_strDirMode);
    m_pGroupName->setText(ToQString(tar.m_strGroupName));
    m_pUserName->setText(ToQString(tar.m_strUserName));
    m_nUserId = FromOctal(tar.m_strUserId);
    m_nGroupId = FromOctal(tar.m_strGroupId);
    m_pUserId->setText(QString::number(m_nUserId));
    m_pGroupId->setText(QString::number(m_nGroupId));
}
