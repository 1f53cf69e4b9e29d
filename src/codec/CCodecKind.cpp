#include "codec/CCodecKind.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace
{
struct SMagic
{
    std::string_view bytes;
    ECodecKind kind;
};

using namespace std::string_view_literals;

const SMagic kMagics[] = {
    {"\x1F\x8B"sv, ECodecKind::Gzip},
    {"BZh"sv, ECodecKind::Bzip2},
    {"\xFD\x37\x7A\x58\x5A\x00"sv, ECodecKind::Xz},
    {"\x28\xB5\x2F\xFD"sv, ECodecKind::Zstd},
};

struct SSuffix
{
    std::string_view suffix;
    ECodecKind kind;
};

const SSuffix kSuffixes[] = {
    {".tar.gz", ECodecKind::Gzip}, {".tgz", ECodecKind::Gzip},     {".tar.bz2", ECodecKind::Bzip2},
    {".tbz2", ECodecKind::Bzip2},  {".tbz", ECodecKind::Bzip2},    {".tar.xz", ECodecKind::Xz},
    {".txz", ECodecKind::Xz},      {".tar.zst", ECodecKind::Zstd}, {".tzst", ECodecKind::Zstd},
};

bool EndsWithFolded(std::string_view name, std::string_view suffix)
{
    return name.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(),
                      [](char lower, char c)
                      { return lower == std::tolower(static_cast<unsigned char>(c)); });
}
} // namespace

ECodecKind CCodecKind::Detect(const unsigned char* bytes, std::size_t size)
{
    const std::string_view start(reinterpret_cast<const char*>(bytes), size);
    for (const SMagic& magic : kMagics)
    {
        if (start.starts_with(magic.bytes))
            return magic.kind;
    }
    return ECodecKind::None;
}

ECodecKind CCodecKind::FromName(std::string_view name)
{
    for (const SSuffix& suffix : kSuffixes)
    {
        if (EndsWithFolded(name, suffix.suffix))
            return suffix.kind;
    }
    return ECodecKind::None;
}

int CCodecKind::DefaultLevel(ECodecKind kind)
{
    switch (kind)
    {
    case ECodecKind::Gzip:
        return 6;
    case ECodecKind::Bzip2:
        return 9;
    case ECodecKind::Xz:
        return 6;
    case ECodecKind::Zstd:
        return 3;
    case ECodecKind::None:
        break;
    }
    return 0;
}

bool CCodecKind::IsAvailable(ECodecKind kind)
{
    switch (kind)
    {
    case ECodecKind::None:
    case ECodecKind::Gzip:
        return true;
    case ECodecKind::Bzip2:
#ifdef VORKANT_HAVE_BZIP2
        return true;
#else
        return false;
#endif
    case ECodecKind::Xz:
#ifdef VORKANT_HAVE_XZ
        return true;
#else
        return false;
#endif
    case ECodecKind::Zstd:
#ifdef VORKANT_HAVE_ZSTD
        return true;
#else
        return false;
#endif
    }
    return false;
}

const char* CCodecKind::Name(ECodecKind kind)
{
    switch (kind)
    {
    case ECodecKind::Gzip:
        return "gzip";
    case ECodecKind::Bzip2:
        return "bzip2";
    case ECodecKind::Xz:
        return "xz";
    case ECodecKind::Zstd:
        return "zstd";
    case ECodecKind::None:
        break;
    }
    return "none";
}
