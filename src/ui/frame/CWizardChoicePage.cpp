#include "ui/frame/CWizardChoicePage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{
constexpr int kPictureSize = 64;

QLabel* WrappedLabel(const char* text)
{
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setWordWrap(true);
    return label;
}
} // namespace

CWizardChoicePage::CWizardChoicePage(QStyle::StandardPixmap picture, const STexts& texts,
                                     QWidget* parent)
    : QWizardPage(parent), m_pFirst(new QRadioButton(QString::fromLatin1(texts.pszFirst))),
      m_pSecond(new QRadioButton(QString::fromLatin1(texts.pszSecond)))
{
    setTitle(QString::fromLatin1(TITLE));
    auto* pictureLabel = new QLabel;
    pictureLabel->setPixmap(style()->standardIcon(picture).pixmap(kPictureSize));
    pictureLabel->setAlignment(Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->addWidget(WrappedLabel(texts.pszAbout));
    column->addSpacing(kPictureSize / 4);
    column->addWidget(WrappedLabel(texts.pszQuestion));
    column->addWidget(m_pFirst);
    column->addWidget(m_pSecond);
    column->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pictureLabel);
    layout->addLayout(column, 1);
}

void CWizardChoicePage::Choose(bool first)
{
    (first ? m_pFirst : m_pSecond)->setChecked(true);
}
