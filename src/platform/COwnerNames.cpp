#include "platform/COwnerNames.h"

#ifndef _WIN32
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>
#endif

namespace
{

#ifdef _WIN32
std::string UserOf(std::uint32_t)
{
    return {};
}

std::string GroupOf(std::uint32_t)
{
    return {};
}
#else
// Asks the user database through lookUp (getpwuid_r or getgrgid_r) for the
// entry of id and answers its name. The size the system suggests is only a
// start: an entry with many members outgrows it.
template <typename Id, typename Entry>
std::string NameOf(int (*lookUp)(Id, Entry*, char*, std::size_t, Entry**), Id id, long suggested,
                   char* Entry::*name)
{
    // Growth stops somewhere, should a broken source of names ask for ever more.
    constexpr std::size_t kLargest = std::size_t{1} << 20;
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    Entry entry;
    Entry* found = nullptr;
    for (;;)
    {
        const int err = lookUp(id, &entry, buffer.data(), buffer.size(), &found);
        if (err == EINTR)
            continue;
        if (err != ERANGE || buffer.size() >= kLargest)
            return err == 0 && found ? std::string(found->*name) : std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string UserOf(std::uint32_t uid)
{
    return NameOf(::getpwuid_r, static_cast<uid_t>(uid), ::sysconf(_SC_GETPW_R_SIZE_MAX),
                  &passwd::pw_name);
}

std::string GroupOf(std::uint32_t gid)
{
    return NameOf(::getgrgid_r, static_cast<gid_t>(gid), ::sysconf(_SC_GETGR_R_SIZE_MAX),
                  &group::gr_name);
}
#endif

// The database may ask a server over the network: each id is asked once.
const std::string& Cached(std::unordered_map<std::uint32_t, std::string>& names, std::uint32_t id,
                          std::string (*lookUp)(std::uint32_t))
{
    const auto [entry, added] = names.try_emplace(id);
    if (added)
        entry->second = lookUp(id);
    return entry->second;
}

} // namespace

const std::string& COwnerNames::UserName(std::uint32_t uid)
{
    return Cached(m_users, uid, UserOf);
}

const std::string& COwnerNames::GroupName(std::uint32_t gid)
{
    return Cached(m_groups, gid, GroupOf);
}
