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

void CGzipDecoder::Decode(const unsigned char* in, std::size_t size,
                          std::vector<unsigned char>& out)
{
    while (size > 0)
    {
        if (!m_bInMember)
        {
            const unsigned char* data =
                std::find_if(in, in + size, [](unsigned char c) { return c != 0; });
            size -= static_cast<std::size_t>(data - in);
            in = data;
            if (size == 0)
                return;
            if (m_bEnded)
                inflateReset(&m_stream);
            m_bInMember = true;
        }
        // zlib counts its input in unsigned int.
        const uInt part = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
        m_stream.next_in = const_cast<Bytef*>(in);
        m_stream.avail_in = part;
        Inflate(out);
        const std::size_t used = part - m_stream.avail_in;
        in += used;
        size -= used;
    }
}

void CGzipDecoder::Inflate(std::vector<unsigned char>& out)
{
    for (;;)
    {
        const std::size_t filled = out.size();
        out.resize(filled + kOutputStep);
        m_stream.next_out = out.data() + filled;
        m_stream.avail_out = static_cast<uInt>(kOutputStep);
        const int result = inflate(&m_stream, Z_NO_FLUSH);
        out.resize(filled + kOutputStep - m_stream.avail_out);
        if (result == Z_STREAM_END)
        {
            m_bInMember = false;
            m_bEnded = true;
            return;
        }
        if (result == Z_MEM_ERROR)
            throw CMemoryException();
        // Z_BUF_ERROR only says that no progress was possible: the input is used.
        if (result != Z_OK && result != Z_BUF_ERROR)
            throw CGenericException(kDamaged);
        // zlib stops at the end of its input or of the room it was given.
        if (m_stream.avail_out != 0)
            return;
    }
}

void CGzipDecoder::Finish()
{
    if (m_bInMember)
        throw CGenericException(kCutShort);
}
