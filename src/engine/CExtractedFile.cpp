#include "engine/CExtractedFile.h"

#include "core/CGenericException.h"
#include "core/COsException.h"
#include "engine/CTarMessages.h"
#include "platform/CFileStatus.h"
#include "platform/COpenFolder.h"
#include "platform/CSystemError.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

namespace
{

constexpr unsigned kCreateNew =
    CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite | CFile::modeNoFollow;
} // namespace

std::string CExtractedFile::BesideName()
{
    static std::atomic<unsigned> counter{0};
    return ".vorkant-" + std::to_string(counter++) + ".part";
}

CExtractedFile::CExtractedFile(std::shared_ptr<const COpenFolder> folder, const std::string& name,
                               std::string path, unsigned mode)
    : m_folder(std::move(folder)), m_strName(name), m_strPath(std::move(path)), m_nMode(mode)
{
    // Most members land where nothing stands: one call finds that out.
    if (Create(m_strName))
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
    CFile::RemoveIn(*m_folder, m_strWritten);
}

bool CExtractedFile::Create(const std::string& name)
{
    if (!m_file.OpenIn(*m_folder, name, kCreateNew, m_nMode))
        return false;
    m_strWritten = name;
    return true;
}

void CExtractedFile::Replace()
{
    CFileStatus status;
    if (!CFileStatus::GetIn(*m_folder, m_strName, status, false))
        Fail();
    if (status.m_bLink)
    {
        if (!CFile::RemoveIn(*m_folder, m_strName) || !Create(m_strName))
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
    for (int i = 0; i < kBesideTries; ++i)
    {
        if (Create(BesideName()))
            return;
        if (CSystemError::GetLast() != ERROR_FILE_EXISTS)
            break;
    }
    Fail();
}

void CExtractedFile::LeaveHoles(CSparseMap map)
{
    m_file.SetSparse();
    m_sparse = std::move(map);
}

bool CExtractedFile::Write(const unsigned char* data, std::uint32_t size)
{
    if (!m_sparse)
        return m_file.Write(data, size);
    const std::vector<CFile::SRegion>& regions = m_sparse->m_regions;
    // What the archive holds past the last region is padding.
    while (size > 0 && m_nRegion < regions.size())
    {
        const CFile::SRegion& region = regions[m_nRegion];
        if (m_nInRegion == 0 && region.size > 0 &&
            !m_file.Seek(static_cast<std::int64_t>(region.offset), CFile::begin))
            return false;
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(size, region.size - m_nInRegion));
        if (count > 0 && !m_file.Write(data, count))
            return false;
        data += count;
        size -= count;
        m_nInRegion += count;
        if (m_nInRegion == region.size)
        {
            ++m_nRegion;
            m_nInRegion = 0;
        }
    }
    return true;
}

void CExtractedFile::Complete()
{
    if (m_sparse && !m_file.SetLength(m_sparse->m_nRealSize))
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
    if (m_strWritten != m_strName && !CFile::RenameIn(*m_folder, m_strWritten, m_strName))
        Fail();
    m_bCommitted = true;
}

void CExtractedFile::Fail() const
{
    throw CGenericException(CTarMessages::FileFailure(m_strPath, COsException()));
}
