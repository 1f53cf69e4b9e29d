#include "ui/shell/CDefaultAssocDlg.h"

#include "ui/shell/CShellPictures.h"
#include "ui/shell/CVersionInfo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDefaultAssocDlg::CDefaultAssocDlg(QWidget* parent) : QDialog(parent)
{
    const QString title = CVersionInfo::QueryString("ProductName");
    setWindowTitle(title);

    auto* picture = new QLabel(this);
    picture->setPixmap(CShellPictures::DefaultEditor());
    auto* text = new QLabel(title + tr(" is not the default editor for tar files.") +
                                QLatin1Char('\n') + tr("Would you like it to be the default?"),
                            this);
    auto* dontAsk = new QCheckBox(tr("&Don't ask me again"), this);
    connect(dontAsk, &QCheckBox::toggled, this, [this](bool checked) { m_bDontAsk = checked; });
    auto* yes = new QPushButton(tr("&Yes"), this);
    auto* no = new QPushButton(tr("&No"), this);
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    auto* question = new QVBoxLayout;
    question->addWidget(text);
    question->addWidget(dontAsk);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(question, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addLayout(buttons);
}
