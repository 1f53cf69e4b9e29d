#include "cli/CTerminalFrontEnd.h"

#include "document/CAppendOverwrite.h"
#include "document/CWaitDialog.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace
{
constexpr int kBarWidth = 20;
// The least of a name worth showing beside the whole operation's progress.
constexpr int kLeastName = 12;
constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr int kInterruptedStatus = 130;

std::atomic<int> g_interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "the interrupt count is set by a signal handler");

extern "C" void OnInterrupt(int)
{
    // The first press asks the operation to stop at its next cancellation
    // point; a second one is for an operation that does not get there.
    if (g_interrupts.fetch_add(1) >= 1)
        std::_Exit(kInterruptedStatus);
#ifdef _WIN32
    std::signal(SIGINT, OnInterrupt);
#endif
}

// A question's lines, each made printable.
std::string PrintableLines(const std::string& text)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out += CTerminalFrontEnd::Printable(text.substr(start, end - start)) + "\n";
    return out + CTerminalFrontEnd::Printable(text.substr(start));
}

int AffirmativeAnswer(unsigned style)
{
    return (style & 0x0F) == MB_OKCANCEL ? IDOK : IDYES;
}

int NegativeAnswer(unsigned style)
{
    return (style & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
}

// The status's lines joined on one, its end kept when it is too long: that
// is where a member's file name is.
std::string FitStatus(const std::string& status, std::size_t width)
{
    std::string line;
    for (std::size_t i = 0; i < status.size(); ++i)
    {
        if (status[i] == '\r')
            continue;
        line += status[i] == '\n' ? "  " : std::string(1, status[i]);
    }
    line = CTerminalFrontEnd::Printable(line);
    if (line.size() <= width)
        return line;
    if (width < 4)
        return std::string(width, '.');
    std::size_t start = line.size() - (width - 3);
    // Never start inside a UTF-8 sequence.
    while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80)
        ++start;
    return "..." + line.substr(start);
}
} // namespace

CTerminalFrontEnd::CTerminalFrontEnd(std::FILE* in, std::FILE* err, bool inIsTerminal,
                                     bool errIsTerminal)
    : m_in(in), m_err(err), m_bInIsTerminal(inIsTerminal), m_bErrIsTerminal(errIsTerminal),
      m_nAppendOverwrite(CAppendOverwrite::AO_CANCEL)
{
}

void CTerminalFrontEnd::InstallInterruptHandler()
{
    std::signal(SIGINT, OnInterrupt);
}

bool CTerminalFrontEnd::WasInterrupted()
{
    return g_interrupts.load() > 0;
}

bool CTerminalFrontEnd::ShowedError() const
{
    std::lock_guard lock(m_lock);
    return m_bShowedError;
}

bool CTerminalFrontEnd::WasCancelled() const
{
    std::lock_guard lock(m_lock);
    return m_bCancelled;
}

int CTerminalFrontEnd::RunWaitWindow(CWaitDialog& dialog)
{
    {
        std::lock_guard lock(m_lock);
        m_bWindowOpen = true;
        m_bClosed = false;
        m_bFinished = false;
        m_nProgress = -1;
        m_strOverall.clear();
    }
    // Not under the lock: a close that came before the window arrives from
    // inside this call.
    const std::string status = dialog.OnWindowCreated();
    bool cancelAsked = false;
    std::unique_lock lock(m_lock);
    m_strStatus = status;
    m_bRedraw = true;
    while (!m_bClosed)
    {
        DrawLocked();
        // Both go through the dialog as its button would, without the lock,
        // which the dialog's answer needs.
        if (m_bFinished || (WasInterrupted() && !cancelAsked))
        {
            cancelAsked = cancelAsked || !m_bFinished;
            m_bFinished = false;
            lock.unlock();
            dialog.OnCancel();
            lock.lock();
            continue;
        }
        m_wake.wait_for(lock, kPollInterval);
    }
    ClearLocked();
    m_bWindowOpen = false;
    m_bCancelled = m_bCancelled || m_nCloseCode == CWaitDialog::WAIT_CLOSE_CANCELLED;
    return m_nCloseCode;
}

void CTerminalFrontEnd::SetWaitStatus(const std::string& text)
{
    std::lock_guard lock(m_lock);
    m_strStatus = text;
    m_bRedraw = true;
}

void CTerminalFrontEnd::SetWaitOverall(const std::string& text)
{
    std::lock_guard lock(m_lock);
    m_strOverall = text;
    m_bRedraw = true;
}

void CTerminalFrontEnd::SetWaitProgress(int percent)
{
    std::lock_guard lock(m_lock);
    m_nProgress = std::clamp(percent, 0, 100);
    m_bRedraw = true;
}

void CTerminalFrontEnd::CloseWaitWindow(int code)
{
    std::lock_guard lock(m_lock);
    m_bClosed = true;
    m_nCloseCode = code;
    m_wake.notify_all();
}

// There is nobody to press "Finished": the finished look ends the wait as
// that press would.
void CTerminalFrontEnd::ShowFinishedLook()
{
    std::lock_guard lock(m_lock);
    m_bFinished = true;
    m_wake.notify_all();
}

void CTerminalFrontEnd::ShowError(const std::string& text)
{
    std::string message = text;
    while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back())))
        message.pop_back();
    PrintLine(message);
    std::lock_guard lock(m_lock);
    m_bShowedError = true;
}

