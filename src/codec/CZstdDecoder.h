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

    std::size_t Decode(const unsigned char* in, std::size_t size,
                       std::vector<unsigned char>& out, std::size_t most) override;
    void Finish() override;

private:
    ZSTD_DCtx* m_context;
    // What the library last said it still needs: 0 when a frame is whole.
    std::size_t m_nWanted = 0;
};
