#include "document/CWaitDialog.h"

#include "document/CFrontEnd.h"

#include <algorithm>

CWaitDialog::CWaitDialog(CFrontEnd& frontEnd, std::atomic<bool>& bContinue)
    : m_frontEnd(frontEnd), m_bContinue(bContinue)
{
}

void CWaitDialog::ResetForOperation(bool bShowFinishedDialog)
{
    std::lock_guard lock(m_lock);
    m_bPendingClose = false;
    m_nPendingCode = WAIT_CLOSE_DONE;
    m_bFinished = false;
    m_bShowFinishedDialog = bShowFinishedDialog;
    m_strStatus.clear();
    m_strOverall.clear();
    m_nProgress = -1;
    SetWindowOpenLocked(m_bWindowOpen);
}

int CWaitDialog::RunModal()
{
    const int code = m_frontEnd.RunWaitWindow(*this);
    std::lock_guard lock(m_lock);
    SetWindowOpenLocked(false);
    return code;
}

std::string CWaitDialog::OnWindowCreated()
{
    std::lock_guard lock(m_lock);
    SetWindowOpenLocked(true);
    if (!m_strOverall.empty())
        m_frontEnd.SetWaitOverall(m_strOverall);
    if (m_bFinished)
        FinishLocked();
    // The worker may have ended before the window came up; its close must
    // still end the run, and with the code it asked for.
    if (m_bPendingClose)
    {
        m_bPendingClose = false;
        m_frontEnd.CloseWaitWindow(m_nPendingCode);
    }
    return m_strStatus;
}

bool CWaitDialog::OnCancel()
{
    {
        std::lock_guard lock(m_lock);
        if (m_bFinished)
        {
            m_frontEnd.CloseWaitWindow(WAIT_CLOSE_DONE);
            return false;
        }
    }
    // Not under the lock: the worker must be able to report, finish or close
    // while the user thinks about the answer.
    const int answer = m_frontEnd.Ask(WAIT_CONFIRM_CANCEL, "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer != IDYES)
        return false;
    m_bContinue = false;
    // Finished while the question was up: the outcome stands, and the
    // finished look keeps its enabled button.
    if (IsFinished())
        return false;
    SetStatus(WAIT_CANCELING);
    return true;
}

void CWaitDialog::SetStatus(const std::string& text)
{
    ShowText(m_strStatus, text, &CFrontEnd::SetWaitStatus);
}

void CWaitDialog::SetOverall(const std::string& text)
{
    ShowText(m_strOverall, text, &CFrontEnd::SetWaitOverall);
}

void CWaitDialog::ShowText(std::string& shown, const std::string& text,
                           void (CFrontEnd::*show)(const std::string&))
{
    std::lock_guard lock(m_lock);
    if (text == shown)
        return;
    shown = text;
    if (m_bWindowOpen)
        (m_frontEnd.*show)(text);
}

void CWaitDialog::SetProgress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_nShownProgress.load(std::memory_order_relaxed))
        return;
    std::lock_guard lock(m_lock);
    if (!m_bWindowOpen || percent == m_nProgress)
        return;
    m_nProgress = percent;
    m_nShownProgress = percent;
    m_frontEnd.SetWaitProgress(percent);
}

void CWaitDialog::CloseWithCode(int code)
{
    std::lock_guard lock(m_lock);
    CloseLocked(code);
}

void CWaitDialog::ShowFinished()
{
    std::lock_guard lock(m_lock);
    m_bFinished = true;
    if (m_bWindowOpen)
        FinishLocked();
}

bool CWaitDialog::IsWindowOpen() const
{
    std::lock_guard lock(m_lock);
    return m_bWindowOpen;
}

bool CWaitDialog::IsFinished() const
{
    std::lock_guard lock(m_lock);
    return m_bFinished;
}

void CWaitDialog::SetWindowOpenLocked(bool open)
{
    m_bWindowOpen = open;
    m_nShownProgress = open ? m_nProgress : kProgressHidden;
}

void CWaitDialog::CloseLocked(int code)
{
    if (m_bWindowOpen)
    {
        m_frontEnd.CloseWaitWindow(code);
        return;
    }
    // The first close ends the run, as it would with the window open.
    if (m_bPendingClose)
        return;
    m_bPendingClose = true;
    m_nPendingCode = code;
}

void CWaitDialog::FinishLocked()
{
    if (m_bShowFinishedDialog)
        m_frontEnd.ShowFinishedLook();
    else
        CloseLocked(WAIT_CLOSE_DONE);
}
