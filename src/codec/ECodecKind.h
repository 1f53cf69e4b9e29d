#pragma once

// The compression a tar archive is stored under; None for a plain archive.
enum class ECodecKind
{
    None,
    Gzip,
    Bzip2,
    Xz,
    Zstd,
};
