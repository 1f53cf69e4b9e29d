#include "platform/CConsole.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

bool CConsole::Is(std::FILE* stream)
{
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    DWORD mode = 0;
    return handle != -1 && ::GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

#else
#include <unistd.h>

bool CConsole::Is(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) != 0;
}

#endif
