#pragma once
#include "core/CErrorReporter.h"

// Shows CException::ReportError's texts in a message box captioned with the
// application title and owned by the active window. The application installs
// it with CException::SetReporter for as long as its QApplication lives.
class CMessageBoxReporter : public CErrorReporter
{
public:
    // Any thread: a report from another thread is shown on the window
    // thread, which the caller waits for.
    int ShowError(const std::string& text, unsigned style) override;
};
