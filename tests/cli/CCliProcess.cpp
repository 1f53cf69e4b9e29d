#include "cli/CCliProcess.h"

#include <gtest/gtest.h>

#include <chrono>

#ifdef _WIN32
#include <cstring>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace
{
constexpr auto kPatience = std::chrono::seconds(30);

// "NAME=value"; on Windows a name may begin with "=" (a drive's folder).
void AddEntry(std::map<std::string, std::string>& env, const std::string& entry)
{
    const auto equals = entry.find('=', 1);
    env[entry.substr(0, equals)] = equals == std::string::npos ? "" : entry.substr(equals + 1);
}

#ifdef _WIN32
// One argument as the C runtime splits a command line: in quotes, a quote
// escaped, and the backslashes before a quote doubled.
std::string Quoted(const std::string& arg)
{
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg)
    {
        if (c == '\\')
        {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    return out.append(2 * backslashes, '\\') + "\"";
}

// The program built beside the test program.
std::string ProgramPath()
{
    char self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of("\\/") + 1) + VORKANT_CLI_PATH;
}

void CloseHandleOnce(void*& handle)
{
    if (handle != nullptr)
        ::CloseHandle(handle);
    handle = nullptr;
}

// A pipe whose one end the child inherits; the test keeps the other.
void MakePipe(HANDLE& childEnd, void*& testEnd, bool childReads)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    ASSERT_TRUE(::CreatePipe(&read, &write, &inherit, 0));
    childEnd = childReads ? read : write;
    testEnd = childReads ? write : read;
    ASSERT_TRUE(::SetHandleInformation(testEnd, HANDLE_FLAG_INHERIT, 0));
}

std::string WithoutCarriageReturns(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n')
            out += text[i];
    }
    return out;
}
#else
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
#endif
} // namespace

CCliProcess::CCliProcess(std::vector<std::string> args, const std::string& folder)
    : m_args(std::move(args)), m_strFolder(folder)
{
    m_env["XDG_CONFIG_HOME"] = folder + "/config";
    m_env["VORKANT_TAPE_IMAGES"] = "";
}

void CCliProcess::SetEnv(const std::string& name, const std::string& value)
{
    m_env[name] = value;
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

#ifdef _WIN32
CCliProcess::~CCliProcess()
{
    if (m_process != nullptr)
    {
        ::TerminateProcess(m_process, 1);
        Finish();
    }
}

std::map<std::string, std::string> CCliProcess::Environment() const
{
    std::map<std::string, std::string> env;
    char* const block = ::GetEnvironmentStringsA();
    for (const char* entry = block; *entry; entry += std::strlen(entry) + 1)
        AddEntry(env, entry);
    ::FreeEnvironmentStringsA(block);
    for (const auto& [name, value] : m_env)
        env[name] = value;
    return env;
}

void CCliProcess::Start()
{
    std::string commandLine = Quoted(ProgramPath());
    for (const std::string& arg : m_args)
        commandLine += " " + Quoted(arg);
    std::string block;
    for (const auto& [name, value] : Environment())
        block += name + "=" + value + '\0';
    block += '\0';

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (m_eInput == EInput::null)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        startup.hStdInput = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          &inherit, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(startup.hStdInput, INVALID_HANDLE_VALUE);
    }
    else
    {
        MakePipe(startup.hStdInput, m_input, true);
    }
    MakePipe(startup.hStdOutput, m_out, false);
    MakePipe(startup.hStdError, m_err, false);
    PROCESS_INFORMATION process{};
    BOOL started = FALSE;
    // Wine now and then refuses to start a process with ERROR_INTERNAL_ERROR when the machine
    // is busy; the same call a moment later succeeds. Windows itself never answers that here.
    for (int attempt = 0; attempt < 5 && !started; ++attempt)
    {
        if (attempt > 0)
            ::Sleep(200);
        started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                   block.data(), m_strFolder.c_str(), &startup, &process);
        if (!started && ::GetLastError() != ERROR_INTERNAL_ERROR)
            break;
    }
    const DWORD dwError = started ? 0 : ::GetLastError();
    ::CloseHandle(startup.hStdInput);
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    ASSERT_TRUE(started) << "cannot start " << commandLine << ": error " << dwError;
    ::CloseHandle(process.hThread);
    m_process = process.hProcess;
}

bool CCliProcess::ReadSome(int timeoutMs)
{
    void** handles[2] = {&m_out, &m_err};
    std::string* targets[2] = {&m_result.strOut, &m_result.strErr};
    for (int waited = 0;; waited += 10)
    {
        bool any = false;
        for (int i = 0; i < 2; ++i)
        {
            DWORD available = 0;
            if (*handles[i] == nullptr)
                continue;
            if (!::PeekNamedPipe(*handles[i], nullptr, 0, nullptr, &available, nullptr))
            {
                // The program's end is closed: it ended.
                CloseHandleOnce(*handles[i]);
                any = true;
                continue;
            }
            if (available == 0)
                continue;
            char buffer[4096];
            DWORD got = 0;
            if (::ReadFile(*handles[i], buffer, sizeof buffer, &got, nullptr) && got > 0)
                targets[i]->append(buffer, got);
            any = true;
        }
        if (any || waited >= timeoutMs || (m_out == nullptr && m_err == nullptr))
            return m_out != nullptr || m_err != nullptr;
        ::Sleep(10);
    }
}

CCliProcess::SResult CCliProcess::Finish()
{
    CloseHandleOnce(m_input);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (ReadSome(100))
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ADD_FAILURE() << "vorkant-cli did not end";
            ::TerminateProcess(m_process, 1);
            break;
        }
    }
    CloseHandleOnce(m_out);
    CloseHandleOnce(m_err);
    ::WaitForSingleObject(m_process, INFINITE);
    DWORD status = 0;
    m_result.nStatus = ::GetExitCodeProcess(m_process, &status) ? static_cast<int>(status) : -1;
    CloseHandleOnce(m_process);
    m_result.strOut = WithoutCarriageReturns(m_result.strOut);
    m_result.strErr = WithoutCarriageReturns(m_result.strErr);
    return m_result;
}
#else
CCliProcess::~CCliProcess()
{
    if (m_pid > 0)
    {
        ::kill(m_pid, SIGKILL);
        Finish();
    }
}

std::map<std::string, std::string> CCliProcess::Environment() const
{
    std::map<std::string, std::string> env;
    for (char** entry = environ; *entry; ++entry)
        AddEntry(env, *entry);
    for (const auto& [name, value] : m_env)
        env[name] = value;
    return env;
}

void CCliProcess::Start()
{
    std::vector<std::string> argv{VORKANT_CLI_PATH};
    argv.insert(argv.end(), m_args.begin(), m_args.end());
    std::vector<std::string> envp;
    for (const auto& [name, value] : Environment())
        envp.push_back(name + "=" + value);

    std::string slave;
    int input[2] = {-1, -1};
    if (m_eInput == EInput::terminal)
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
        int in = input[0];
        if (m_eInput == EInput::terminal)
            in = ::open(slave.c_str(), O_RDWR);
        else if (m_eInput == EInput::null)
            in = ::open("/dev/null", O_RDONLY);
        if (in < 0 || ::chdir(m_strFolder.c_str()) != 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execve(args[0], args.data(), vars.data());
        ::_exit(127);
    }
    if (m_eInput != EInput::terminal)
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
    if (m_input >= 0 && m_eInput != EInput::terminal)
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
#endif
