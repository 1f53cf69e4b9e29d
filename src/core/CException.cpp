#include "core/CException.h"

#include "core/CErrorReporter.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace
{

class CStderrReporter : public CErrorReporter
{
public:
    int ShowError(const std::string& text, unsigned) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return IDOK;
    }
};

CStderrReporter g_stderrReporter;
std::atomic<CErrorReporter*> g_reporter{&g_stderrReporter};

const char kNoMessage[] = "No error message is available.";

} // namespace

CErrorReporter* CException::SetReporter(CErrorReporter* reporter)
{
    CErrorReporter* previous = g_reporter.exchange(reporter ? reporter : &g_stderrReporter);
    return previous == &g_stderrReporter ? nullptr : previous;
}

int CException::ReportError(unsigned style, unsigned resourceId)
{
    char buffer[1024];
    GetErrorMessage(buffer, sizeof buffer);
    std::string text = buffer;
    CErrorReporter* reporter = g_reporter.load();
    if (text.empty() && resourceId != 0)
        text = reporter->LoadString(resourceId);
    if (text.empty())
        text = kNoMessage;
    return reporter->ShowError(text, style);
}
