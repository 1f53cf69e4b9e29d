#include "engine/CExtractedFile.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CTarMessages.h"
#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"

#include <atomic>
#include <string>
#include <utility>

namespace
{

constexpr unsigned kCreateNew =
    CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite | CFile::modeNoFollow;
// Names beside the old file are tried in turn until one is free: one left
// by an extraction that never ended takes a number, not the member.
constexpr int kBesideTries = 100;

// A short name of fixed length, whatever the member's, so that it fits
// wherever the member's own name does.
std::string BesideName()
{
    static std::atomic<unsigned> counter{0};
    return ".vorkant-" + std::to_string(counter++) + ".part";
}

} // namespace

CExtractedFile::CExtractedFile(const COpenFolder& folder, const std::string& name, std::string path,
                               unsigned mode)
    : m_strName(name), m_strPath(std::move(path)), m_nMode(mode)
{
    // Most members land where nothing stands: one call finds that out.
    if (Create(folder, m_strName))
        return;
    const DWORD error = CSystemError::GetLast();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
        Fail();
    Replace(folder);
}

CExtractedFile::~CExtractedFile()
{
    if (m_bCommitted || m_strWritten.empty())
        return;
    m_file.Close();
    CFile::Remove(m_strWritten);
}

bool CExtractedFile::Create(const COpenFolder& folder, const std::string& name)
{
    if (!m_file.OpenIn(folder, name, kCreateNew, m_nMode))
        return false;
    m_strWritten = folder.PathOf(name);
    return true;
}

void CExtractedFile::Replace(const COpenFolder& folder)
{
    CFileStatus status;
    if (!CFileStatus::Get(m_strPath, status, false))
        Fail();
    if (status.m_bLink)
    {
        if (!CFile::Remove(m_strPath) || !Create(folder, m_strName))
            Fail();
        return;
    }
    if (status.m_bDirectory)
    {
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        Fail();
    }
    CreateBeside(folder);
}

void CExtractedFile::CreateBeside(const COpenFolder& folder)
{
    for (int i = 0; i < kBesideTries; ++i)
    {
        if (Create(folder, BesideName()))
            return;
        if (CSystemError::GetLast() != ERROR_FILE_EXISTS)
            break;
    }
    Fail();
}

// On the open file, before it is closed: no name is looked up again, so
// nothing put in its place meanwhile can be reached.
std::optional<std::string> CExtractedFile::Restore(std::int64_t time, std::optional<unsigned> mode)
{
    std::optional<std::string> failure;
    if (!m_file.SetTime(time))
        failure = CTarMessages::FileFailure(m_strPath, COsException());
    if (!CFile::kCreateTakesMode && mode && !m_file.SetMode(*mode) && !failure)
        failure = CTarMessages::FileFailure(m_strPath, COsException());
    return failure;
}

void CExtractedFile::Commit()
{
    if (!m_file.Close())
        Fail();
    if (m_strWritten != m_strPath && !CFile::Rename(m_strWritten, m_strPath))
        Fail();
    m_bCommitted = true;
}

void CExtractedFile::Fail() const
{
    throw CGenericException(CTarMessages::FileFailure(m_strPath, COsException()));
}
