#pragma once
#include <atomic>
#include <mutex>
#include <string>

class CFrontEnd;

// The logic of the modal wait window that the window thread holds for the
// whole length of a document operation: the worker's status, progress, close
// and finish requests, the Cancel confirmation, and the hand-over of requests
// that arrive before the window exists. The document owns one for its
// lifetime and runs it once per operation; the front end only draws.
//
// The lock orders the worker's requests against the window's creation, so
// that a close or finish is either seen by OnWindowCreated or finds the
// window open, and is never lost in between.
class CWaitDialog
{
public:
    static constexpr const char* WAIT_CAPTION = "Please Wait...";
    static constexpr const char* WAIT_CANCEL_BUTTON = "&Cancel";
    static constexpr const char* WAIT_FINISHED_BUTTON = "&Finished";
    static constexpr const char* WAIT_FINISHED_CAPTION = "Operation Complete";
    static constexpr const char* WAIT_CONFIRM_CANCEL = "Are you sure you want to cancel this operation?";
    static constexpr const char* WAIT_CANCELING = "Canceling operation...";

    // Close codes: the operation completed (or its error was already shown),
    // or it was cancelled (or the user declined to go on).
    static constexpr int WAIT_CLOSE_DONE = 1;
    static constexpr int WAIT_CLOSE_CANCELLED = 2;

    // bContinue is the owner's continue flag, cleared when the user confirms
    // Cancel and read by the worker at its cancellation points.
    CWaitDialog(CFrontEnd& frontEnd, std::atomic<bool>& bContinue);
    CWaitDialog(const CWaitDialog&) = delete;
    CWaitDialog& operator=(const CWaitDialog&) = delete;

    // Window thread, before the operation is posted. bShowFinishedDialog is
    // the setting "Show finished dialog on long operations" as it stands now.
    void ResetForOperation(bool bShowFinishedDialog);
    // Window thread: runs the wait window until it is closed; returns the
    // close code.
    int RunModal();

    // Front end, window thread: the window now exists. Applies a finish or
    // close that came before it and returns the status text to show.
    std::string OnWindowCreated();
    // Front end, window thread: Cancel, Esc or the close box. Returns true
    // when the button is to be disabled while the worker winds down.
    bool OnCancel();

    // Worker thread.
    void SetStatus(const std::string& text);
    void SetProgress(int percent);
    // The whole operation's progress, below the bar.
    void SetOverall(const std::string& text);
    void CloseWithCode(int code);
    void ShowFinished();

    // Whether the window exists, so message boxes can be owned by it.
    bool IsWindowOpen() const;
    // Whether the operation has finished; a front end restoring its
    // minimised window applies the finished look again when it has.
    bool IsFinished() const;

private:
    // Keeps the text in shown, and has the front end show it while the
    // window is open; a text that changes nothing costs no call.
    void ShowText(std::string& shown, const std::string& text,
                  void (CFrontEnd::*show)(const std::string&));
    void CloseLocked(int code);
    void SetWindowOpenLocked(bool open);
    void FinishLocked();

    CFrontEnd& m_frontEnd;
    std::atomic<bool>& m_bContinue;
    mutable std::mutex m_lock;
    std::string m_strStatus;
    std::string m_strOverall;
    int m_nProgress = -1;
    bool m_bWindowOpen = false;
    // m_nProgress while the window is open, else kProgressHidden; set under
    // the lock and read without it, so that the worker's stream of progress
    // that changes nothing costs no lock.
    static constexpr int kProgressHidden = -2;
    std::atomic<int> m_nShownProgress{kProgressHidden};
    bool m_bPendingClose = false;
    int m_nPendingCode = WAIT_CLOSE_DONE;
    bool m_bFinished = true;
    bool m_bShowFinishedDialog = false;
};
