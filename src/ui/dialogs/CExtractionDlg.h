#pragma once
#include <QDialog>

#include <string>
#include <vector>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QShowEvent;

// The "Extract" dialog: what to extract (every member, the selected ones, or
// those matching the stored file types) and into which folder. The
// catalogue view makes one on the stack for each extraction, presets the
// choice in the public fields, and reads them back after OK. The
// file-type patterns are the caller's; "File Type..." edits them in place.
class CExtractionDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        SELECT_ALL = 0,
        SELECT_SELECTED = 1,
        SELECT_TYPE = 2,
    };
    enum : int
    {
        IDD = 104,
        IDC_ALL_FILES = 1002,
        IDC_SELECTED_FILES = 1006,
        IDC_LOCATION = 1008,
        IDC_BROWSE = 1012,
        IDC_BY_TYPE = 1032,
        IDC_FILE_TYPE = 1034,
    };

    CExtractionDlg(const std::string& location, std::vector<std::string>* specs,
                   QWidget* parent = nullptr);

    // Read when the dialog is shown.
    int m_nSelectionType = SELECT_ALL;
    bool m_bSelectedDisabled = false;
    // Shown at start, the confirmed destination after OK.
    std::string m_strLocation;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    // Asks for a folder starting at folder: IDOK with folder set to the
    // choice, IDCANCEL when none was chosen. Tests replace it.
    virtual int BrowseForFolder(const std::string& title, std::string& folder);

private:
    void Initialise();
    void UpdateFileTypeButton();
    void OnBrowse();
    void OnFileType();

    std::vector<std::string>* const m_pSpecs;
    QButtonGroup* m_pSelection;
    QLineEdit* m_pLocation;
    QPushButton* m_pFileType;
};
