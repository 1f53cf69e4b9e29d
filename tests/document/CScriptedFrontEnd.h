#pragma once
#include "document/CFrontEnd.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A front end for tests. Questions are answered from a queued script, every
// call is recorded, and the "modal" wait runs on the calling thread until it
// is closed, doing the window-thread work queued for it meanwhile (a Cancel
// press, say). Like the real front ends it may be called from the worker
// thread while another thread sits in RunWaitWindow. Owned by the test.
class CScriptedFrontEnd : public CFrontEnd
{
public:
    enum EBoxKind
    {
        BOX_ERROR,
        BOX_QUESTION,
        BOX_APPEND_OVERWRITE,
        BOX_SAVE_PATH
    };
    struct SBox
    {
        EBoxKind nKind;
        std::string strText;
        std::string strCaption;
        unsigned nStyle;
        int nAnswer;
    };
    using WindowTask = std::function<void(CWaitDialog&)>;

    // The next question's answer (IDYES, IDNO, IDOK, IDCANCEL, or an end code
    // of CAppendOverwrite). An unscripted question fails the test.
    void QueueAnswer(int answer);
    // An answer given after doing something while the question is up, such
    // as the worker finishing; runs on the asking thread.
    void QueueAnswer(std::function<int()> answer);
    // The path the next save-path question answers with; an empty one
    // cancels. The question is recorded as a box with the proposed name as
    // its text.
    void QueueSavePath(const std::string& path);
    // Work for the window thread of the current or next wait run, done in
    // order while the window is open.
    void QueueWindowTask(WindowTask task);
    // The user presses the wait window's button; records whether it got
    // disabled.
    void QueueCancelPress();

    int RunWaitWindow(CWaitDialog& dialog) override;
    void SetWaitStatus(const std::string& text) override;
    void SetWaitProgress(int percent) override;
    void SetWaitOverall(const std::string& text) override;
    void CloseWaitWindow(int code) override;
    void ShowFinishedLook() override;
    void ShowError(const std::string& text) override;
    int Ask(const std::string& text, const std::string& caption, unsigned style) override;
    int AskAppendOverwrite() override;
    bool AskSavePath(const std::string& proposed, std::string& path) override;
    void RequestNewDocument() override;

    // What was asked of it, in order. Copies, safe while other threads call.
    std::vector<std::string> InitialStatuses() const; // the text each run opened with
    std::vector<std::string> Statuses() const;        // updates while open
    std::vector<int> Progress() const;
    // The last line of the whole operation's progress; empty when none came.
    std::string LastOverall() const;
    std::vector<int> CloseCodes() const;
    std::vector<SBox> Boxes() const;
    std::vector<bool> CancelPresses() const;          // true: the button was disabled
    int FinishedLooks() const;
    int NewDocumentRequests() const;
    int Runs() const;
    bool IsButtonEnabled() const;
    bool IsWindowOpen() const;
    size_t UnusedAnswers() const;

private:
    int NextAnswer(SBox box);

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::function<int()>> m_answers;
    std::deque<WindowTask> m_tasks;
    std::deque<std::string> m_savePaths;
    std::vector<std::string> m_initialStatuses;
    std::vector<std::string> m_statuses;
    std::vector<int> m_progress;
    std::vector<std::string> m_overall;
    std::vector<int> m_closeCodes;
    std::vector<SBox> m_boxes;
    std::vector<bool> m_cancelPresses;
    int m_nFinishedLooks = 0;
    int m_nNewDocuments = 0;
    int m_nRuns = 0;
    bool m_bOpen = false;
    bool m_bClosed = false;
    bool m_bButtonEnabled = false;
    int m_nCloseCode = 0;
};
