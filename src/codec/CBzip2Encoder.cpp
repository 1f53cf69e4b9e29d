#include "codec/CBzip2Encoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

#include <bzlib.h>

namespace
{
constexpr std::size_t kBlockSizePerLevel = 100000;
} // namespace

CBzip2Encoder::CBzip2Encoder(int level, int threads)
    : m_pool(kBlockSizePerLevel * static_cast<std::size_t>(level), 0, threads,
             [level](CBlockPool::SBlock& block) { Compress(block, level); })
{
}

void CBzip2Encoder::Encode(const unsigned char* in, std::size_t size,
                           std::vector<unsigned char>& out)
{
    m_pool.Add(in, size, [&out](CBlockPool::SBlock& block) { Append(block, out); });
}

void CBzip2Encoder::Finish(std::vector<unsigned char>& out)
{
    m_pool.Finish([&out](CBlockPool::SBlock& block) { Append(block, out); });
}

void CBzip2Encoder::Compress(CBlockPool::SBlock& block, int level)
{
    const auto size = static_cast<unsigned>(block.input.size());
    // The bound libbz2 documents for one stream: a hundredth more, and 600 bytes.
    unsigned room = size + size / 100 + 600;
    block.output.resize(room);
    const int result =
        BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(block.output.data()), &room,
                                 reinterpret_cast<char*>(block.input.data()), size, level, 0, 0);
    if (result == BZ_MEM_ERROR)
        throw CMemoryException();
    if (result != BZ_OK)
        throw CGenericException(kFailed);
    block.output.resize(room);
}

void CBzip2Encoder::Append(const CBlockPool::SBlock& block, std::vector<unsigned char>& out)
{
    out.insert(out.end(), block.output.begin(), block.output.end());
}
