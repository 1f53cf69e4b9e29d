#pragma once
#include "codec/CDecoder.h"

#include <lzma.h>

// Reads xz streams through liblzma, whose decoder takes streams that follow
// one another (and the padding between them) as one.
class CXzDecoder : public CDecoder
{
public:
    CXzDecoder();
    ~CXzDecoder() override;

protected:
    std::size_t DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                           std::size_t most, std::size_t& made) override;
    void FinishStream() override;

private:
    lzma_stream m_stream = LZMA_STREAM_INIT;
    bool m_bRead = false; // any input at all
};
