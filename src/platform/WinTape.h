#pragma once
// The Windows tape interface's records and constants under their Windows
// names and values. On Windows they are the system's own; elsewhere they are
// defined here, so the tape device's rules read the same on every host.

#include "platform/WinError.h"

#ifdef _WIN32
// Only the headers that hold the tape records and constants: the rest of the
// Windows API would put macros over names used above the platform.
#include <windef.h>
#include <winbase.h>
#include <winnt.h>
#else
#include <cstdint>

using BOOLEAN = std::uint8_t;

union LARGE_INTEGER
{
    struct
    {
        DWORD LowPart;
        std::int32_t HighPart;
    } u;
    std::int64_t QuadPart;
};

struct TAPE_GET_DRIVE_PARAMETERS
{
    BOOLEAN ECC;
    BOOLEAN Compression;
    BOOLEAN DataPadding;
    BOOLEAN ReportSetmarks;
    DWORD DefaultBlockSize;
    DWORD MaximumBlockSize;
    DWORD MinimumBlockSize;
    DWORD MaximumPartitionCount;
    DWORD FeaturesLow;
    DWORD FeaturesHigh;
    DWORD EOTWarningZoneSize;
};

struct TAPE_GET_MEDIA_PARAMETERS
{
    LARGE_INTEGER Capacity;
    LARGE_INTEGER Remaining;
    DWORD BlockSize;
    DWORD PartitionCount;
    BOOLEAN WriteProtected;
};

struct TAPE_SET_DRIVE_PARAMETERS
{
    BOOLEAN ECC;
    BOOLEAN Compression;
    BOOLEAN DataPadding;
    BOOLEAN ReportSetmarks;
    DWORD EOTWarningZoneSize;
};

struct TAPE_SET_MEDIA_PARAMETERS
{
    DWORD BlockSize;
};

// GetTapeParameters / SetTapeParameters operations.
inline constexpr DWORD GET_TAPE_MEDIA_INFORMATION = 0;
inline constexpr DWORD GET_TAPE_DRIVE_INFORMATION = 1;
inline constexpr DWORD SET_TAPE_MEDIA_INFORMATION = 0;
inline constexpr DWORD SET_TAPE_DRIVE_INFORMATION = 1;

// PrepareTape operations.
inline constexpr DWORD TAPE_LOAD = 0;
inline constexpr DWORD TAPE_UNLOAD = 1;
inline constexpr DWORD TAPE_TENSION = 2;
inline constexpr DWORD TAPE_LOCK = 3;
inline constexpr DWORD TAPE_UNLOCK = 4;
inline constexpr DWORD TAPE_FORMAT = 5;

// SetTapePosition methods.
inline constexpr DWORD TAPE_REWIND = 0;
inline constexpr DWORD TAPE_ABSOLUTE_BLOCK = 1;
inline constexpr DWORD TAPE_LOGICAL_BLOCK = 2;
inline constexpr DWORD TAPE_PSEUDO_LOGICAL_BLOCK = 3;
inline constexpr DWORD TAPE_SPACE_END_OF_DATA = 4;
inline constexpr DWORD TAPE_SPACE_RELATIVE_BLOCKS = 5;
inline constexpr DWORD TAPE_SPACE_FILEMARKS = 6;

// GetTapePosition types.
inline constexpr DWORD TAPE_ABSOLUTE_POSITION = 0;
inline constexpr DWORD TAPE_LOGICAL_POSITION = 1;
inline constexpr DWORD TAPE_PSEUDO_LOGICAL_POSITION = 2;

