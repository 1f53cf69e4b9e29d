#include "codec/CXzEncoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

#include <cstdint>

namespace
{
lzma_ret Start(lzma_stream& stream, int level, int threads)
{
    lzma_mt options{};
    options.threads = static_cast<std::uint32_t>(threads);
    options.preset = static_cast<std::uint32_t>(level);
    options.check = LZMA_CHECK_CRC64;
    // Each thread holds an encoder and a block in and out, some 165 MiB at
    // level 6: as xz itself does, fewer threads rather than more than a
    // quarter of the machine's memory (when it is known).
    const std::uint64_t memory = lzma_physmem();
    const std::uint64_t budget = memory == 0 ? UINT64_MAX : memory / 4;
    while (options.threads > 1 && lzma_stream_encoder_mt_memusage(&options) > budget)
        --options.threads;
    if (options.threads <= 1)
        return lzma_easy_encoder(&stream, options.preset, options.check);
    return lzma_stream_encoder_mt(&stream, &options);
}
} // namespace

CXzEncoder::CXzEncoder(int level, int threads)
{
    const lzma_ret result = Start(m_stream, level, threads);
    if (result == LZMA_MEM_ERROR)
        throw CMemoryException();
    if (result != LZMA_OK)
        throw CGenericException(kFailed);
}

CXzEncoder::~CXzEncoder()
{
    lzma_end(&m_stream);
}

void CXzEncoder::Encode(const unsigned char* in, std::size_t size, std::vector<unsigned char>& out)
{
    m_stream.next_in = in;
    m_stream.avail_in = size;
    Code(LZMA_RUN, out);
}

void CXzEncoder::Finish(std::vector<unsigned char>& out)
{
    m_stream.next_in = nullptr;
    m_stream.avail_in = 0;
    Code(LZMA_FINISH, out);
}

void CXzEncoder::Code(lzma_action action, std::vector<unsigned char>& out)
{
    for (;;)
    {
        const std::size_t filled = out.size();
        out.resize(filled + kOutputStep);
        m_stream.next_out = out.data() + filled;
        m_stream.avail_out = kOutputStep;
        const lzma_ret result = lzma_code(&m_stream, action);
        out.resize(filled + kOutputStep - m_stream.avail_out);
        if (result == LZMA_STREAM_END)
            return;
        if (result == LZMA_MEM_ERROR)
            throw CMemoryException();
        if (result != LZMA_OK)
            throw CGenericException(kFailed);
        if (action == LZMA_RUN && m_stream.avail_in == 0 && m_stream.avail_out != 0)
            return;
    }
}
