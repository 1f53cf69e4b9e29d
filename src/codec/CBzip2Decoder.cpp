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

void CBzip2Decoder::Decode(const unsigned char* in, std::size_t size,
                           std::vector<unsigned char>& out)
{
    while (size > 0)
    {
        if (m_bEnded)
        {
            BZ2_bzDecompressEnd(&m_stream);
            m_bEnded = false;
            Start();
        }
        m_bInStream = true;
        // libbz2 counts its input in unsigned int.
        const unsigned part = static_cast<unsigned>(std::min<std::size_t>(size, UINT_MAX));
        m_stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(in));
        m_stream.avail_in = part;
        Decompress(out);
        const std::size_t used = part - m_stream.avail_in;
        in += used;
        size -= used;
    }
}

void CBzip2Decoder::Decompress(std::vector<unsigned char>& out)
{
    for (;;)
    {
        const std::size_t filled = out.size();
        out.resize(filled + kOutputStep);
        m_stream.next_out = reinterpret_cast<char*>(out.data() + filled);
        m_stream.avail_out = static_cast<unsigned>(kOutputStep);
        const int result = BZ2_bzDecompress(&m_stream);
        out.resize(filled + kOutputStep - m_stream.avail_out);
        if (result == BZ_STREAM_END)
        {
            m_bInStream = false;
            m_bEnded = true;
            return;
        }
        if (result == BZ_MEM_ERROR)
            throw CMemoryException();
        if (result != BZ_OK)
            throw CGenericException(kDamaged);
        if (m_stream.avail_in == 0 && m_stream.avail_out != 0)
            return;
    }
}

void CBzip2Decoder::Finish()
{
    if (m_bInStream)
        throw CGenericException(kCutShort);
}
