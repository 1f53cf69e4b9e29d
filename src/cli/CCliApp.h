#pragma once
#include "cli/CCliOptions.h"
#include "core/CEventHandler.h"

#include <cstdio>
#include <string>
#include <vector>

class CAppSettings;
class CMessageLog;
class CTarDoc;
class CTerminalFrontEnd;

// One run of vorkant-cli: reads the stored settings, changes them as the
// options say (never storing them), runs the command through the document
// behind the terminal front end, and turns what happened into the exit
// status. main owns it for the length of the run.
class CCliApp : public CEventHandler
{
public:
    enum EExitStatus
    {
        EXIT_DONE = 0,
        EXIT_PROBLEMS = 1,
        EXIT_FAILED = 2,
        EXIT_CANCELLED = 130,
    };

    CCliApp(std::FILE* out, std::FILE* err, std::FILE* in);
    ~CCliApp() override;

    int Run(const std::vector<std::string>& args);

private:
    struct SRun;

    int RunCommand(SRun& run);
    bool List(SRun& run);
    bool Extract(SRun& run);
    bool Save(SRun& run);
    bool Erase(SRun& run);
    bool TapeInfo(SRun& run);
    bool Eject(SRun& run);
    bool ListTapes();
    bool Open(SRun& run, bool needCatalogue);
    bool CheckRows(SRun& run);
    bool Fail(SRun& run, const std::string& text);
    int ExitStatus(SRun& run, bool succeeded) const;
    void PrintCatalogue(const CTarDoc& doc) const;
    int OnLogEvent(void* record);

    std::FILE* m_out;
    std::FILE* m_err;
    std::FILE* m_in;
    CCliOptions m_options;
    // Set while a run's log and front end exist, for OnLogEvent.
    SRun* m_pRun = nullptr;
};
