#pragma once
#include <cstdint>

// What a CFileListCtrl tells the page that owns it; unused values are 0.
struct SListEvent
{
    std::int32_t nKind, nRow, nX, nY, nKey;
};

enum : std::int32_t
{
    LIST_EVENT_ROW_CHANGED = 0, // nRow: the new current row (0 after a drop of files)
    LIST_EVENT_RBUTTON_DOWN = 1, // nX, nY: in the control's coordinates, heading included
    LIST_EVENT_RBUTTON_UP = 2,
    LIST_EVENT_KEY = 3, // nKey: the Windows virtual-key code
    LIST_EVENT_OPEN = 4, // nRow: double-clicked, or current when Enter was pressed
};

constexpr std::int32_t VK_DELETE_KEY = 46; // nKey of the Delete key (Windows virtual-key code)
