#include "ui/shell/CAboutDlg.h"

#include "ui/shell/CShellPictures.h"
#include "ui/shell/CVersionInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_pVersion(new QLabel(this))
{
    setWindowTitle(tr("About Vorkant"));

    auto* picture = new QLabel(this);
    picture->setPixmap(CShellPictures::About());
    picture->setAlignment(Qt::AlignCenter);
    m_pVersion->setText(CVersionInfo::QueryString("ProductName") + QLatin1Char(' ') +
                        CVersionInfo::QueryString("FileVersion"));
    m_pVersion->setAlignment(Qt::AlignCenter);
    m_pVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pVersion->setMinimumWidth(240);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(12);
    layout->addWidget(picture);
    layout->addWidget(m_pVersion);
    layout->addWidget(buttons);
}

QString CAboutDlg::GetVersionLine() const
{
    return m_pVersion->text();
}
