#include "ui/frontend/CTarWaitDlg.h"

#include "document/CWaitDialog.h"
#include "ui/frontend/CFrontEndPictures.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

namespace
{
constexpr int kStatusWidth = 360;
constexpr int kStatusLines = 3;
} // namespace

CTarWaitDlg::CTarWaitDlg(CWaitDialog& logic, QWidget* owner)
    : QDialog(owner), m_logic(logic), m_pStatus(new QPlainTextEdit(this)),
      m_pProgress(new QProgressBar(this)), m_pOverall(new QLabel(this)),
      m_pPicture(new QLabel(this)),
      m_pButton(new QPushButton(QString::fromLatin1(CWaitDialog::WAIT_CANCEL_BUTTON), this))
{
    setWindowTitle(QString::fromLatin1(CWaitDialog::WAIT_CAPTION));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    SetUpStatusLine();

    m_pProgress->setRange(0, 100);
    m_pProgress->setAccessibleName(QStringLiteral("Progress"));
    // The window keeps its size when the bar first shows.
    KeepRoomWhenHidden(m_pProgress, true);
    m_pProgress->hide();
    // Room for the line from the start, so the window never grows with it;
    // screen readers read what it says.
    m_pOverall->setFixedWidth(kStatusWidth);
    m_pOverall->setMinimumHeight(m_pOverall->fontMetrics().lineSpacing());

    m_pPicture->setPixmap(CFrontEndPictures::Finished());
    m_pPicture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pPicture->setAccessibleName(QString::fromLatin1(CWaitDialog::WAIT_FINISHED_CAPTION));
    m_pPicture->hide();

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_pButton);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_pStatus);
    layout->addWidget(m_pProgress);
    layout->addWidget(m_pOverall);
    layout->addWidget(m_pPicture, 0, Qt::AlignHCenter);
    layout->addLayout(buttonRow);

    connect(m_pButton, &QPushButton::clicked, this, &CTarWaitDlg::reject);
}

// A status line rather than an editor: no frame, no caret, no scroll bar,
// the dialog's own background.
void CTarWaitDlg::SetUpStatusLine()
{
    m_pStatus->setReadOnly(true);
    m_pStatus->setFrameShape(QFrame::NoFrame);
    m_pStatus->setFocusPolicy(Qt::NoFocus);
    m_pStatus->setTextInteractionFlags(Qt::NoTextInteraction);
    m_pStatus->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pStatus->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A member's long path breaks anywhere rather than running out of sight.
    m_pStatus->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPalette plain = m_pStatus->palette();
    plain.setColor(QPalette::Base, plain.color(QPalette::Window));
    m_pStatus->setPalette(plain);
    const int margins = 2 * static_cast<int>(m_pStatus->document()->documentMargin());
    m_pStatus->setFixedSize(kStatusWidth,
                            m_pStatus->fontMetrics().lineSpacing() * kStatusLines + margins);
}

void CTarWaitDlg::KeepRoomWhenHidden(QWidget* widget, bool keep)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(keep);
    widget->setSizePolicy(policy);
}

void CTarWaitDlg::SetStatus(const QString& text)
{
    m_pStatus->setPlainText(text);
    // Read out under what it shows.
    m_pStatus->setAccessibleName(text);
}

void CTarWaitDlg::SetProgress(int percent)
{
    m_pProgress->setValue(percent);
    m_pProgress->show();
}

void CTarWaitDlg::SetOverall(const QString& text)
{
    m_pOverall->setText(text);
}

void CTarWaitDlg::ShowFinishedLook()
{
    m_bFinishedLook = true;
    m_pStatus->hide();
    m_pProgress->hide();
    m_pOverall->hide();
    KeepRoomWhenHidden(m_pProgress, false);
    m_pPicture->show();
    m_pButton->setText(QString::fromLatin1(CWaitDialog::WAIT_FINISHED_BUTTON));
    m_pButton->setEnabled(true);
    m_pButton->setDefault(true);
    m_pButton->setFocus();
    setWindowTitle(QString::fromLatin1(CWaitDialog::WAIT_FINISHED_CAPTION));
    layout()->activate();
    CentreOverOwner();
}

void CTarWaitDlg::reject()
{
    if (m_logic.OnCancel())
        m_pButton->setEnabled(false);
}

void CTarWaitDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const bool wasMinimised =
        static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    const bool isMinimised = windowState() & Qt::WindowMinimized;
    QWidget* owner = parentWidget();
    if (isMinimised && !wasMinimised)
    {
        if (owner)
            owner->setWindowState(owner->windowState() | Qt::WindowMinimized);
    }
    else if (wasMinimised && !isMinimised)
    {
        if (owner)
            owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
        if (m_bFinishedLook)
            ShowFinishedLook();
    }
}

void CTarWaitDlg::CentreOverOwner()
{
    const QWidget* owner = parentWidget();
    const QRect area = owner ? owner->frameGeometry() : screen()->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}
