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

std::size_t CZstdDecoder::DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                                     std::size_t most, std::size_t& made)
{
    ZSTD_inBuffer input{in, size, 0};
    ZSTD_outBuffer output{room, most, 0};
    while (output.pos < output.size)
    {
        if (m_nWanted == 0)
            input.pos += LeadingZeros(in + input.pos, size - input.pos);
        const std::size_t before = input.pos + output.pos;
        const std::size_t wanted = ZSTD_decompressStream(m_context, &output, &input);
        made = output.pos;
        if (ZSTD_isError(wanted))
            throw CGenericException(kDamaged);
        // A call that took nothing in asks for the next frame's start.
        if (input.pos + output.pos == before)
            break;
        m_nWanted = wanted;
    }
    return input.pos;
}

void CZstdDecoder::FinishStream()
{
    if (m_nWanted != 0)
        throw CGenericException(kCutShort);
}
