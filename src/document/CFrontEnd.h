#pragma once
#include "core/MessageBoxCodes.h"

#include <string>

class CWaitDialog;

// What the document needs of a user interface, so that the document and the
// wait dialog stay free of any toolkit. The GUI, the terminal front end and
// the scripted test front end implement it; the application owns the one
// instance and the document holds a reference for its lifetime.
//
// Threads: RunWaitWindow runs on the window thread. Everything else may be
// called by the worker thread while the window thread sits in RunWaitWindow,
// so an implementation must carry its window work over to its window thread:
// status, progress, close and the finished look as queued calls that never
// wait (status and progress coalesced, the newest value winning, so a big
// archive cannot flood the window thread), the boxes and questions as
// blocking calls that return the user's answer.
class CFrontEnd
{
public:
    virtual ~CFrontEnd() = default;

    // Window thread. Shows the wait window in its working look (caption
    // "Please Wait...", a status field, a hidden progress bar and an enabled
    // "&Cancel" button) and returns the code it was closed with. Once the
    // window exists the implementation calls dialog.OnWindowCreated() and
    // shows the status text it returns; a close requested from inside that
    // call, or any time after it, must end the run. Cancel, Esc and the close
    // box call dialog.OnCancel() on the window thread; when that returns true
    // the button is disabled.
    virtual int RunWaitWindow(CWaitDialog& dialog) = 0;

    // Worker thread (or the window thread from inside the dialog). Only
    // called while the wait window exists, and under the dialog's lock: they
    // must never wait for the window thread, which may be waiting for that
    // lock.
    virtual void SetWaitStatus(const std::string& text) = 0;
    // Shows the progress bar at percent (0 to 100).
    virtual void SetWaitProgress(int percent) = 0;
    // The line below the bar: how far the whole operation has come.
    virtual void SetWaitOverall(const std::string& text) = 0;
    // Hides the wait window and ends RunWaitWindow with the code.
    virtual void CloseWaitWindow(int code) = 0;
    // Switches to the finished look: the picture instead of the status field
    // and progress bar, the button enabled and reading "&Finished", caption
    // "Operation Complete". The user's button press then comes back through
    // dialog.OnCancel().
    virtual void ShowFinishedLook() = 0;

    // Any thread; blocks until the user has seen it. Captioned "Error" with
    // the stop icon, owned by the wait window while one is open.
    virtual void ShowError(const std::string& text) = 0;
    // Any thread; blocks until answered. style is an MB_YESNO, MB_YESNOCANCEL
    // or MB_OKCANCEL combination with an icon and MB_DEFBUTTON2; the answer
    // is IDYES, IDNO, IDOK or IDCANCEL. An empty caption stands for the
    // application's title.
    virtual int Ask(const std::string& text, const std::string& caption, unsigned style) = 0;
    // Any thread; blocks until answered. Returns one of the end codes of
    // CAppendOverwrite (AO_APPEND, AO_OVERWRITE, AO_CANCEL).
    virtual int AskAppendOverwrite() = 0;
    // Window thread; blocks until answered. Asks where to save the document,
    // offering the proposed name; false when the user cancels.
    virtual bool AskSavePath(const std::string& proposed, std::string& path) = 0;
    // Any thread; never waits. Asks the application to empty the document
    // once the current command has returned (after an eject or a failed
    // open).
    virtual void RequestNewDocument() = 0;
};
