#pragma once
#include <QWidget>

class CAppSettings;
class CFileRightsPage;
class QCheckBox;
class QLineEdit;
class QShowEvent;

// The "Archive Permissions" page of the Options sheet: whether members take
// each file's own owner and permissions (not on Windows, whose files have
// none of that kind), and the owner, group and permission modes written
// into new archives otherwise, with the file and directory modes on tabs of
// their own. The ids are stored as octal text but edited in decimal. Reads
// the settings when first shown; owned by the sheet.
class CArchiveRightsPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 119,
        IDC_USER_ID = 1041,
        IDC_GROUP_ID = 1042,
        IDC_GROUP_NAME = 1044,
        IDC_USER_NAME = 1046,
        IDC_TABS = 1016,
    };

    explicit CArchiveRightsPage(CAppSettings* settings, QWidget* parent = nullptr);

    // Reads the ids, telling the user about one that is not a valid id; a
    // page never shown has nothing to check.
    bool Validate();
    // Writes the page into the settings and tells their clients, once shown.
    void Apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Initialise();

    CAppSettings* const m_pSettings;
    QCheckBox* m_pOwnPermissions;
    CFileRightsPage* m_pFileRights;
    CFileRightsPage* m_pDirRights;
    QLineEdit* m_pGroupName;
    QLineEdit* m_pGroupId;
    QLineEdit* m_pUserName;
    QLineEdit* m_pUserId;
    int m_nUserId = 0;
    int m_nGroupId = 0;
    bool m_bInitialised = false;
};
