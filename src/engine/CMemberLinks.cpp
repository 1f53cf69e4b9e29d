#include "engine/CMemberLinks.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CDestination.h"
#include "engine/CExtractedFile.h"
#include "engine/CMemberPath.h"
#include "engine/CTarHeader.h"
#include "engine/CTarMessages.h"
#include "platform/CFile.h"
#include "platform/CFileStatus.h"
#include "platform/CLink.h"
#include "platform/CSystemError.h"

#include <utility>

namespace
{

[[noreturn]] void Fail(const std::string& path)
{
    throw CGenericException(CTarMessages::FileFailure(path, COsException()));
}

} // namespace

std::string CMemberLinks::Key(const std::vector<std::string>& components)
{
    std::string key;
    for (const std::string& component : components)
        key.append(component).push_back('/');
    return key;
}

void CMemberLinks::NoteMember(const std::vector<std::string>& components)
{
    if (m_waiting.empty())
        return;
    const auto waiting = m_waiting.find(Key(components));
    if (waiting == m_waiting.end())
        return;
    m_symbolic[waiting->second].superseded = true;
    m_waiting.erase(waiting);
}

void CMemberLinks::NoteFile(const std::vector<std::string>& components)
{
    NoteMember(components);
    m_files.insert(Key(components));
}

template <typename TMake>
void CMemberLinks::Place(const COpenFolder& folder, const std::string& name,
                         const std::string& path, TMake make)
{
    if (make(name))
        return;
    CFileStatus status;
    if (CSystemError::GetLast() != ERROR_ALREADY_EXISTS ||
        !CFileStatus::GetIn(folder, name, status, false))
        Fail(path);
    if (status.m_bDirectory)
    {
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        Fail(path);
    }
    for (int i = 0; i < CExtractedFile::kBesideTries; ++i)
    {
        const std::string beside = CExtractedFile::BesideName();
        if (make(beside))
        {
            if (CFile::RenameIn(folder, beside, name))
                return;
            const COsException failure;
            CFile::RemoveIn(folder, beside);
            throw CGenericException(CTarMessages::FileFailure(path, failure));
        }
        if (CSystemError::GetLast() != ERROR_ALREADY_EXISTS)
            break;
    }
    Fail(path);
}

void CMemberLinks::MakeFifo(CDestination& destination, const std::vector<std::string>& components,
                            const std::string& path, unsigned mode, std::uint32_t time)
{
    const auto folder = destination.Reach(components, components.size() - 1, true, path);
    const std::string& name = components.back();
    Place(*folder, name, path,
          [&](const std::string& made) { return CLink::CreateFifoIn(*folder, made, mode); });
    if (!CLink::SetTimeIn(*folder, name, time))
        Fail(path);
    NoteMember(components);
}

void CMemberLinks::MakeHard(CDestination& destination, const std::vector<std::string>& components,
                            const std::string& path, const std::string& target)
{
    // An absolute target names a file outside, whatever the destination.
    const auto named = CMemberPath::Split(CTarHeader::ToNativeName(target));
    if (target.starts_with('/') || !named || named->empty())
        throw CGenericException(CTarMessages::Format(CTarMessages::kLeavesDestination, {path}));
    if (m_files.count(Key(*named)) == 0)
        throw CGenericException(
            CTarMessages::Format(CTarMessages::kLinkTargetMissing, {path, target}));
    const auto targetFolder = destination.Reach(*named, named->size() - 1, false, path);
    const auto folder = destination.Reach(components, components.size() - 1, true, path);
    Place(*folder, components.back(), path,
          [&](const std::string& made)
          { return CLink::CreateHardIn(*targetFolder, named->back(), *folder, made); });
    NoteFile(components);
}

void CMemberLinks::DeferSymbolic(SSymbolic link)
{
    // Of two links of one name, only the later is made.
    NoteMember(link.components);
    m_waiting[Key(link.components)] = m_symbolic.size();
    m_symbolic.push_back(std::move(link));
}

void CMemberLinks::MakeSymbolic(CDestination& destination, const SSymbolic& link)
{
    const std::vector<std::string>& components = link.components;
    const auto folder = destination.Reach(components, components.size() - 1, true, link.path);
    const std::string& name = components.back();
    Place(*folder, name, link.path,
          [&](const std::string& made)
          { return CLink::CreateSymbolicIn(*folder, made, link.target); });
    if (!CLink::SetTimeIn(*folder, name, link.time))
        Fail(link.path);
}
