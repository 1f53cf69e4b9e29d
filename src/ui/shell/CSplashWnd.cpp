#include "ui/shell/CSplashWnd.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CSplashWnd::CSplashWnd(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_picture(picture), m_timer(this)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    move(screen()->availableGeometry().center() - rect().center());
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::close);
    show();
    // Start-up goes on without the event loop for a while: paint now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CSplashWnd::Close()
{
    m_timer.start(CLOSE_DELAY_MS);
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter(this).drawPixmap(0, 0, m_picture);
}

void CSplashWnd::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
    if (event->button() == Qt::LeftButton && (event->modifiers() & both) == both)
        m_timer.start(LINGER_MS);
}
