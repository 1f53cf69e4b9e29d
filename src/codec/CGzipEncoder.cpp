#include "codec/CGzipEncoder.h"

#include "core/CGenericException.h"
#include "core/CMemoryException.h"

#include <zlib.h>

#include <iterator>

namespace
{
// Blocks small enough to share out among the threads early, big enough
// that the dictionary each is primed with costs little.
constexpr std::size_t kBlockSize = 128 * 1024;
// The whole window deflate may look back over.
constexpr std::size_t kDictionarySize = 32 * 1024;
// Raw deflate, no wrapper: the member's header and trailer are ours.
constexpr int kRawWindow = -15;
constexpr int kMemoryLevel = 8;
// The operating system field: unknown.
constexpr unsigned char kUnknownSystem = 255;

void AppendLittle32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

// Frees zlib's state however the block ends.
struct SDeflateEnd
{
    z_stream* stream;
    ~SDeflateEnd() { deflateEnd(stream); }
};
} // namespace

CGzipEncoder::CGzipEncoder(int level, int threads)
    : m_nLevel(level), m_pool(kBlockSize, kDictionarySize, threads,
                              [level](CBlockPool::SBlock& block) { Compress(block, level); })
{
}

void CGzipEncoder::Encode(const unsigned char* in, std::size_t size,
                          std::vector<unsigned char>& out)
{
    m_pool.Add(in, size, [this, &out](CBlockPool::SBlock& block) { Append(block, out); });
}

void CGzipEncoder::Finish(std::vector<unsigned char>& out)
{
    m_pool.Finish([this, &out](CBlockPool::SBlock& block) { Append(block, out); });
}

void CGzipEncoder::Compress(CBlockPool::SBlock& block, int level)
{
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, kRawWindow, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        throw CMemoryException();
    SDeflateEnd end{&stream};
    if (!block.dictionary.empty() &&
        deflateSetDictionary(&stream, block.dictionary.data(),
                             static_cast<uInt>(block.dictionary.size())) != Z_OK)
        throw CGenericException(kFailed);
    const uInt size = static_cast<uInt>(block.input.size());
    stream.next_in = block.input.data();
    stream.avail_in = size;
    // The bound holds for a finish; a sync flush adds its empty stored block.
    block.output.resize(deflateBound(&stream, size) + 16);
    stream.next_out = block.output.data();
    stream.avail_out = static_cast<uInt>(block.output.size());
    const int flush = block.bLast ? Z_FINISH : Z_SYNC_FLUSH;
    const int result = deflate(&stream, flush);
    if (result != (block.bLast ? Z_STREAM_END : Z_OK) || stream.avail_in != 0 ||
        stream.avail_out == 0)
        throw CGenericException(kFailed);
    block.output.resize(stream.total_out);
    block.nCheck =
        static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), block.input.data(), size));
}

void CGzipEncoder::Append(CBlockPool::SBlock& block, std::vector<unsigned char>& out)
{
    if (!m_bStarted)
    {
        AppendHeader(out);
        m_bStarted = true;
    }
    out.insert(out.end(), block.output.begin(), block.output.end());
    m_nCrc = static_cast<std::uint32_t>(
        crc32_combine(m_nCrc, block.nCheck, static_cast<z_off_t>(block.input.size())));
    m_nSize += static_cast<std::uint32_t>(block.input.size());
    if (block.bLast)
        AppendTrailer(out);
}

void CGzipEncoder::AppendHeader(std::vector<unsigned char>& out) const
{
    // Extra flags: 2 for the slowest compression, 4 for the fastest.
    const unsigned char extra = m_nLevel == 9 ? 2 : m_nLevel == 1 ? 4 : 0;
    // Magic, deflate, no flags, no modification time.
    const unsigned char header[] = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, extra, kUnknownSystem};
    out.insert(out.end(), std::begin(header), std::end(header));
}

void CGzipEncoder::AppendTrailer(std::vector<unsigned char>& out) const
{
    AppendLittle32(out, m_nCrc);
    AppendLittle32(out, m_nSize);
}
