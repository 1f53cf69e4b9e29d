#include "ui/dialogs/CTapeDriveFeaturesDlg.h"

#include "devices/CTapeFeatures.h"
#include "ui/dialogs/DialogSupport.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <string>

namespace
{
QLineEdit* ReadOnlyEdit(const QString& text, int id)
{
    auto* edit = new QLineEdit(text);
    edit->setReadOnly(true);
    SetControlId(*edit, id);
    return edit;
}
} // namespace

CTapeDriveFeaturesDlg::CTapeDriveFeaturesDlg(const TAPE_GET_DRIVE_PARAMETERS& drive,
                                             const TAPE_GET_MEDIA_PARAMETERS& media,
                                             QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Tape Drive Features"));

    const CTapeFeatures features(drive, media);
    m_strFeaturesHigh = ToQString(features.GetFeaturesHigh());
    m_strFeaturesLow = ToQString(features.GetFeaturesLow());

    auto* list = new QListWidget;
    SetControlId(*list, IDC_NAMED_FEATURES);
    // Already in the order the view wants (alphabetical, ignoring case);
    // the widget's own sorting would put capitals first.
    for (const std::string& line : features.GetSortedLines())
        list->addItem(ToQString(line));

    QLineEdit* high = ReadOnlyEdit(m_strFeaturesHigh, IDC_FEATURES_HIGH);
    QLineEdit* low = ReadOnlyEdit(m_strFeaturesLow, IDC_FEATURES_LOW);
    auto* highLabel = new QLabel(tr("Features high"));
    highLabel->setBuddy(high);
    auto* lowLabel = new QLabel(tr("Features low"));
    lowLabel->setBuddy(low);
    auto* listLabel = new QLabel(tr("Named features"));
    listLabel->setBuddy(list);
    list->setAccessibleName(listLabel->text());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTapeDriveFeaturesDlg::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(highLabel, 0, 0);
    layout->addWidget(high, 0, 1);
    layout->addWidget(lowLabel, 1, 0);
    layout->addWidget(low, 1, 1);
    layout->addWidget(listLabel, 2, 0, 1, 2);
    layout->addWidget(list, 3, 0, 1, 2);
    layout->addWidget(buttons, 4, 0, 1, 2);
}
