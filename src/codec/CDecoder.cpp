#include "codec/CDecoder.h"

#include "codec/CCodecKind.h"
#include "codec/CGzipDecoder.h"
#include "core/CGenericException.h"
#ifdef VORKANT_HAVE_BZIP2
#include "codec/CBzip2Decoder.h"
#endif
#ifdef VORKANT_HAVE_XZ
#include "codec/CXzDecoder.h"
#endif
#ifdef VORKANT_HAVE_ZSTD
#include "codec/CZstdDecoder.h"
#endif

#include <algorithm>
#include <string>

CDecoder::~CDecoder() = default;

std::unique_ptr<CDecoder> CDecoder::Make(ECodecKind kind)
{
    if (!CCodecKind::IsAvailable(kind))
    {
        throw CGenericException(std::string("This build of Vorkant cannot read ") +
                                CCodecKind::Name(kind) + "-compressed archives.");
    }
    switch (kind)
    {
    case ECodecKind::Gzip:
        return std::make_unique<CGzipDecoder>();
#ifdef VORKANT_HAVE_BZIP2
    case ECodecKind::Bzip2:
        return std::make_unique<CBzip2Decoder>();
#endif
#ifdef VORKANT_HAVE_XZ
    case ECodecKind::Xz:
        return std::make_unique<CXzDecoder>();
#endif
#ifdef VORKANT_HAVE_ZSTD
    case ECodecKind::Zstd:
        return std::make_unique<CZstdDecoder>();
#endif
    default:
        break;
    }
    return nullptr;
}

std::size_t CDecoder::Decode(const unsigned char* in, std::size_t size,
                             std::vector<unsigned char>& out, std::size_t most)
{
    if (m_bDamaged)
        throw CGenericException(kDamaged);
    const std::size_t filled = out.size();
    out.resize(filled + most);
    std::size_t made = 0;
    try
    {
        const std::size_t used = DecodeInto(in, size, out.data() + filled, most, made);
        out.resize(filled + made);
        return used;
    }
    catch (const CGenericException&)
    {
        out.resize(filled + made);
        if (made == 0)
            throw;
        // The stream goes no further: its input is spent.
        m_bDamaged = true;
        return size;
    }
}

void CDecoder::Finish()
{
    if (m_bDamaged)
        throw CGenericException(kDamaged);
    FinishStream();
}

std::size_t CDecoder::LeadingZeros(const unsigned char* in, std::size_t size)
{
    return static_cast<std::size_t>(
        std::find_if(in, in + size, [](unsigned char c) { return c != 0; }) - in);
}
