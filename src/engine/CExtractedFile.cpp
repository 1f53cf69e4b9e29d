#include "engine/CExtractedFile.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CTarMessages.h"
#include "platform/CFileStatus.h"
#include "platform/CSystemError.h"
#include "platform/PathStyle.h"

#include <atomic>
#include <utility>

namespace
{

constexpr unsigned kCreateNew =
    CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite | CFile::modeNoFollow;
// Names beside the old file are tried in turn until one is free: one left
// by an extraction that never ended takes a number, not the member.
constexpr int kBesideTries = 100;

std::string FolderOf(const std::string& path)
{
    const std::size_t end = kHostPathStyle == EPathStyle::Windows ? path.find_last_of("\\/:")
                                                                  : path.find_last_of('/');
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// A short name of fixed length, whatever the member's, so that it fits
// wherever the member's own name does.
std::string BesideName(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    return folder + ".vorkant-" + std::to_string(counter++) + ".part";
}

} // namespace

CExtractedFile::CExtractedFile(std::string path, unsigned mode)
    : m_strPath(std::move(path)), m_nMode(mode)
{
    // Most members land where nothing stands: one call finds that out.
    if (Create(m_strPath))
        return;
    const DWORD error = CSystemError::GetLast();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
        Fail();
    Replace();
}

CExtractedFile::~CExtractedFile()
{
    if (m_bCommitted || m_strWritten.empty())
        return;
    m_file.Close();
    CFile::Remove(m_strWritten);
}

bool CExtractedFile::Create(const std::string& name)
{
    if (!m_file.Open(name, kCreateNew, m_nMode))
        return false;
    m_strWritten = name;
    return true;
}

void CExtractedFile::Replace()
{
    CFileStatus status;
    if (!CFileStatus::Get(m_strPath, status, false))
        Fail();
    if (status.m_bLink)
    {
        if (!CFile::Remove(m_strPath) || !Create(m_strPath))
            Fail();
        return;
    }
    if (status.m_bDirectory)
    {
        CSystemError::SetLast(ERROR_ACCESS_DENIED);
        Fail();
    }
    CreateBeside();
}

void CExtractedFile::CreateBeside()
{
    const std::string folder = FolderOf(m_strPath);
    for (int i = 0; i < kBesideTries; ++i)
    {
        if (Create(BesideName(folder)))
            return;
        if (CSystemError::GetLast() != ERROR_FILE_EXISTS)
            break;
    }
    Fail();
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
