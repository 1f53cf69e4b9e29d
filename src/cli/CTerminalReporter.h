#pragma once
#include "core/CErrorReporter.h"

class CTerminalFrontEnd;

// Sends an exception reported on the window thread to where the worker's
// errors go: standard error, counted as the run's failure. The terminal
// application installs it for the length of a run.
class CTerminalReporter : public CErrorReporter
{
public:
    explicit CTerminalReporter(CTerminalFrontEnd& frontEnd) : m_frontEnd(frontEnd) {}
    int ShowError(const std::string& text, unsigned style) override;

private:
    CTerminalFrontEnd& m_frontEnd;
};
