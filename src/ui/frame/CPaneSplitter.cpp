#include "ui/frame/CPaneSplitter.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace
{
constexpr int kKeyStep = 8;
} // namespace

CPaneSplitter::CPaneSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent)
{
    setChildrenCollapsible(false);
}

void CPaneSplitter::SetTopHeight(int height)
{
    // The window's growth goes to the lower pane.
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    m_nPendingTop = std::max(height, 0);
}

int CPaneSplitter::TopHeight() const
{
    if (m_nPendingTop >= 0)
        return m_nPendingTop;
    return sizes().value(0);
}

void CPaneSplitter::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    if (m_nPendingTop < 0 || height() <= 0 || count() < 2)
        return;
    const int top = m_nPendingTop;
    m_nPendingTop = -1;
    setSizes({top, std::max(height() - top - handleWidth(), 0)});
}

void CPaneSplitter::StartKeyboardMove()
{
    m_pPreviousFocus = QApplication::focusWidget();
    m_nTopBeforeMove = TopHeight();
    setFocusPolicy(Qt::StrongFocus);
    setFocus(Qt::ShortcutFocusReason);
}

void CPaneSplitter::keyPressEvent(QKeyEvent* event)
{
    if (!IsMovingByKeyboard())
    {
        QSplitter::keyPressEvent(event);
        return;
    }
    switch (event->key())
    {
    case Qt::Key_Up:
        moveSplitter(TopHeight() - kKeyStep, 1);
        break;
    case Qt::Key_Down:
        moveSplitter(TopHeight() + kKeyStep, 1);
        break;
    case Qt::Key_Escape:
        moveSplitter(m_nTopBeforeMove, 1);
        EndKeyboardMove();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndKeyboardMove();
        break;
    default:
        break;
    }
}

void CPaneSplitter::focusOutEvent(QFocusEvent* event)
{
    // Clicking elsewhere keeps the divider where it is.
    m_nTopBeforeMove = -1;
    setFocusPolicy(Qt::NoFocus);
    QSplitter::focusOutEvent(event);
}

void CPaneSplitter::EndKeyboardMove()
{
    m_nTopBeforeMove = -1;
    setFocusPolicy(Qt::NoFocus);
    if (m_pPreviousFocus)
        m_pPreviousFocus->setFocus(Qt::OtherFocusReason);
}
