#pragma once
#include "codec/CEncoder.h"

#include <zstd.h>

// Writes one zstd frame, with its checksum, through libzstd's streaming
// compressor; with more than one thread the library compresses on workers
// of its own while the caller goes on feeding it.
class CZstdEncoder : public CEncoder
{
public:
    CZstdEncoder(int level, int threads);
    ~CZstdEncoder() override;

    void Encode(const unsigned char* in, std::size_t size,
                std::vector<unsigned char>& out) override;
    void Finish(std::vector<unsigned char>& out) override;

private:
    // Runs the compressor until the input is taken (ZSTD_e_continue) or
    // the frame is written out (ZSTD_e_end).
    void Compress(ZSTD_inBuffer& input, ZSTD_EndDirective mode, std::vector<unsigned char>& out);

    ZSTD_CCtx* m_context;
};
