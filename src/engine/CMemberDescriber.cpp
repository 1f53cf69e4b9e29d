#include "engine/CMemberDescriber.h"

#include "platform/CFileStatus.h"
#include "platform/PathStyle.h"

#include <algorithm>
#include <limits>

namespace
{

std::uint32_t HeaderTime(std::int64_t time)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(time, 0, std::numeric_limits<std::uint32_t>::max()));
}

char TypeOf(const CFileStatus& status)
{
    switch (status.m_nKind)
    {
    case CFileStatus::KIND_REGULAR:
        return '0';
    case CFileStatus::KIND_DIRECTORY:
        return '5';
    case CFileStatus::KIND_LINK:
        return '2';
    case CFileStatus::KIND_FIFO:
        return '6';
    default:
        return '\0';
    }
}

} // namespace

bool CMemberDescriber::Describe(const std::string& name, const CFileStatus& status,
                                const std::string& linkTarget, STarMember& member)
{
    member = STarMember();
    member.chType = TypeOf(status);
    if (member.chType == '\0')
        return false;
    member.strName = name;
    member.dwSize = status.m_size;
    member.time = HeaderTime(status.m_mtime);
    if (member.chType == '2')
    {
        member.strLinkTarget = linkTarget;
        // Archives spell every name with slashes, link targets too.
        if (kHostPathStyle == EPathStyle::Windows)
            std::replace(member.strLinkTarget.begin(), member.strLinkTarget.end(), '\\', '/');
    }
    else if (member.chType == '0' && status.m_nLinks > 1)
    {
        const auto [first, isNew] =
            m_firstNames.try_emplace({status.m_nDevice, status.m_nInode}, name);
        if (!isNew)
        {
            member.chType = '1';
            member.strLinkTarget = first->second;
        }
    }
    member.bOwnOwner = m_bOwnOwner;
    if (m_bOwnOwner)
    {
        member.nMode = status.m_nMode;
        member.nUid = status.m_nUid;
        member.nGid = status.m_nGid;
        member.strUserName = m_owners.UserName(status.m_nUid);
        member.strGroupName = m_owners.GroupName(status.m_nGid);
    }
    return true;
}
