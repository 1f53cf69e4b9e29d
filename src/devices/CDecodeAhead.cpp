#include "devices/CDecodeAhead.h"

#include "codec/CDecoder.h"
#include "core/COsException.h"
#include "platform/CFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
// Compressed bytes read at a time, and the most a decompressed piece holds.
constexpr std::uint32_t kInputSize = 256 * 1024;
constexpr std::size_t kPieceSize = 1024 * 1024;
// Pieces waiting before the decoder waits too.
constexpr std::size_t kMostPieces = 4;
} // namespace

CDecodeAhead::CDecodeAhead(const std::string& path, ECodecKind kind)
    : m_strPath(path), m_kind(kind), m_thread(&CDecodeAhead::Run, this)
{
}

CDecodeAhead::~CDecodeAhead()
{
    {
        std::lock_guard guard(m_lock);
        m_bStop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::size_t CDecodeAhead::Read(unsigned char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size)
    {
        if (m_nTaken == m_piece.size())
        {
            std::unique_lock guard(m_lock);
            if (!TakePiece(guard))
            {
                // What came before a failure is handed out first.
                if (m_failure && done == 0)
                    std::rethrow_exception(m_failure);
                break;
            }
        }
        const std::size_t count = std::min(size - done, m_piece.size() - m_nTaken);
        std::memcpy(buffer + done, m_piece.data() + m_nTaken, count);
        m_nTaken += count;
        done += count;
    }
    return done;
}

std::size_t CDecodeAhead::Ahead(std::size_t size)
{
    std::unique_lock guard(m_lock);
    for (;;)
    {
        std::size_t ahead = m_piece.size() - m_nTaken;
        for (const auto& piece : m_pieces)
            ahead += piece.size();
        if (ahead >= size)
            return size;
        // A full queue of small pieces is as far as the decoder goes.
        if (m_bEnd || m_pieces.size() >= kMostPieces)
        {
            if (m_failure && ahead == 0)
                std::rethrow_exception(m_failure);
            return ahead;
        }
        m_changed.wait(guard);
    }
}

bool CDecodeAhead::TakePiece(std::unique_lock<std::mutex>& guard)
{
    m_changed.wait(guard, [this] { return !m_pieces.empty() || m_bEnd; });
    if (m_pieces.empty())
        return false;
    m_piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    m_nTaken = 0;
    m_changed.notify_all();
    return true;
}

void CDecodeAhead::Run()
{
    try
    {
        Decode();
    }
    catch (...)
    {
        std::lock_guard guard(m_lock);
        m_failure = std::current_exception();
    }
    {
        std::lock_guard guard(m_lock);
        m_bEnd = true;
    }
    m_changed.notify_all();
}

void CDecodeAhead::Decode()
{
    CFile file;
    if (!file.Open(m_strPath, CFile::modeRead | CFile::osSequentialScan))
        throw COsException();
    const std::unique_ptr<CDecoder> decoder = CDecoder::Make(m_kind);
    std::vector<unsigned char> input(kInputSize);
    std::uint32_t length = 0;
    std::size_t used = 0;
    // A piece that filled its room may leave more in the decoder: it is
    // asked again before more input is read, and after the last.
    bool full = false;
    for (;;)
    {
        if (used == length && !full)
        {
            if (!file.Read(input.data(), kInputSize, length))
                throw COsException();
            used = 0;
            if (length == 0)
                break;
        }
        std::vector<unsigned char> piece;
        piece.reserve(kPieceSize);
        used += decoder->Decode(input.data() + used, length - used, piece, kPieceSize);
        full = piece.size() == kPieceSize;
        if (!piece.empty() && !Hand(std::move(piece)))
            return;
    }
    decoder->Finish();
}

bool CDecodeAhead::Hand(std::vector<unsigned char> piece)
{
    std::unique_lock guard(m_lock);
    m_changed.wait(guard, [this] { return m_bStop || m_pieces.size() < kMostPieces; });
    if (m_bStop)
        return false;
    m_pieces.push_back(std::move(piece));
    guard.unlock();
    m_changed.notify_all();
    return true;
}
