#pragma once
#include "core/MessageBoxCodes.h"

class CErrorReporter;

// Base of every failure the system raises. Exceptions are thrown by value and
// caught by reference (`catch (const CException& e)`); catchers never look at
// the type, they take the text with GetErrorMessage or show it with
// ReportError.
class CException
{
public:
    virtual ~CException() = default;

    // Copies the message into the buffer, cut to capacity - 1 characters and
    // always terminated (nothing is written when capacity is 0). Sets the help
    // context to 0 when one is asked for. Always true.
    virtual bool GetErrorMessage(char* buffer, unsigned capacity,
                                 unsigned* helpContext = nullptr) const = 0;

    // Shows the message through the installed reporter and returns the answer.
    // An empty message is first replaced by the resource string (when an id is
    // given), otherwise "No error message is available." is shown.
    virtual int ReportError(unsigned style = MB_OK, unsigned resourceId = 0);

    // Installs the reporter used by ReportError; null restores the default,
    // which writes to standard error. Returns the previous one.
    static CErrorReporter* SetReporter(CErrorReporter* reporter);

protected:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
};
