#include "codec/CGzipDecoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

#include <algorithm>
#include <climits>

namespace
{
// Window bits for a gzip wrapper around the largest deflate window.
constexpr int kGzipWindow = 15 + 16;
} // namespace

CGzipDecoder::CGzipDecoder()
{
    if (inflateInit2(&m_stream, kGzipWindow) != Z_OK)
        throw CMemoryException();
}

CGzipDecoder::~CGzipDecoder()
{
    inflateEnd(&m_stream);
}

std::size_t CGzipDecoder::DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                                     std::size_t most, std::size_t& made)
{
    std::size_t used = 0;
    while (made < most)
    {
        if (!m_bInMember)
        {
            used += LeadingZeros(in + used, size - used);
            if (used == size)
                break;
            if (m_bEnded)
                inflateReset(&m_stream);
            m_bInMember = true;
        }
        // zlib counts in unsigned int.
        const uInt given = static_cast<uInt>(std::min<std::size_t>(size - used, UINT_MAX));
        const uInt space = static_cast<uInt>(std::min<std::size_t>(most - made, UINT_MAX));
        m_stream.next_in = const_cast<Bytef*>(in + used);
        m_stream.avail_in = given;
        m_stream.next_out = room + made;
        m_stream.avail_out = space;
        const int result = inflate(&m_stream, Z_NO_FLUSH);
        used += given - m_stream.avail_in;
        made += space - m_stream.avail_out;
        if (result == Z_STREAM_END)
        {
            m_bInMember = false;
            m_bEnded = true;
            continue;
        }
        if (result == Z_MEM_ERROR)
            throw CMemoryException();
        // Z_BUF_ERROR only says that no progress was possible: the input is used.
        if (result != Z_OK && result != Z_BUF_ERROR)
            throw CGenericException(kDamaged);
        if (m_stream.avail_in == given && m_stream.avail_out == space)
            break;
    }
    return used;
}

void CGzipDecoder::FinishStream()
{
    if (m_bInMember)
        throw CGenericException(kCutShort);
}
