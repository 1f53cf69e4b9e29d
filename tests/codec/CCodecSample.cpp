#include "codec/CCodecSample.h"

#include "codec/CDecoder.h"
#include "codec/CEncoder.h"
#include "support/CPeerShell.h"
#include "support/CTestFolder.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <vector>

namespace
{
using Bytes = std::vector<unsigned char>;

// Sizes that fall across every block and buffer boundary.
constexpr std::size_t kPieceSizes[] = {1, 4093, 7, 65537, 300, 131071};

void InPieces(const std::string& data,
              const std::function<void(const unsigned char*, std::size_t)>& take)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t offset = 0;
    for (std::size_t i = 0; offset < data.size(); ++i)
    {
        const std::size_t size =
            std::min(kPieceSizes[i % std::size(kPieceSizes)], data.size() - offset);
        take(bytes + offset, size);
        offset += size;
    }
}

std::string ToString(const Bytes& bytes)
{
    return {bytes.begin(), bytes.end()};
}
} // namespace

std::string CCodecSample::Text(std::size_t size)
{
    static const char* const kWords[] = {
        "archive", "tape",  "member", "header",   "record", "the",  "of",   "and",
        "folder",  "block", "1987",   "checksum", "a",      "size", "name", "link"};
    std::string text;
    std::uint32_t state = 12345;
    while (text.size() < size)
    {
        state = state * 1103515245 + 12345;
        text += kWords[(state >> 16) % std::size(kWords)];
        text += (state >> 8) % 11 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

std::string CCodecSample::Encode(ECodecKind kind, int level, int threads, const std::string& data)
{
    const auto encoder = CEncoder::Make(kind, level, threads);
    Bytes out;
    InPieces(data,
             [&](const unsigned char* in, std::size_t size) { encoder->Encode(in, size, out); });
    encoder->Finish(out);
    return ToString(out);
}

std::string CCodecSample::Decode(ECodecKind kind, const std::string& data)
{
    const auto decoder = CDecoder::Make(kind);
    std::string out = Feed(*decoder, data);
    decoder->Finish();
    return out;
}

std::string CCodecSample::Feed(CDecoder& decoder, const std::string& data)
{
    Bytes out;
    // Little room at a time, so that data waiting in the decoder is
    // taken out over several calls.
    constexpr std::size_t kRoom = 1000;
    InPieces(data, [&](const unsigned char* in, std::size_t size) {
        for (;;)
        {
            const std::size_t filled = out.size();
            const std::size_t used = decoder.Decode(in, size, out, kRoom);
            in += used;
            size -= used;
            if (out.size() - filled < kRoom && size == 0)
                return;
        }
    });
    return ToString(out);
}

bool CCodecSample::HasTool([[maybe_unused]] const CTestFolder& folder,
                           [[maybe_unused]] const std::string& tool)
{
#ifdef _WIN32
    return false;
#else
    return CPeerShell::Run(folder, "command -v " + tool).status == 0;
#endif
}
