#pragma once
#include <QDialog>

#include <string>

class CDigitSpinBox;
class CTapeDesc;
class QCheckBox;
class QComboBox;
class QPushButton;
class QShowEvent;

// The "Tape Devices" dialog: the drive to open or save to, with the blocking
// factor, variable blocking and compression to use. The application makes
// one on the stack for each tape command, from its stored tape settings and
// its list of drives (which must outlive the dialog), and stores the fields
// back after OK.
class CTapeDevicesDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 117,
        IDC_DEVICES = 1015,
        IDC_BLOCKING_FACTOR = 1036,
        IDC_VARIABLE_BLOCKING = 1076,
        IDC_COMPRESSION = 1078,
    };
    enum : int
    {
        MIN_BLOCKING_FACTOR = 1,
        MAX_BLOCKING_FACTOR = 10240,
    };

    // unit is the index of the drive to preselect.
    CTapeDevicesDlg(int blockingFactor, int unit, bool variableBlocking, bool compression,
                    const CTapeDesc& drives, QWidget* parent = nullptr);

    // After OK: "\\.\tape%d" of the chosen drive and its unit number.
    std::string m_strDevice;
    int m_nBlockingFactor;
    int m_nUnit;
    bool m_bVariableBlocking;
    bool m_bCompression;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Reads the controls into the fields; on a bad blocking factor says so
    // once, keeps the remaining fields and answers false.
    bool ReadControls();
    bool ReadBlockingFactor();
    void ShowFactorError(const QString& text);
    void OnVariableBlockingClicked();

    const CTapeDesc& m_drives;
    QComboBox* m_pDevices;
    CDigitSpinBox* m_pBlockingFactor;
    QCheckBox* m_pVariableBlocking;
    QCheckBox* m_pCompression;
    QPushButton* m_pOk;
};
