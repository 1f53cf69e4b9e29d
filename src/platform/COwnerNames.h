#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

// The names of users and groups by their ids, as the system's user database
// tells them, each asked for once per object. An id the system has no name
// for, and every id on Windows, has the empty name. Owned by whoever writes
// headers with them, on one thread.
class COwnerNames
{
public:
    const std::string& UserName(std::uint32_t uid);
    const std::string& GroupName(std::uint32_t gid);

private:
    std::unordered_map<std::uint32_t, std::string> m_users;
    std::unordered_map<std::uint32_t, std::string> m_groups;
};
