#include "ui/frame/CCommandTable.h"

#include "ui/frame/CommandIds.h"

const QList<CCommandTable::SCommand>& CCommandTable::All()
{
    using K = QKeySequence;
    static const QList<SCommand> commands = {
        {ID_FILE_NEW, "&New", {K("Ctrl+N")}, "Create a new archive", "New"},
        {ID_FILE_OPEN, "&Open...", {K("Ctrl+O")}, "Open an existing archive", "Open"},
        {ID_FILE_OPEN_TAPE, "O&pen Tape...", {}, "Open an existing archive on tape", "Open Tape"},
        {ID_FILE_SAVE, "&Save", {K("Ctrl+S")}, "Save the active archive ", "Save"},
        {ID_FILE_SAVE_TAPE, "S&ave Tape", {}, "Save the active archive on tape", "Save Tape"},
        {ID_APP_EXIT, "E&xit", {}, "Quit the application; prompts to save archives", "Exit"},
        {ID_EDIT_CUT,
         "Cu&t",
         {K("Ctrl+X"), K("Shift+Del")},
         "Cut the selection and put it on the Clipboard",
         "Cut"},
        {ID_EDIT_COPY,
         "&Copy",
         {K("Ctrl+C"), K("Ctrl+Ins")},
         "Copy the selection and put it on the Clipboard",
         "Copy"},
        {ID_EDIT_PASTE,
         "&Paste",
         {K("Ctrl+V"), K("Shift+Ins")},
         "Insert Clipboard contents",
         "Paste"},
        {ID_VIEW_TOOLBAR, "&Toolbar", {}, "Show or hide the toolbar", "Toggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "&Status Bar", {}, "Show or hide the status bar", "Toggle StatusBar"},
        {ID_WINDOW_SPLIT, "S&plit", {}, "Split the active window into panes", "Split"},
        {ID_EXTRACT_FILES, "Extract &Files", {}, "Extract files from an archive", "Extract Files"},
        {ID_LIST_ARCHIVE, "&List Archive", {}, "List the files in an archive", "List Files"},
        {ID_ERASE_ARCHIVE, "&Erase Archive", {}, "Erases all files in an archive", "Erase Archive"},
        {ID_EJECT_TAPE, "Eject &Tape", {}, "Ejects the tape from the tape drive", "Eject"},
        {ID_MOVE_TOP,
         "Move &Top",
         {},
         "Moves a file to the top of an append operation",
         " Move Top"},
        {ID_MOVE_UP, "Move &Up", {}, "Moves a file up in the append operation", " Move Up"},
        {ID_MOVE_DOWN, "Move &Down", {}, "Moves a file down in the append operation", " Move Down"},
        {ID_MOVE_BOTTOM,
         "Move &Bottom",
         {},
         "Moves a file to the bottom of an operation",
         " Move Bottom"},
        {ID_REMOVE, "&Remove", {}, "Removes a file from the append operation", " Remove"},
        {ID_REMOVE_ALL,
         "Remove &All",
         {},
         "Removes all files from the append operation ",
         " Remove All"},
        {ID_SELECT_FILES,
         "&Select Files",
         {},
         "Starts the Explorer to select files to append",
         " Select Files"},
        {ID_OPTIONS, "&Options", {}, "Change Options", "Options"},
        {ID_ARCHIVE_WIZARD, "&Archive Wizard", {}, "Starts the archive wizard", "Wizard"},
        {ID_CLEAR_LOG,
         "&Clear Application Log",
         {},
         "Clears all messages from the application log",
         "Clear"},
        {ID_SAVE_LOG,
         "&Save Application Log",
         {},
         "Saves the application log to a text file",
         "Save"},
        {ID_TAPE_FEATURES,
         "&Tape Drive Features",
         {},
         "View tape drive features",
         "Tape Drive Features"},
        {ID_HELP_FINDER, "&Help Topics", {}, "Display help topics", "Help Topics"},
        {ID_HELP_INDEX, "Help &Contents", {}, "Display help contents page", "Help Contents"},
        {ID_HELP_USING, "&Using Help", {}, "Display instructions about how to use help", "Help"},
        {ID_APP_ABOUT,
         "&About Vorkant...",
         {},
         "Display program information, version number and copyright",
         "About"},
        // Reached by shortcut only.
        {ID_EDIT_UNDO, "&Undo", {K("Alt+Backspace")}, "Undo the last change", "Undo"},
        {ID_NEXT_PANE, "Ne&xt Pane", {K("F6")}, "Move to the next pane", "Next Pane"},
        {ID_PREV_PANE,
         "Pre&vious Pane",
         {K("Shift+F6")},
         "Move to the previous pane",
         "Previous Pane"},
        {ID_HELP, "&Help", {K("F1")}, "Display help for the current task", "Help"},
        {ID_CONTEXT_HELP,
         "&What's This?",
         {K("Shift+F1")},
         "Display help for the item clicked next",
         "Help"},
    };
    return commands;
}

const CCommandTable::SCommand* CCommandTable::Find(int id)
{
    for (const SCommand& command : All())
    {
        if (command.nId == id)
            return &command;
    }
    return nullptr;
}
