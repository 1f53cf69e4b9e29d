#pragma once
#include <cstdint>

// What a CLogCtrl tells the page that owns it: a right-button press or
// release at nX, nY in the control's coordinates, heading included.
struct SLogCtrlEvent
{
    std::int32_t nKind, nX, nY;
};

enum : std::int32_t
{
    LOG_CTRL_EVENT_RBUTTON_DOWN = 0,
    LOG_CTRL_EVENT_RBUTTON_UP = 1,
};
