#pragma once
#include "settings/SWindowPlacement.h"

#include <QRect>

#include <cstdint>

class QWidget;

// Turns a top-level window's position and state into the stored placement
// record and back. The record keeps the window's normal rectangle and
// whether it was maximised or minimised, as the Windows record does, so the
// stored bytes mean the same on every host.
class CFramePlacement
{
public:
    // Window show states and flags under their Windows values.
    static constexpr std::uint32_t SW_SHOWNORMAL = 1;
    static constexpr std::uint32_t SW_SHOWMINIMIZED = 2;
    static constexpr std::uint32_t SW_SHOWMAXIMIZED = 3;
    static constexpr std::uint32_t WPF_RESTORETOMAXIMIZED = 2;
    static constexpr std::uint32_t PLACEMENT_LENGTH = 44;

    static SWindowPlacement Read(const QWidget& window);
    // Places the window as the record says and shows it in the recorded
    // state; a record of length 0 only shows it.
    static void ShowPlaced(QWidget& window, const SWindowPlacement& placement);
    // The rectangle, or, when it lies off every screen (a monitor removed,
    // the resolution changed), the primary screen's free area less a margin.
    static QRect OnScreen(const QRect& normal);
};
