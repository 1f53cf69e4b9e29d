#include "platform/COpenFolder.h"

#include "platform/PathStyle.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

COpenFolder::~COpenFolder()
{
    Release();
}

void COpenFolder::Hold(const std::string& path)
{
    Release();
    m_strPath = path;
#ifndef _WIN32
    // Only for looking names up: no permission to read the folder is needed.
#ifdef O_PATH
    m_nHandle = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    m_nHandle = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
#endif
}

std::string COpenFolder::PathOf(const std::string& name) const
{
    if (m_strPath.empty())
        return name;
    if (m_strPath.back() == kHostSeparator || m_strPath.back() == '/')
        return m_strPath + name;
    return m_strPath + kHostSeparator + name;
}

void COpenFolder::Release()
{
#ifndef _WIN32
    if (m_nHandle != -1)
        ::close(m_nHandle);
#endif
    m_nHandle = -1;
    m_strPath.clear();
}
