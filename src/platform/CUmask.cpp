#include "platform/CUmask.h"

#ifdef _WIN32

unsigned CUmask::Read()
{
    return 0;
}

#else
#include <sys/stat.h>

unsigned CUmask::Read()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<unsigned>(mask);
}

#endif