void CTerminalFrontEnd::PrintLine(const std::string& text)
{
    std::lock_guard lock(m_lock);
    ClearLocked();
    std::fprintf(m_err, "vorkant-cli: %s\n", Printable(text).c_str());
    std::fflush(m_err);
    m_bRedraw = true;
}

int CTerminalFrontEnd::Ask(const std::string& text, const std::string&, unsigned style)
{
    // After Ctrl-C the cancel confirmation is already given, and any other
    // question is answered the way that stops.
    if (WasInterrupted())
        return text == CWaitDialog::WAIT_CONFIRM_CANCEL ? IDYES : NegativeAnswer(style);
    if (!m_bInIsTerminal)
        return AffirmativeAnswer(style);
    return AskOnTerminal(text, style);
}

int CTerminalFrontEnd::AskOnTerminal(const std::string& text, unsigned style)
{
    const unsigned buttons = style & 0x0F;
    const bool noByDefault = (style & MB_DEFBUTTON2) != 0;
    const char* choices = buttons == MB_YESNOCANCEL ? (noByDefault ? "[y/N/c]" : "[Y/n/c]")
                          : noByDefault             ? "[y/N]"
                                                    : "[Y/n]";
    {
        std::lock_guard lock(m_lock);
        m_bAsking = true;
        ClearLocked();
        std::fprintf(m_err, "%s %s ", PrintableLines(text).c_str(), choices);
        std::fflush(m_err);
    }
    std::string line;
    const bool answered = ReadAnswerLine(line);
    {
        std::lock_guard lock(m_lock);
        m_bAsking = false;
        m_bRedraw = true;
    }
    const char first = line.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    if (!answered || first == 'c')
        return NegativeAnswer(style);
    if (first == 'y' || (first == '\0' && !noByDefault))
        return AffirmativeAnswer(style);
    return buttons == MB_OKCANCEL ? IDCANCEL : IDNO;
}

// False at the end of input or after Ctrl-C, which the wait for a key must
// notice whichever thread the signal reached.
bool CTerminalFrontEnd::ReadAnswerLine(std::string& line)
{
#ifdef _WIN32
    char buffer[256];
    if (!std::fgets(buffer, sizeof buffer, m_in) || WasInterrupted())
        return false;
    line = buffer;
    // Without its end, or a bare Enter would not take the default answer.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return true;
#else
    const int fd = fileno(m_in);
    for (;;)
    {
        if (WasInterrupted())
            return false;
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(kPollInterval.count()));
        if (ready <= 0)
            continue;
        char c = 0;
        if (::read(fd, &c, 1) != 1)
            return false;
        if (c == '\n')
            return true;
        line += c;
    }
#endif
}

int CTerminalFrontEnd::AskAppendOverwrite()
{
    return m_nAppendOverwrite;
}

// The command line names every archive: no run asks where to save.
bool CTerminalFrontEnd::AskSavePath(const std::string&, std::string&)
{
    return false;
}

// The program ends with its one command, which leaves nothing to empty.
void CTerminalFrontEnd::RequestNewDocument()
{
}

void CTerminalFrontEnd::DrawLocked()
{
    if (!m_bErrIsTerminal || !m_bRedraw || m_bAsking || !m_bWindowOpen)
        return;
    m_bRedraw = false;
    std::fprintf(m_err, "\r\033[K%s",
                 FormatStatusLine(m_strStatus, m_nProgress, TerminalWidth(), m_strOverall).c_str());
    std::fflush(m_err);
    m_bLineShown = true;
}

void CTerminalFrontEnd::ClearLocked()
{
    if (!m_bLineShown)
        return;
    std::fputs("\r\033[K", m_err);
    std::fflush(m_err);
    m_bLineShown = false;
}

std::string CTerminalFrontEnd::FormatStatusLine(const std::string& status, int percent, int width,
                                                const std::string& overall)
{
    // Keep the last column free: writing into it wraps on some terminals.
    const int usable = std::max(width - 1, 0);
    char tail[64] = "";
    if (percent >= 0)
    {
        const int filled = kBarWidth * percent / 100;
        std::snprintf(tail, sizeof tail, " [%s%s] %3d%%", std::string(filled, '#').c_str(),
                      std::string(kBarWidth - filled, ' ').c_str(), percent);
    }
    // The whole operation's progress stays whole; the name gives way, and
    // on a terminal too narrow for both, the progress does.
    std::string lead = overall.empty() ? std::string() : Printable(overall) + "  ";
    int room = usable - static_cast<int>(std::strlen(tail) + lead.size());
    if (room < kLeastName)
    {
        room += static_cast<int>(lead.size());
        lead.clear();
    }
    return lead + FitStatus(status, static_cast<std::size_t>(std::max(room, 0))) + tail;
}

std::string CTerminalFrontEnd::Printable(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F)
        {
            out += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\%03o", byte);
        out += escaped;
    }
    return out;
}

int CTerminalFrontEnd::TerminalWidth()
{
#ifndef _WIN32
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
#endif
    const char* columns = std::getenv("COLUMNS");
    const int fromEnvironment = columns ? std::atoi(columns) : 0;
    return fromEnvironment > 0 ? fromEnvironment : 80;
}
