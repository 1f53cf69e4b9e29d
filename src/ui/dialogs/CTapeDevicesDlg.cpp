#include "ui/dialogs/CTapeDevicesDlg.h"

#include "devices/CTapeDesc.h"
#include "ui/dialogs/CDigitSpinBox.h"
#include "ui/dialogs/DialogSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

CTapeDevicesDlg::CTapeDevicesDlg(int blockingFactor, int unit, bool variableBlocking,
                                 bool compression, const CTapeDesc& drives, QWidget* parent)
    : QDialog(parent), m_nBlockingFactor(blockingFactor), m_nUnit(unit),
      m_bVariableBlocking(variableBlocking), m_bCompression(compression), m_drives(drives),
      m_pDevices(new QComboBox),
      m_pBlockingFactor(new CDigitSpinBox(MIN_BLOCKING_FACTOR, MAX_BLOCKING_FACTOR)),
      m_pVariableBlocking(new QCheckBox(tr("&Variable Blocking"))),
      m_pCompression(new QCheckBox(tr("&Use Compression"))), m_pOk(nullptr)
{
    setWindowTitle(tr("Tape Devices"));

    SetControlId(*m_pDevices, IDC_DEVICES);
    SetControlId(*m_pBlockingFactor, IDC_BLOCKING_FACTOR);
    SetControlId(*m_pVariableBlocking, IDC_VARIABLE_BLOCKING);
    SetControlId(*m_pCompression, IDC_COMPRESSION);
    m_pBlockingFactor->SetNumber(m_nBlockingFactor);
    m_pVariableBlocking->setChecked(m_bVariableBlocking);
    m_pCompression->setChecked(m_bCompression);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_pOk = buttons->button(QDialogButtonBox::Ok);
    m_pOk->setDefault(true);
    // Enabled once a drive is selected: without drives only Cancel closes.
    m_pOk->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTapeDevicesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTapeDevicesDlg::reject);

    // QFormLayout makes each label the buddy of its field.
    auto* layout = new QFormLayout(this);
    layout->setRowWrapPolicy(QFormLayout::WrapAllRows);
    layout->addRow(tr("Tape Device(s)"), m_pDevices);
    layout->addRow(tr("Blocking Factor"), m_pBlockingFactor);
    layout->addRow(m_pVariableBlocking);
    layout->addRow(m_pCompression);
    layout->addRow(buttons);

    connect(m_pDevices, &QComboBox::currentIndexChanged, this,
            [this](int index)
            {
                // Nothing disables OK again.
                if (index >= 0)
                    m_pOk->setEnabled(true);
            });
    connect(m_pVariableBlocking, &QCheckBox::clicked, this,
            &CTapeDevicesDlg::OnVariableBlockingClicked);

    for (int i = 0; i < m_drives.GetSize(); ++i)
        m_pDevices->addItem(ToQString(m_drives[i]), i);
    // A stored unit that no longer names a drive falls back to the first.
    m_pDevices->setCurrentIndex(m_nUnit >= 0 && m_nUnit < m_drives.GetSize() ? m_nUnit : 0);
    m_pBlockingFactor->setEnabled(!m_bVariableBlocking);
}

void CTapeDevicesDlg::accept()
{
    const int item = m_pDevices->currentIndex();
    if (item < 0 || !ReadControls())
        return;
    const int drive = m_pDevices->itemData(item).toInt();
    m_strDevice = m_drives.GetDeviceName(drive);
    m_nUnit = static_cast<int>(m_drives.GetUnit(drive));
    QDialog::accept();
}

void CTapeDevicesDlg::showEvent(QShowEvent* event)
{
    // A stored factor out of range is reported as the dialog opens, once it
    // is on the screen to own the message.
    if (!event->spontaneous())
    {
        QTimer::singleShot(0, this,
                           [this]
                           {
                               if (isVisible())
                                   ReadControls();
                           });
    }
    QDialog::showEvent(event);
}

bool CTapeDevicesDlg::ReadControls()
{
    if (!ReadBlockingFactor())
        return false;
    m_bCompression = m_pCompression->isChecked();
    m_bVariableBlocking = m_pVariableBlocking->isChecked();
    return true;
}

bool CTapeDevicesDlg::ReadBlockingFactor()
{
    int factor = 0;
    const QString problem =
        IntegerProblem(m_pBlockingFactor->text(), MIN_BLOCKING_FACTOR, MAX_BLOCKING_FACTOR, factor);
    if (!problem.isEmpty())
    {
        ShowFactorError(problem);
        return false;
    }
    m_nBlockingFactor = factor;
    return true;
}

void CTapeDevicesDlg::ShowFactorError(const QString& text)
{
    QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), text);
    m_pBlockingFactor->setFocus();
    m_pBlockingFactor->selectAll();
}

void CTapeDevicesDlg::OnVariableBlockingClicked()
{
    ReadControls();
    // The box as shown decides, even when a bad factor stopped the reading:
    // otherwise a factor that is off and disabled could never be mended.
    m_pBlockingFactor->setEnabled(!m_pVariableBlocking->isChecked());
}
