#include "ui/frontend/CAppendOverwirteDlg.h"

#include "document/CAppendOverwrite.h"
#include "ui/frontend/CFrontEndPictures.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

CAppendOverwirteDlg::CAppendOverwirteDlg(QWidget* parent)
    : QDialog(parent), m_pAnimation(new QLabel(this)), m_pStill(new QLabel(this)),
      m_pMovie(new QMovie(CFrontEndPictures::TapeAnimationPath(), QByteArray(), this))
{
    setWindowTitle(QString::fromLatin1(CAppendOverwrite::AO_CAPTION));

    auto* question = new QLabel(QString::fromLatin1(CAppendOverwrite::AO_QUESTION), this);
    question->setWordWrap(true);
    auto* append =
        new QPushButton(QString::fromLatin1(CAppendOverwrite::AO_APPEND_BUTTON), this);
    auto* overwrite =
        new QPushButton(QString::fromLatin1(CAppendOverwrite::AO_OVERWRITE_BUTTON), this);
    append->setDefault(true);
    connect(append, &QPushButton::clicked, this, [this] { done(CAppendOverwrite::AO_APPEND); });
    connect(overwrite, &QPushButton::clicked, this,
            [this] { done(CAppendOverwrite::AO_OVERWRITE); });

    m_pAnimation->setMovie(m_pMovie);
    m_pStill->setPixmap(CFrontEndPictures::TapeStill());
    m_pStill->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(m_pAnimation);
    top->addWidget(m_pStill);
    top->addWidget(question, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(append);
    buttons->addWidget(overwrite);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addLayout(buttons);

    ShowPictureFor(screen()->depth());
}

void CAppendOverwirteDlg::ShowPictureFor(int colourDepth)
{
    const bool animate = colourDepth > MAX_STILL_DEPTH && m_pMovie->isValid();
    m_pAnimation->setVisible(animate);
    m_pStill->setVisible(!animate);
    if (animate)
        m_pMovie->start();
    else
        m_pMovie->stop();
}

bool CAppendOverwirteDlg::IsAnimating() const
{
    return m_pMovie->state() == QMovie::Running;
}

void CAppendOverwirteDlg::reject()
{
    done(CAppendOverwrite::AO_CANCEL);
}
