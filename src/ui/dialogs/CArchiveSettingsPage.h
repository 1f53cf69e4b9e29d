#pragma once
#include <QWidget>

class CAppSettings;
class CDigitSpinBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QShowEvent;

// The "Archive Settings" page of the Options sheet: the index file of tapes,
// the count of empty records that ends a scan, relative or absolute paths,
// the SGI layout and whether the holes of sparse files stay holes. Reads the
// settings when first shown; owned by the sheet.
class CArchiveSettingsPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 120,
        IDC_RELATIVE_PATH = 1001,
        IDC_INDEX_NAME_LABEL = 1035,
        IDC_ABSOLUTE_PATH = 1067,
        IDC_USE_INDEX_FILE = 1068,
        IDC_INDEX_FILE_NAME = 1069,
        IDC_TERMINATING_RECORDS = 1079,
        IDC_SGI_FORMAT = 1081,
    };
    enum : int
    {
        MIN_TERMINATING_RECORDS = 1,
        MAX_TERMINATING_RECORDS = 32767,
    };

    explicit CArchiveSettingsPage(CAppSettings* settings, QWidget* parent = nullptr);

    // Reads the record count, telling the user when it is out of range; a
    // page never shown has nothing to check.
    bool Validate();
    // Writes the page into the settings and tells their clients, once shown.
    void Apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Initialise();
    void UpdateIndexName();

    CAppSettings* const m_pSettings;
    QCheckBox* m_pUseIndexFile;
    QLabel* m_pIndexNameLabel;
    QLineEdit* m_pIndexFileName;
    CDigitSpinBox* m_pTerminatingRecords;
    QRadioButton* m_pRelativePath;
    QRadioButton* m_pAbsolutePath;
    QCheckBox* m_pSgiFormat;
    QCheckBox* m_pSparse;
    int m_nTerminatingRecords = 0;
    bool m_bInitialised = false;
};
