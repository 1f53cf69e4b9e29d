#include "cli/CCliProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
constexpr auto kPatience = std::chrono::seconds(30);

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A pseudo-terminal: the master end stays with the test, the slave's name
// goes to the child.
int OpenTerminal(std::string& slaveName)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return -1;
    slaveName = ::ptsname(master);
    return master;
}
} // namespace

CCliProcess::CCliProcess(std::vector<std::string> args, const std::string& folder)
    : m_args(std::move(args)), m_strFolder(folder)
{
    m_env["XDG_CONFIG_HOME"] = folder + "/config";
    m_env["VORKANT_TAPE_IMAGES"] = "";
}

CCliProcess::~CCliProcess()
{
    if (m_pid > 0)
    {
        ::kill(m_pid, SIGKILL);
        Finish();
    }
}

void CCliProcess::SetEnv(const std::string& name, const std::string& value)
{
    m_env[name] = value;
}

void CCliProcess::Start()
{
    std::vector<std::string> argv{VORKANT_CLI_PATH};
    argv.insert(argv.end(), m_args.begin(), m_args.end());
    std::map<std::string, std::string> env;
    for (char** entry = environ; *entry; ++entry)
    {
        const std::string text = *entry;
        const auto equals = text.find('=');
        env[text.substr(0, equals)] = equals == std::string::npos ? "" : text.substr(equals + 1);
    }
    for (const auto& [name, value] : m_env)
        env[name] = value;
    std::vector<std::string> envp;
    for (const auto& [name, value] : env)
        envp.push_back(name + "=" + value);

    std::string slave;
    int input[2] = {-1, -1};
    if (m_bTerminal)
        input[1] = OpenTerminal(slave);
    else
        ASSERT_EQ(::pipe(input), 0);
    ASSERT_GE(input[1], 0);
    int out[2];
    int err[2];
    ASSERT_EQ(::pipe(out), 0);
    ASSERT_EQ(::pipe(err), 0);
    auto args = Pointers(argv);
    auto vars = Pointers(envp);
    m_pid = ::fork();
    ASSERT_GE(m_pid, 0);
    if (m_pid == 0)
    {
        const int in = m_bTerminal ? ::open(slave.c_str(), O_RDWR) : input[0];
        if (in < 0 || ::chdir(m_strFolder.c_str()) != 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execve(args[0], args.data(), vars.data());
        ::_exit(127);
    }
    if (!m_bTerminal)
        ::close(input[0]);
    ::close(out[1]);
    ::close(err[1]);
    m_input = input[1];
    m_out = out[0];
    m_err = err[0];
}

bool CCliProcess::ReadSome(int timeoutMs)
{
    pollfd entries[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    if (::poll(entries, 2, timeoutMs) <= 0)
        return m_out >= 0 || m_err >= 0;
    std::string* targets[2] = {&m_result.strOut, &m_result.strErr};
    int* fds[2] = {&m_out, &m_err};
    for (int i = 0; i < 2; ++i)
    {
        if (*fds[i] < 0 || !(entries[i].revents & (POLLIN | POLLHUP)))
            continue;
        char buffer[4096];
        const ssize_t got = ::read(*fds[i], buffer, sizeof buffer);
        if (got > 0)
            targets[i]->append(buffer, static_cast<size_t>(got));
        else
        {
            ::close(*fds[i]);
            *fds[i] = -1;
        }
    }
    return m_out >= 0 || m_err >= 0;
}

bool CCliProcess::WaitForError(const std::string& text)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (m_result.strErr.find(text) == std::string::npos)
    {
        if (std::chrono::steady_clock::now() > deadline || !ReadSome(100))
            return m_result.strErr.find(text) != std::string::npos;
    }
    return true;
}

void CCliProcess::Type(const std::string& text)
{
    ASSERT_EQ(::write(m_input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void CCliProcess::Interrupt()
{
    ::kill(m_pid, SIGINT);
}

CCliProcess::SResult CCliProcess::Finish()
{
    if (m_input >= 0 && !m_bTerminal)
    {
        ::close(m_input);
        m_input = -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (ReadSome(100))
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ADD_FAILURE() << "vorkant-cli did not end";
            ::kill(m_pid, SIGKILL);
            break;
        }
    }
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    m_pid = -1;
    // The terminal stays open until the end, so the program never reads a
    // hang-up as an answer.
    if (m_input >= 0)
        ::close(m_input);
    m_input = -1;
    m_result.nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_result;
}

CCliProcess::SResult CCliProcess::Run(const std::vector<std::string>& args, const std::string& folder,
                                      const std::map<std::string, std::string>& env)
{
    CCliProcess process(args, folder);
    for (const auto& [name, value] : env)
        process.SetEnv(name, value);
    process.Start();
    return process.Finish();
}
