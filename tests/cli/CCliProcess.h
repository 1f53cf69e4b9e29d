#pragma once
#include <map>
#include <string>
#include <vector>

// vorkant-cli run as a child process, as a user runs it: arguments, an
// environment of its own (its settings under the test's folder), standard
// output and error captured, standard input a pipe or a pseudo-terminal the
// test types into. Owned by one test.
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
    // Standard input becomes a terminal, so questions wait for an answer.
    void UseTerminalInput() { m_bTerminal = true; }

    void Start();
    // Reads output until standard error holds text; false when the program
    // ended or 30 s passed first.
    bool WaitForError(const std::string& text);
    void Type(const std::string& text);
    void Interrupt();
    // Ends standard input, reads the rest and waits for the end.
    SResult Finish();

    // Starts, ends standard input at once and waits.
    static SResult Run(const std::vector<std::string>& args, const std::string& folder,
                       const std::map<std::string, std::string>& env = {});

private:
    bool ReadSome(int timeoutMs);

    std::vector<std::string> m_args;
    std::string m_strFolder;
    std::map<std::string, std::string> m_env;
    bool m_bTerminal = false;
    int m_pid = -1;
    int m_input = -1;
    int m_out = -1;
    int m_err = -1;
    SResult m_result;
};
