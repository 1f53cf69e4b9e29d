#pragma once

// The numeric id of every command. Each QAction carries its id in its data,
// and the windows that serve commands are asked by id, so the same command
// reached from the menu, a toolbar or a popup is one command everywhere.
enum ECommandId : int
{
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_OPEN_TAPE = 32780,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_TAPE = 32779,
    ID_FILE_MRU_FILE1 = 57616, // the recent files follow on: 57617 ...
    ID_APP_EXIT = 57665,

    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,

    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_SPLIT = 57653,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,

    ID_EXTRACT_FILES = 32782,
    ID_LIST_ARCHIVE = 32781,
    ID_ERASE_ARCHIVE = 32783,
    ID_EJECT_TAPE = 32794,

    ID_MOVE_TOP = 32786,
    ID_MOVE_UP = 32772,
    ID_MOVE_DOWN = 32773,
    ID_MOVE_BOTTOM = 32787,
    ID_REMOVE = 32774,
    ID_REMOVE_ALL = 32775,
    ID_SELECT_FILES = 32776,

    ID_OPTIONS = 32771,
    ID_ARCHIVE_WIZARD = 32784,
    ID_CLEAR_LOG = 32777,
    ID_SAVE_LOG = 32778,
    ID_TAPE_FEATURES = 32785,

    ID_HELP_FINDER = 57667,
    ID_HELP_INDEX = 57670,
    ID_HELP_USING = 57668,
    ID_APP_ABOUT = 57664,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57671,
};

// The length of the recent-file list under the File menu.
inline constexpr int RECENT_FILE_COUNT = 4;
