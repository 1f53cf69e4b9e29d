#include "ui/frame/CFramePlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace
{
constexpr int kScreenMargin = 20;
// What Windows reports for a minimised or maximised position never set.
constexpr std::int32_t kUnsetPosition = -1;
} // namespace

SWindowPlacement CFramePlacement::Read(const QWidget& window)
{
    const QRect normal =
        window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    SWindowPlacement placement;
    placement.length = PLACEMENT_LENGTH;
    placement.flags = window.isMinimized() && window.isMaximized() ? WPF_RESTORETOMAXIMIZED : 0U;
    placement.showCmd = window.isMinimized()   ? SW_SHOWMINIMIZED
                        : window.isMaximized() ? SW_SHOWMAXIMIZED
                                               : SW_SHOWNORMAL;
    placement.minX = placement.minY = placement.maxX = placement.maxY = kUnsetPosition;
    // Right and bottom lie just outside the rectangle, as in a Windows RECT.
    placement.normalLeft = normal.left();
    placement.normalTop = normal.top();
    placement.normalRight = normal.left() + normal.width();
    placement.normalBottom = normal.top() + normal.height();
    return placement;
}

void CFramePlacement::ShowPlaced(QWidget& window, const SWindowPlacement& placement)
{
    if (placement.length == 0)
    {
        window.show();
        return;
    }
    const QRect normal(QPoint(placement.normalLeft, placement.normalTop),
                       QSize(placement.normalRight - placement.normalLeft,
                             placement.normalBottom - placement.normalTop));
    if (normal.isValid())
        window.setGeometry(OnScreen(normal));
    Qt::WindowStates state = Qt::WindowNoState;
    if (placement.showCmd == SW_SHOWMAXIMIZED)
        state = Qt::WindowMaximized;
    else if (placement.showCmd == SW_SHOWMINIMIZED)
        state = (placement.flags & WPF_RESTORETOMAXIMIZED) != 0
                    ? Qt::WindowMinimized | Qt::WindowMaximized
                    : Qt::WindowMinimized;
    window.setWindowState(state);
    window.show();
}

QRect CFramePlacement::OnScreen(const QRect& normal)
{
    for (const QScreen* screen : QGuiApplication::screens())
    {
        if (screen->geometry().intersects(normal))
            return normal;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr)
        return normal;
    return primary->availableGeometry().adjusted(kScreenMargin, kScreenMargin, -kScreenMargin,
                                                 -kScreenMargin);
}
