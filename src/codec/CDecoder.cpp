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