// Low feature word.
inline constexpr DWORD TAPE_DRIVE_FIXED = 0x00000001;
inline constexpr DWORD TAPE_DRIVE_SELECT = 0x00000002;
inline constexpr DWORD TAPE_DRIVE_INITIATOR = 0x00000004;
inline constexpr DWORD TAPE_DRIVE_ERASE_SHORT = 0x00000010;
inline constexpr DWORD TAPE_DRIVE_ERASE_LONG = 0x00000020;
inline constexpr DWORD TAPE_DRIVE_ERASE_BOP_ONLY = 0x00000040;
inline constexpr DWORD TAPE_DRIVE_ERASE_IMMEDIATE = 0x00000080;
inline constexpr DWORD TAPE_DRIVE_TAPE_CAPACITY = 0x00000100;
inline constexpr DWORD TAPE_DRIVE_TAPE_REMAINING = 0x00000200;
inline constexpr DWORD TAPE_DRIVE_FIXED_BLOCK = 0x00000400;
inline constexpr DWORD TAPE_DRIVE_VARIABLE_BLOCK = 0x00000800;
inline constexpr DWORD TAPE_DRIVE_WRITE_PROTECT = 0x00001000;
inline constexpr DWORD TAPE_DRIVE_EOT_WZ_SIZE = 0x00002000;
inline constexpr DWORD TAPE_DRIVE_ECC = 0x00010000;
inline constexpr DWORD TAPE_DRIVE_COMPRESSION = 0x00020000;
inline constexpr DWORD TAPE_DRIVE_PADDING = 0x00040000;
inline constexpr DWORD TAPE_DRIVE_REPORT_SMKS = 0x00080000;
inline constexpr DWORD TAPE_DRIVE_GET_ABSOLUTE_BLK = 0x00100000;
inline constexpr DWORD TAPE_DRIVE_GET_LOGICAL_BLK = 0x00200000;
inline constexpr DWORD TAPE_DRIVE_SET_EOT_WZ_SIZE = 0x00400000;
inline constexpr DWORD TAPE_DRIVE_EJECT_MEDIA = 0x01000000;
inline constexpr DWORD TAPE_DRIVE_CLEAN_REQUESTS = 0x02000000;
inline constexpr DWORD TAPE_DRIVE_SET_CMP_BOP_ONLY = 0x04000000;

// High feature word: every constant carries the high-features bit.
inline constexpr DWORD TAPE_DRIVE_HIGH_FEATURES = 0x80000000;
inline constexpr DWORD TAPE_DRIVE_LOAD_UNLOAD = 0x80000001;
inline constexpr DWORD TAPE_DRIVE_TENSION = 0x80000002;
inline constexpr DWORD TAPE_DRIVE_LOCK_UNLOCK = 0x80000004;
inline constexpr DWORD TAPE_DRIVE_REWIND_IMMEDIATE = 0x80000008;
inline constexpr DWORD TAPE_DRIVE_SET_BLOCK_SIZE = 0x80000010;
inline constexpr DWORD TAPE_DRIVE_LOAD_UNLD_IMMED = 0x80000020;
inline constexpr DWORD TAPE_DRIVE_TENSION_IMMED = 0x80000040;
inline constexpr DWORD TAPE_DRIVE_LOCK_UNLK_IMMED = 0x80000080;
inline constexpr DWORD TAPE_DRIVE_SET_ECC = 0x80000100;
inline constexpr DWORD TAPE_DRIVE_SET_COMPRESSION = 0x80000200;
inline constexpr DWORD TAPE_DRIVE_SET_PADDING = 0x80000400;
inline constexpr DWORD TAPE_DRIVE_SET_REPORT_SMKS = 0x80000800;
inline constexpr DWORD TAPE_DRIVE_ABSOLUTE_BLK = 0x80001000;
inline constexpr DWORD TAPE_DRIVE_ABS_BLK_IMMED = 0x80002000;
inline constexpr DWORD TAPE_DRIVE_LOGICAL_BLK = 0x80004000;
inline constexpr DWORD TAPE_DRIVE_LOG_BLK_IMMED = 0x80008000;
inline constexpr DWORD TAPE_DRIVE_END_OF_DATA = 0x80010000;
inline constexpr DWORD TAPE_DRIVE_RELATIVE_BLKS = 0x80020000;
inline constexpr DWORD TAPE_DRIVE_FILEMARKS = 0x80040000;
inline constexpr DWORD TAPE_DRIVE_SEQUENTIAL_FMKS = 0x80080000;
inline constexpr DWORD TAPE_DRIVE_SETMARKS = 0x80100000;
inline constexpr DWORD TAPE_DRIVE_SEQUENTIAL_SMKS = 0x80200000;
inline constexpr DWORD TAPE_DRIVE_REVERSE_POSITION = 0x80400000;
inline constexpr DWORD TAPE_DRIVE_SPACE_IMMEDIATE = 0x80800000;
inline constexpr DWORD TAPE_DRIVE_WRITE_SETMARKS = 0x81000000;
inline constexpr DWORD TAPE_DRIVE_WRITE_FILEMARKS = 0x82000000;
inline constexpr DWORD TAPE_DRIVE_WRITE_SHORT_FMKS = 0x84000000;
inline constexpr DWORD TAPE_DRIVE_WRITE_LONG_FMKS = 0x88000000;
inline constexpr DWORD TAPE_DRIVE_WRITE_MARK_IMMED = 0x90000000;
inline constexpr DWORD TAPE_DRIVE_FORMAT = 0xA0000000;
inline constexpr DWORD TAPE_DRIVE_FORMAT_IMMEDIATE = 0xC0000000;
#endif
