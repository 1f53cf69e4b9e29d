#pragma once
#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

// The "File Types" dialog: edits the file-type patterns (wildcards such as *.txt)
// that extraction by type uses. Shown modally from the Extract dialog and
// from the settings; the list it edits is the caller's and changes only on
// OK, when it takes the dialog's items in their sorted order.
class CFileTypesDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 118,
        IDC_REMOVE = 1022,
        IDC_ADD = 1023,
        IDC_SPECS = 1033,
    };

    explicit CFileTypesDlg(std::vector<std::string>* specs, QWidget* parent = nullptr);

    void accept() override;

private:
    void AddTyped();
    void RemoveSelected();
    // Selects a row and shows it in the edit, as a combined edit-and-list
    // box does; a negative row selects nothing and empties the edit.
    void SelectRow(int row);
    void OnSelectionChanged();
    void UpdateButtons();
    bool IsListed(const QString& text) const;
    int SelectedRow() const;

    std::vector<std::string>* const m_pSpecs;
    QLineEdit* m_pEdit;
    QListWidget* m_pList;
    QPushButton* m_pAdd;
    QPushButton* m_pRemove;
};
