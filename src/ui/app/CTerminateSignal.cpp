#include "ui/app/CTerminateSignal.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// A handler may only write to a descriptor: the window thread reads the
// other end.
int g_pipe[2] = {-1, -1};
} // namespace

CTerminateSignal::CTerminateSignal(QObject* parent) : QObject(parent)
{
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_pNotifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CTerminateSignal::OnReadable);
    struct sigaction action = {};
    action.sa_handler = &CTerminateSignal::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
}

CTerminateSignal::~CTerminateSignal()
{
    if (!m_pNotifier)
        return;
    std::signal(SIGTERM, SIG_DFL);
    delete m_pNotifier;
    close(g_pipe[0]);
    close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void CTerminateSignal::OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
}

void CTerminateSignal::OnReadable()
{
    char bytes[16];
    while (read(g_pipe[0], bytes, sizeof bytes) > 0)
    {
    }
    emit Terminated();
}
#else
// Elsewhere the system ends a program in its own way.
CTerminateSignal::CTerminateSignal(QObject* parent) : QObject(parent)
{
}

CTerminateSignal::~CTerminateSignal() = default;

void CTerminateSignal::OnSignal(int)
{
}

void CTerminateSignal::OnReadable()
{
}
#endif
