#include "document/CScriptedFrontEnd.h"

#include "document/CWaitDialog.h"

#include <gtest/gtest.h>

void CScriptedFrontEnd::QueueAnswer(int answer)
{
    QueueAnswer([answer] { return answer; });
}

void CScriptedFrontEnd::QueueAnswer(std::function<int()> answer)
{
    std::lock_guard lock(m_lock);
    m_answers.push_back(std::move(answer));
}

void CScriptedFrontEnd::QueueWindowTask(WindowTask task)
{
    std::lock_guard lock(m_lock);
    m_tasks.push_back(std::move(task));
    m_wake.notify_all();
}

void CScriptedFrontEnd::QueueCancelPress()
{
    QueueWindowTask([this](CWaitDialog& dialog) {
        const bool bDisable = dialog.OnCancel();
        std::lock_guard lock(m_lock);
        m_cancelPresses.push_back(bDisable);
        if (bDisable)
            m_bButtonEnabled = false;
    });
}

int CScriptedFrontEnd::RunWaitWindow(CWaitDialog& dialog)
{
    {
        std::lock_guard lock(m_lock);
        ++m_nRuns;
        m_bOpen = true;
        m_bClosed = false;
        m_bButtonEnabled = true;
    }
    // Outside our lock: the dialog calls back into us under its own.
    const std::string status = dialog.OnWindowCreated();
    std::unique_lock lock(m_lock);
    m_initialStatuses.push_back(status);
    for (;;)
    {
        m_wake.wait(lock, [this] { return m_bClosed || !m_tasks.empty(); });
        if (m_bClosed)
            break;
        WindowTask task = std::move(m_tasks.front());
        m_tasks.pop_front();
        lock.unlock();
        task(dialog);
        lock.lock();
    }
    m_bOpen = false;
    return m_nCloseCode;
}

void CScriptedFrontEnd::SetWaitStatus(const std::string& text)
{
    std::lock_guard lock(m_lock);
    m_statuses.push_back(text);
}

void CScriptedFrontEnd::SetWaitProgress(int percent)
{
    std::lock_guard lock(m_lock);
    m_progress.push_back(percent);
}

void CScriptedFrontEnd::CloseWaitWindow(int code)
{
    std::lock_guard lock(m_lock);
    m_closeCodes.push_back(code);
    // Like a posted message to a window already gone, a second close of the
    // same run changes nothing.
    if (m_bClosed)
        return;
    m_bClosed = true;
    m_nCloseCode = code;
    m_wake.notify_all();
}

void CScriptedFrontEnd::ShowFinishedLook()
{
    std::lock_guard lock(m_lock);
    ++m_nFinishedLooks;
    m_bButtonEnabled = true;
}

void CScriptedFrontEnd::ShowError(const std::string& text)
{
    std::lock_guard lock(m_lock);
    m_boxes.push_back({BOX_ERROR, text, "Error", MB_OK | MB_ICONSTOP, IDOK});
}

int CScriptedFrontEnd::Ask(const std::string& text, const std::string& caption, unsigned style)
{
    return NextAnswer({BOX_QUESTION, text, caption, style, 0});
}

int CScriptedFrontEnd::AskAppendOverwrite()
{
    return NextAnswer({BOX_APPEND_OVERWRITE, "", "", 0, 0});
}

void CScriptedFrontEnd::QueueSavePath(const std::string& path)
{
    std::lock_guard lock(m_lock);
    m_savePaths.push_back(path);
}

bool CScriptedFrontEnd::AskSavePath(const std::string& proposed, std::string& path)
{
    std::lock_guard lock(m_lock);
    m_boxes.push_back({BOX_SAVE_PATH, proposed, "", 0, 0});
    if (m_savePaths.empty())
    {
        ADD_FAILURE() << "unscripted save-path question, proposing " << proposed;
        return false;
    }
    path = m_savePaths.front();
    m_savePaths.pop_front();
    return !path.empty();
}

void CScriptedFrontEnd::RequestNewDocument()
{
    std::lock_guard lock(m_lock);
    ++m_nNewDocuments;
}

int CScriptedFrontEnd::NextAnswer(SBox box)
{
    std::function<int()> answer;
    {
        std::lock_guard lock(m_lock);
        if (!m_answers.empty())
        {
            answer = std::move(m_answers.front());
            m_answers.pop_front();
        }
    }
    if (answer)
    {
        // Outside the lock: the answer may call back into the dialog.
        box.nAnswer = answer();
    }
    else
    {
        ADD_FAILURE() << "unscripted question: " << box.strText;
        box.nAnswer = IDCANCEL;
    }
    std::lock_guard lock(m_lock);
    m_boxes.push_back(box);
    return box.nAnswer;
}

std::vector<std::string> CScriptedFrontEnd::InitialStatuses() const
{
    std::lock_guard lock(m_lock);
    return m_initialStatuses;
}

std::vector<std::string> CScriptedFrontEnd::Statuses() const
{
    std::lock_guard lock(m_lock);
    return m_statuses;
}

void CScriptedFrontEnd::SetWaitOverall(const std::string& text)
{
    std::lock_guard lock(m_lock);
    m_overall.push_back(text);
}

std::string CScriptedFrontEnd::LastOverall() const
{
    std::lock_guard lock(m_lock);
    return m_overall.empty() ? std::string() : m_overall.back();
}

std::vector<int> CScriptedFrontEnd::Progress() const
{
    std::lock_guard lock(m_lock);
    return m_progress;
}

std::vector<int> CScriptedFrontEnd::CloseCodes() const
{
    std::lock_guard lock(m_lock);
    return m_closeCodes;
}

std::vector<CScriptedFrontEnd::SBox> CScriptedFrontEnd::Boxes() const
{
    std::lock_guard lock(m_lock);
    return m_boxes;
}

std::vector<bool> CScriptedFrontEnd::CancelPresses() const
{
    std::lock_guard lock(m_lock);
    return m_cancelPresses;
}

int CScriptedFrontEnd::FinishedLooks() const
{
    std::lock_guard lock(m_lock);
    return m_nFinishedLooks;
}

int CScriptedFrontEnd::NewDocumentRequests() const
{
    std::lock_guard lock(m_lock);
    return m_nNewDocuments;
}

int CScriptedFrontEnd::Runs() const
{
    std::lock_guard lock(m_lock);
    return m_nRuns;
}

bool CScriptedFrontEnd::IsButtonEnabled() const
{
    std::lock_guard lock(m_lock);
    return m_bButtonEnabled;
}

bool CScriptedFrontEnd::IsWindowOpen() const
{
    std::lock_guard lock(m_lock);
    return m_bOpen;
}

size_t CScriptedFrontEnd::UnusedAnswers() const
{
    std::lock_guard lock(m_lock);
    return m_answers.size();
}
