#include "engine/CDestination.h"

#include "core/COsException.h"
#include "engine/CTarMessages.h"
#include "platform/CFileStatus.h"
#include "platform/CFolder.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <utility>

CDestination::CDestination(std::string path) : m_strPath(std::move(path)) {}

std::shared_ptr<const COpenFolder> CDestination::Reach(const std::vector<std::string>& components,
                                                       std::size_t count, bool create,
                                                       const std::string& member)
{
    if (m_held.empty())
        HoldDestination();
    std::size_t kept = 0;
    while (kept < m_names.size() && kept < count && m_names[kept] == components[kept])
        ++kept;
    m_names.resize(kept);
    m_held.resize(kept + 1);
    for (std::size_t i = kept; i < count; ++i)
    {
        m_held.push_back(HoldBelow(*m_held.back(), components[i], create, member));
        m_names.push_back(components[i]);
    }
    return m_held[count];
}

// The path is the user's choice, links and all: every missing folder of it
// is made, then it is held.
void CDestination::HoldDestination()
{
    const std::string& path = m_strPath;
    for (std::size_t end = 1; end <= path.size(); ++end)
    {
        if (end < path.size() && path[end] != kHostSeparator && path[end] != '/')
            continue;
        const std::string prefix = path.substr(0, end);
        CFileStatus status;
        if (!CFileStatus::Get(prefix, status) && !CFolder::Create(prefix))
            throw COsException();
    }
    auto destination = std::make_shared<COpenFolder>();
    if (!destination->Hold(path))
        throw COsException();
    m_held.push_back(std::move(destination));
}

std::shared_ptr<const COpenFolder> CDestination::HoldBelow(const COpenFolder& parent,
                                                           const std::string& name, bool create,
                                                           const std::string& member)
{
    auto folder = std::make_shared<COpenFolder>();
    if (folder->HoldIn(parent, name))
        return folder;
    const DWORD error = CSystemError::GetLast();
    if (create && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
    {
        // Another program may make it meanwhile: what stands there then is
        // held on the same terms.
        if (!CFolder::CreateIn(parent, name) && CSystemError::GetLast() != ERROR_ALREADY_EXISTS)
            throw COsException();
        if (folder->HoldIn(parent, name))
            return folder;
    }
    if (CSystemError::GetLast() == ERROR_CANT_RESOLVE_FILENAME)
        throw CGenericException(CTarMessages::Format(CTarMessages::kLeavesDestination, {member}));
    throw COsException();
}
