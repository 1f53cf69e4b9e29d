#pragma once
#include "platform/WinError.h"

#include <string>

// The calling thread's last system error and the system's message table.
//
// Platform calls that fail leave a Windows error code here, the way the
// Windows calls leave theirs for GetLastError; COsException reads it. On
// Windows this is the system's own last error and the texts come from its
// message table. Elsewhere errno values are mapped to the nearest Windows
// code and the texts come from a table holding the Windows wording.
class CSystemError
{
public:
    // The last error recorded on the calling thread (0 when none).
    static DWORD GetLast();
    static void SetLast(DWORD code);

    // Maps an errno value to the nearest Windows code.
    static DWORD FromErrno(int err);
    // Records the errno value's Windows code as the last error and returns it.
    static DWORD SetLastFromErrno(int err);

    // True when the system sees the whole name. False, with
    // ERROR_INVALID_NAME, for a name holding a NUL: the system would see
    // only what comes before it, which is another name.
    static bool CheckName(const std::string& name);

    // The system's text for a code, trailing line break included. False when
    // the system has no text for it; the text is then left unchanged. The
    // last error is left as it was.
    static bool LookupText(DWORD code, std::string& text);
};
