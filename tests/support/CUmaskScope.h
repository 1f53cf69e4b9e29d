#pragma once
// Sets the process's umask for one test and puts the old one back after it.
// Tests of one program run one after the other, so no other test sees it.
// Windows has no umask: there the scope does nothing.

#ifndef _WIN32
#include <sys/stat.h>
#endif

class CUmaskScope
{
public:
    explicit CUmaskScope([[maybe_unused]] unsigned mask)
    {
#ifndef _WIN32
        m_old = ::umask(static_cast<mode_t>(mask));
#endif
    }
    ~CUmaskScope()
    {
#ifndef _WIN32
        ::umask(static_cast<mode_t>(m_old));
#endif
    }
    CUmaskScope(const CUmaskScope&) = delete;
    CUmaskScope& operator=(const CUmaskScope&) = delete;

private:
    unsigned m_old = 0;
};
