#include "support/CSmallDisk.h"

#include <utility>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif
#ifdef __linux__
#include <sys/mount.h>
#endif

CSmallDisk::CSmallDisk(std::filesystem::path folder, std::uint64_t bytes)
    : m_folder(std::move(folder)), m_nBytes(bytes)
{
    std::filesystem::create_directories(m_folder);
#ifdef __linux__
    const std::string options = "size=" + std::to_string(bytes) + ",mode=700";
    m_bMounted = ::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
#endif
}

CSmallDisk::~CSmallDisk()
{
#ifdef __linux__
    if (m_bMounted)
        ::umount2(m_folder.c_str(), MNT_DETACH);
#endif
}

bool CSmallDisk::Run(const std::function<void()>& call) const
{
    if (m_bMounted)
    {
        call();
        return true;
    }
#ifdef _WIN32
    (void)call;
    return false;
#else
    // A write past the limit then fails with EFBIG instead of stopping the
    // process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = static_cast<rlim_t>(m_nBytes);
    ::setrlimit(RLIMIT_FSIZE, &small);
    try
    {
        call();
    }
    catch (...)
    {
        ::setrlimit(RLIMIT_FSIZE, &before);
        throw;
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    return true;
#endif
}
