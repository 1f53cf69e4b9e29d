#pragma once
#include <map>
#include <string>
#include <vector>

// vorkant-cli run as a child process, as a user runs it: arguments, an
// environment of its own (its settings under the test's folder), standard
// output and error captured, standard input a pipe, the null device, or a
// pseudo-terminal the test types into. Owned by one test.
//
// In the Windows build the test program and vorkant-cli both run under Wine;
// the program is the one beside the test program, and its output's "\r\n"
// line ends are read as "\n". Wine gives no console to type into, so there
// standard input is never a terminal, and Ctrl-C has nothing to go through.
class CCliProcess
{
public:
    struct SResult
    {
        int nStatus = -1; // the exit status; -1 when ended by a signal
        std::string strOut;
        std::string strErr;
    };

    // Runs in folder, which also holds the settings (XDG_CONFIG_HOME).
    CCliProcess(std::vector<std::string> args, const std::string& folder);
    ~CCliProcess();
    CCliProcess(const CCliProcess&) = delete;
    CCliProcess& operator=(const CCliProcess&) = delete;

    void SetEnv(const std::string& name, const std::string& value);
    // Standard input becomes the null device (/dev/null, NUL).
    void UseNullInput() { m_eInput = EInput::null; }

    void Start();
    // Ends standard input, reads the rest and waits for the end.
    SResult Finish();

    // Starts, ends standard input at once and waits.
    static SResult Run(const std::vector<std::string>& args, const std::string& folder,
                       const std::map<std::string, std::string>& env = {});

#ifndef _WIN32
    // Standard input becomes a terminal, so questions wait for an answer.
    void UseTerminalInput() { m_eInput = EInput::terminal; }
    // Reads output until standard error holds text; false when the program
    // ended or 30 s passed first.
    bool WaitForError(const std::string& text);
    void Type(const std::string& text);
    void Interrupt();
#endif

private:
    enum class EInput
    {
        pipe,
        null,
        terminal
    };

    // The environment the program gets: the test's, with m_env over it.
    std::map<std::string, std::string> Environment() const;
    bool ReadSome(int timeoutMs);

    std::vector<std::string> m_args;
    std::string m_strFolder;
    std::map<std::string, std::string> m_env;
    EInput m_eInput = EInput::pipe;
#ifdef _WIN32
    // Handles of the process and of the test's ends of its pipes.
    void* m_process = nullptr;
    void* m_input = nullptr;
    void* m_out = nullptr;
    void* m_err = nullptr;
#else
    int m_pid = -1;
    int m_input = -1;
    int m_out = -1;
    int m_err = -1;
#endif
    SResult m_result;
};
