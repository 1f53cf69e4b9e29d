#pragma once
#include <QWidget>

class CAppSettings;
class QCheckBox;
class QRadioButton;
class QShowEvent;

// The "Application Settings" page of the Options sheet: column sizing, tape
// listing, the finished dialog, the selection application, and the file
// types that extraction by type uses. Its three boxes are read when it is
// made, the selection application when first shown; owned by the sheet.
class CAppSettingsPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 111,
        IDC_EXPLORER = 1004,
        IDC_AUTO_SIZE_COLUMNS = 1005,
        IDC_FILE_MANAGER = 1010,
        IDC_AUTO_LIST_TAPES = 1028,
        IDC_SHOW_FINISHED_DIALOG = 1029,
        IDC_FILE_TYPES = 1037,
    };

    explicit CAppSettingsPage(CAppSettings* settings, QWidget* parent = nullptr);

    // Writes the page into the settings and tells their clients, once shown.
    void Apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The File Types dialog changes the list at once on its own OK.
    void OnFileTypes();

    CAppSettings* const m_pSettings;
    QCheckBox* m_pAutoSizeColumns;
    QCheckBox* m_pAutoListTapes;
    QCheckBox* m_pShowFinishedDialog;
    QRadioButton* m_pExplorer;
    QRadioButton* m_pFileManager;
    bool m_bInitialised = false;
};
