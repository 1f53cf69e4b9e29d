#include "codec/CZstdDecoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

CZstdDecoder::CZstdDecoder() : m_context(ZSTD_createDCtx())
{
    if (!m_context)
        throw CMemoryException();
}

CZstdDecoder::~CZstdDecoder()
{
    ZSTD_freeDCtx(m_context);
}

std::size_t CZstdDecoder::Decode(const unsigned char* in, std::size_t size,
                                 std::vector<unsigned char>& out, std::size_t most)
{
    const std::size_t filled = out.size();
    out.resize(filled + most);
    ZSTD_inBuffer input{in, size, 0};
    ZSTD_outBuffer output{out.data() + filled, most, 0};
    while (output.pos < output.size)
    {
        const std::size_t before = input.pos + output.pos;
        const std::size_t wanted = ZSTD_decompressStream(m_context, &output, &input);
        if (ZSTD_isError(wanted))
            throw CGenericException(kDamaged);
        // A call that took nothing in asks for the next frame's start.
        if (input.pos + output.pos == before)
            break;
        m_nWanted = wanted;
    }
    out.resize(filled + output.pos);
    return input.pos;
}

void CZstdDecoder::Finish()
{
    if (m_nWanted != 0)
        throw CGenericException(kCutShort);
}
