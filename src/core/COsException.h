#pragma once
#include "core/CGenericException.h"
#include "platform/WinError.h"

// A failed system call: carries the Windows error code and, from the moment it
// is made, the system's text for it ("Operating System Error N" when the
// system has none).
class COsException : public CGenericException
{
public:
    // Takes the calling thread's last system error.
    COsException();
    explicit COsException(DWORD errorCode);

    DWORD GetErrorCode() const { return m_dwError; }

private:
    static std::string TextFor(DWORD errorCode);

    DWORD m_dwError;
};
