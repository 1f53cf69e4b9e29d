#include "codec/CEncoder.h"

#include "codec/CCodecKind.h"
#include "codec/CGzipEncoder.h"
#include "core/CGenericException.h"
#ifdef VORKANT_HAVE_BZIP2
#include "codec/CBzip2Encoder.h"
#endif
#ifdef VORKANT_HAVE_XZ
#include "codec/CXzEncoder.h"
#endif
#ifdef VORKANT_HAVE_ZSTD
#include "codec/CZstdEncoder.h"
#endif

#include <algorithm>
#include <string>
#include <thread>

CEncoder::~CEncoder() = default;

std::unique_ptr<CEncoder> CEncoder::Make(ECodecKind kind, int level, int threads)
{
    if (!CCodecKind::IsAvailable(kind))
    {
        throw CGenericException(std::string("This build of Vorkant cannot write ") +
                                CCodecKind::Name(kind) + "-compressed archives.");
    }
    level = level <= 0 ? CCodecKind::DefaultLevel(kind) : std::min(level, HighestLevel(kind));
    if (threads <= 0)
        threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    switch (kind)
    {
    case ECodecKind::Gzip:
        return std::make_unique<CGzipEncoder>(level, threads);
#ifdef VORKANT_HAVE_BZIP2
    case ECodecKind::Bzip2:
        return std::make_unique<CBzip2Encoder>(level, threads);
#endif
#ifdef VORKANT_HAVE_XZ
    case ECodecKind::Xz:
        return std::make_unique<CXzEncoder>(level, threads);
#endif
#ifdef VORKANT_HAVE_ZSTD
    case ECodecKind::Zstd:
        return std::make_unique<CZstdEncoder>(level, threads);
#endif
    default:
        break;
    }
    return nullptr;
}

int CEncoder::HighestLevel(ECodecKind kind)
{
    // zstd goes on to 22, but beyond 19 its own tool asks for --ultra: those
    // levels take far more memory.
    return kind == ECodecKind::Zstd ? 19 : 9;
}
