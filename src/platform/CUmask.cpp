#include "platform/CUmask.h"

#ifdef _WIN32

unsigned CUmask::Read()
{
    return 0;
}

#else
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace
{

// The "Umask:" line of /proc/self/status, in octal; Linux 4.7 and later.
std::optional<unsigned> FromStatus()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = "Umask:";
    while (std::getline(status, line))
    {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        try
        {
            return static_cast<unsigned>(std::stoul(line.substr(key.size()), nullptr, 8)) & 0777;
        }
        catch (const std::exception&)
        {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

unsigned CUmask::Read()
{
    if (const std::optional<unsigned> mask = FromStatus())
        return *mask;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<unsigned>(mask);
}

#endif
