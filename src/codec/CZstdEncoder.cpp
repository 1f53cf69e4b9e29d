#include "codec/CZstdEncoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

CZstdEncoder::CZstdEncoder(int level, int threads) : m_context(ZSTD_createCCtx())
{
    if (!m_context)
        throw CMemoryException();
    ZSTD_CCtx_setParameter(m_context, ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter(m_context, ZSTD_c_checksumFlag, 1);
    // A library built without threads refuses workers and compresses on
    // the caller's thread; one thread is the caller's too, not one worker
    // beside it.
    if (threads > 1)
        ZSTD_CCtx_setParameter(m_context, ZSTD_c_nbWorkers, threads);
}

CZstdEncoder::~CZstdEncoder()
{
    ZSTD_freeCCtx(m_context);
}

void CZstdEncoder::Encode(const unsigned char* in, std::size_t size,
                          std::vector<unsigned char>& out)
{
    ZSTD_inBuffer input{in, size, 0};
    Compress(input, ZSTD_e_continue, out);
}

void CZstdEncoder::Finish(std::vector<unsigned char>& out)
{
    ZSTD_inBuffer input{nullptr, 0, 0};
    Compress(input, ZSTD_e_end, out);
}

void CZstdEncoder::Compress(ZSTD_inBuffer& input, ZSTD_EndDirective mode,
                            std::vector<unsigned char>& out)
{
    for (;;)
    {
        const std::size_t filled = out.size();
        out.resize(filled + kOutputStep);
        ZSTD_outBuffer output{out.data() + filled, kOutputStep, 0};
        const std::size_t left = ZSTD_compressStream2(m_context, &output, &input, mode);
        out.resize(filled + output.pos);
        if (ZSTD_isError(left))
            throw CGenericException(kFailed);
        // Going on, the input taken is enough; at the end, nothing may be left.
        if (mode == ZSTD_e_end ? left == 0 : input.pos == input.size)
            return;
    }
}
