#pragma once
#include <cstdio>

// Whether a stream is someone's console or terminal, so that a program asks
// its questions only where a person can answer them. A file, a pipe or the
// null device is none: Windows calls every character device, NUL included, a
// terminal (_isatty), so there a console is a handle GetConsoleMode accepts.
class CConsole
{
public:
    CConsole() = delete;

    static bool Is(std::FILE* stream);
};
