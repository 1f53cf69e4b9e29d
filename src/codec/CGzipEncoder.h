#pragma once
#include "codec/CBlockPool.h"
#include "codec/CEncoder.h"

#include <cstdint>

// Writes one gzip member whose deflate data is compressed in blocks on
// several threads. Each block is raw deflate primed with the 32 KiB of
// input before it, so that the ratio stays close to a single compressor's;
// each but the last ends on a byte boundary with an empty stored block
// (a sync flush), the last with the final one, so the blocks in order are
// one deflate stream. Each block's CRC-32 is taken on its worker and the
// member's joined from them.
class CGzipEncoder : public CEncoder
{
public:
    CGzipEncoder(int level, int threads);

    void Encode(const unsigned char* in, std::size_t size,
                std::vector<unsigned char>& out) override;
    void Finish(std::vector<unsigned char>& out) override;

private:
    static void Compress(CBlockPool::SBlock& block, int level);
    void Append(CBlockPool::SBlock& block, std::vector<unsigned char>& out);
    void AppendHeader(std::vector<unsigned char>& out) const;
    void AppendTrailer(std::vector<unsigned char>& out) const;

    const int m_nLevel;
    bool m_bStarted = false;
    std::uint32_t m_nCrc = 0;
    std::uint32_t m_nSize = 0; // the input's size modulo 2^32, as the trailer keeps it
    // Last, so that its workers stop before the rest goes.
    CBlockPool m_pool;
};
