#pragma once
#include "codec/CEncoder.h"

#include <lzma.h>

// Writes xz through liblzma: with more than one thread its multi-threaded
// encoder, which compresses blocks of three dictionaries' size on threads
// of its own (no more than a quarter of the machine's memory holds) and
// writes their sizes into the block headers; with one, the plain encoder.
// Both write one stream with CRC-64 checks.
class CXzEncoder : public CEncoder
{
public:
    CXzEncoder(int level, int threads);
    ~CXzEncoder() override;

    void Encode(const unsigned char* in, std::size_t size,
                std::vector<unsigned char>& out) override;
    void Finish(std::vector<unsigned char>& out) override;

private:
    // Runs the encoder until the input is taken (LZMA_RUN) or the stream
    // is written out (LZMA_FINISH).
    void Code(lzma_action action, std::vector<unsigned char>& out);

    lzma_stream m_stream = LZMA_STREAM_INIT;
};
