#pragma once
#include "codec/CDecoder.h"

#include <zstd.h>

// Reads zstd frames through libzstd, whose streaming decoder goes from one
// frame on to the next by itself.
class CZstdDecoder : public CDecoder
{
public:
    CZstdDecoder();
    ~CZstdDecoder() override;

protected:
    std::size_t DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                           std::size_t most, std::size_t& made) override;
    void FinishStream() override;

private:
    ZSTD_DCtx* m_context;
    // What the library last said it still needs: 0 when a frame is whole.
    std::size_t m_nWanted = 0;
};
