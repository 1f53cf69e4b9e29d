#include "ui/app/CSessionEnd.h"

#include "ui/frontend/CQtFrontEnd.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace
{
// Between steps a dismissed window's own loop returns and the next one up
// comes to the top.
constexpr int kStepMs = 50;
} // namespace

CSessionEnd::CSessionEnd(CQtFrontEnd& frontEnd, std::function<bool()> isStarted,
                         std::function<void()> close, QObject* parent)
    : QObject(parent), m_frontEnd(frontEnd), m_isStarted(std::move(isStarted)),
      m_close(std::move(close))
{
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, &CSessionEnd::Step);
}

void CSessionEnd::Start()
{
    m_frontEnd.EndSession();
    if (!m_timer.isActive())
        m_timer.start();
    Step();
}

// A window that stays (the wait window while the worker stops) is dismissed
// again on the next step, which does no harm.
void CSessionEnd::Step()
{
    if (QWidget* top = TopWindow())
    {
        Dismiss(*top);
        return;
    }
    if (!m_isStarted())
        return;
    m_timer.stop();
    m_close();
}

QWidget* CSessionEnd::TopWindow()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

// reject is what Escape does: a box gives its Escape answer, the wait window
// cancels its operation.
void CSessionEnd::Dismiss(QWidget& window)
{
    if (auto* dialog = qobject_cast<QDialog*>(&window))
        dialog->reject();
    else
        window.close();
}
