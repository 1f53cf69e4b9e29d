#pragma once
#include "codec/CBlockPool.h"
#include "codec/CEncoder.h"

// Writes bzip2 by cutting the data into blocks of the level's block size
// (100 000 bytes a level) and compressing each as a stream of its own on
// several threads: every bzip2 reader reads streams that follow one another
// as one.
class CBzip2Encoder : public CEncoder
{
public:
    CBzip2Encoder(int level, int threads);

    void Encode(const unsigned char* in, std::size_t size,
                std::vector<unsigned char>& out) override;
    void Finish(std::vector<unsigned char>& out) override;

private:
    static void Compress(CBlockPool::SBlock& block, int level);
    static void Append(const CBlockPool::SBlock& block, std::vector<unsigned char>& out);

    CBlockPool m_pool;
};
