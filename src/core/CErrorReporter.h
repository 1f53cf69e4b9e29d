#pragma once
#include <string>

// Shows an exception's text to the user on behalf of CException::ReportError.
// The GUI installs one that shows a message box, the terminal front end one
// that writes to standard error, tests one that records what it was given.
// The installed reporter must outlive its use; the default writes to stderr.
class CErrorReporter
{
public:
    virtual ~CErrorReporter() = default;

    // Shows the text with a message-box style; returns the answer (IDOK, ...).
    virtual int ShowError(const std::string& text, unsigned style) = 0;
    // The text of a string resource, or empty when there is none.
    virtual std::string LoadString(unsigned resourceId);
};
