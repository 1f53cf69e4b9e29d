#pragma once
#include "document/CFrontEnd.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

// The document's front end on a terminal. The wait window is a status line
// with a progress bar on standard error, drawn only when standard error is a
// terminal; questions are asked on standard error and answered on standard
// input when that is a terminal, and answered yes (or OK) when it is not.
// Ctrl-C cancels the running operation at its next cancellation point; a
// second Ctrl-C ends the program at once. Owned by the terminal application
// for the length of one run.
class CTerminalFrontEnd : public CFrontEnd
{
public:
    CTerminalFrontEnd(std::FILE* in, std::FILE* err, bool inIsTerminal, bool errIsTerminal);

    // Makes Ctrl-C cancel instead of ending the program.
    static void InstallInterruptHandler();
    // Whether Ctrl-C was pressed.
    static bool WasInterrupted();

    // The answer the append-or-overwrite choice gets: the command said it.
    void SetAppendOverwriteAnswer(int code) { m_nAppendOverwrite = code; }
    // Writes a line to standard error without tearing the status line.
    void PrintLine(const std::string& text);

    // What happened, for the exit status.
    bool ShowedError() const;
    // An operation ended cancelled: the user chose not to go on, or Ctrl-C.
    bool WasCancelled() const;

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

    // The status line for a terminal width columns wide: the status on one
    // line, then, once progress is shown, a bar and the percentage.
    // The whole operation's progress, when there is any, comes first.
    static std::string FormatStatusLine(const std::string& status, int percent, int width,
                                        const std::string& overall = {});
    // The text with every control character written as \ooo, so that a
    // member's name can neither split a line nor steer the terminal.
    static std::string Printable(const std::string& text);

private:
    void DrawLocked();
    void ClearLocked();
    int AskOnTerminal(const std::string& text, unsigned style);
    bool ReadAnswerLine(std::string& line);
    static int TerminalWidth();

    std::FILE* m_in;
    std::FILE* m_err;
    const bool m_bInIsTerminal;
    const bool m_bErrIsTerminal;
    int m_nAppendOverwrite;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::string m_strStatus;
    std::string m_strOverall;
    int m_nProgress = -1;
    bool m_bRedraw = false;
    bool m_bLineShown = false;
    bool m_bWindowOpen = false;
    bool m_bClosed = false;
    bool m_bFinished = false;
    bool m_bAsking = false;
    int m_nCloseCode = 0;
    bool m_bShowedError = false;
    bool m_bCancelled = false;
};
