#include "platform/CLocalTime.h"

#include <chrono>

std::int64_t CLocalTime::Now()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

bool CLocalTime::ToLocal(std::int64_t seconds, std::tm& local)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
#ifdef _WIN32
    return localtime_s(&local, &t) == 0;
#else
    return localtime_r(&t, &local) != nullptr;
#endif
}
