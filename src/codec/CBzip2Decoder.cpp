#include "codec/CBzip2Decoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

#include <algorithm>
#include <climits>

CBzip2Decoder::CBzip2Decoder()
{
    Start();
}

CBzip2Decoder::~CBzip2Decoder()
{
    BZ2_bzDecompressEnd(&m_stream);
}

void CBzip2Decoder::Start()
{
    m_stream = bz_stream{};
    if (BZ2_bzDecompressInit(&m_stream, 0, 0) != BZ_OK)
        throw CMemoryException();
}

std::size_t CBzip2Decoder::DecodeInto(const unsigned char* in, std::size_t size,
                                      unsigned char* room, std::size_t most, std::size_t& made)
{
    std::size_t used = 0;
    while (made < most && (used < size || m_bInStream))
    {
        if (!m_bInStream)
        {
            used += LeadingZeros(in + used, size - used);
            if (used == size)
                break;
            if (m_bEnded)
            {
                BZ2_bzDecompressEnd(&m_stream);
                m_bEnded = false;
                Start();
            }
            m_bInStream = true;
        }
        // libbz2 counts in unsigned int.
        const unsigned given = static_cast<unsigned>(std::min<std::size_t>(size - used, UINT_MAX));
        const unsigned space = static_cast<unsigned>(std::min<std::size_t>(most - made, UINT_MAX));
        m_stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(in + used));
        m_stream.avail_in = given;
        m_stream.next_out = reinterpret_cast<char*>(room + made);
        m_stream.avail_out = space;
        const int result = BZ2_bzDecompress(&m_stream);
        used += given - m_stream.avail_in;
        made += space - m_stream.avail_out;
        if (result == BZ_STREAM_END)
        {
            m_bInStream = false;
            m_bEnded = true;
            continue;
        }
        if (result == BZ_MEM_ERROR)
            throw CMemoryException();
        if (result != BZ_OK)
            throw CGenericException(kDamaged);
        if (m_stream.avail_in == given && m_stream.avail_out == space)
            break;
    }
    return used;
}

void CBzip2Decoder::FinishStream()
{
    if (m_bInStream)
        throw CGenericException(kCutShort);
}
