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

void CZstdDecoder::Decode(const unsigned char* in, std::size_t size,
                          std::vector<unsigned char>& out)
{
    ZSTD_inBuffer input{in, size, 0};
    for (;;)
    {
        const std::size_t filled = out.size();
        out.resize(filled + kOutputStep);
        ZSTD_outBuffer output{out.data() + filled, kOutputStep, 0};
        const std::size_t wanted = ZSTD_decompressStream(m_context, &output, &input);
        out.resize(filled + output.pos);
        if (ZSTD_isError(wanted))
            throw CGenericException(kDamaged);
        m_nWanted = wanted;
        if (input.pos == input.size && output.pos < output.size)
            return;
    }
}

void CZstdDecoder::Finish()
{
    if (m_nWanted != 0)
        throw CGenericException(kCutShort);
}
