#pragma once
#include "codec/ECodecKind.h"

#include <cstddef>
#include <string_view>

// What is known of each kind of compression without compressing anything:
// how a stream of it starts, the names that ask for it, its default level
// and whether this build has its library.
class CCodecKind
{
public:
    // The kind the first bytes of a stream show: gzip 1F 8B, bzip2 "BZh",
    // xz FD 37 7A 58 5A 00, zstd 28 B5 2F FD; None for anything else (a
    // plain tar archive) or too few bytes.
    static ECodecKind Detect(const unsigned char* bytes, std::size_t size);
    // The kind a new archive's name asks for by its suffix, whatever its
    // case: .tar.gz .tgz gzip; .tar.bz2 .tbz2 .tbz bzip2; .tar.xz .txz xz;
    // .tar.zst .tzst zstd; None for any other name.
    static ECodecKind FromName(std::string_view name);
    // The level used when none is given: gzip 6, bzip2 9, xz 6, zstd 3
    // (0 for None).
    static int DefaultLevel(ECodecKind kind);
    // Whether this build can read and write the kind; None always.
    static bool IsAvailable(ECodecKind kind);
    // "gzip", "bzip2", "xz", "zstd"; "none" for None.
    static const char* Name(ECodecKind kind);
};
