#include "codec/CXzDecoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

#include <cstdint>

CXzDecoder::CXzDecoder()
{
    // No memory limit: the archive's own settings decide, as for xz itself.
    if (lzma_stream_decoder(&m_stream, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK)
        throw CMemoryException();
}

CXzDecoder::~CXzDecoder()
{
    lzma_end(&m_stream);
}

std::size_t CXzDecoder::DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                                   std::size_t most, std::size_t& made)
{
    m_bRead = m_bRead || size > 0;
    m_stream.next_in = in;
    m_stream.avail_in = size;
    m_stream.next_out = room;
    m_stream.avail_out = most;
    while (m_stream.avail_out > 0)
    {
        const std::size_t before = m_stream.avail_in + m_stream.avail_out;
        const lzma_ret result = lzma_code(&m_stream, LZMA_RUN);
        made = most - m_stream.avail_out;
        if (result == LZMA_MEM_ERROR)
            throw CMemoryException();
        // LZMA_BUF_ERROR says that a second call in a row made no progress;
        // whether the stream was cut is Finish's question.
        if (result == LZMA_BUF_ERROR)
            break;
        if (result != LZMA_OK)
            throw CGenericException(kDamaged);
        if (m_stream.avail_in + m_stream.avail_out == before)
            break;
    }
    return size - m_stream.avail_in;
}

void CXzDecoder::FinishStream()
{
    if (!m_bRead)
        return;
    // All the data came out while the input ran; finishing only checks
    // that the last stream is whole. liblzma says LZMA_BUF_ERROR on the
    // second call that makes no progress, so this ends.
    unsigned char spare[64];
    lzma_ret result = LZMA_OK;
    while (result == LZMA_OK)
    {
        m_stream.next_out = spare;
        m_stream.avail_out = sizeof spare;
        result = lzma_code(&m_stream, LZMA_FINISH);
    }
    if (result == LZMA_STREAM_END)
        return;
    throw CGenericException(result == LZMA_BUF_ERROR ? kCutShort : kDamaged);
}
