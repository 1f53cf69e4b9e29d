#pragma once
#include <QDialog>

class CWaitDialog;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The wait window the window thread holds while the worker runs an
// operation: a status line, a progress bar, and a Cancel button that ends in
// a finished look (a picture and "&Finished"). It only draws: the decisions
// (what Cancel does, when to close) are CWaitDialog's, and the front end
// feeds it the worker's requests on the window thread. CQtFrontEnd makes one
// per operation, owned by the main window.
class CTarWaitDlg : public QDialog
{
    Q_OBJECT

public:
    CTarWaitDlg(CWaitDialog& logic, QWidget* owner);

    void SetStatus(const QString& text);
    // Shows the progress bar at percent (0 to 100).
    void SetProgress(int percent);
    // The line below the bar: how far the whole operation has come.
    void SetOverall(const QString& text);
    // The picture instead of the status and the bar, the button reading
    // "&Finished" centred under it, the caption "Operation Complete".
    void ShowFinishedLook();

    // Cancel, Esc and the close box: CWaitDialog decides; the dialog itself
    // only ends when the front end closes it.
    void reject() override;

protected:
    // Minimising takes the main window along, and restoring brings it back.
    void changeEvent(QEvent* event) override;

private:
    void SetUpStatusLine();
    static void KeepRoomWhenHidden(QWidget* widget, bool keep);
    void CentreOverOwner();

    CWaitDialog& m_logic;
    QPlainTextEdit* m_pStatus;
    QProgressBar* m_pProgress;
    QLabel* m_pOverall;
    QLabel* m_pPicture;
    QPushButton* m_pButton;
    bool m_bFinishedLook = false;
};
