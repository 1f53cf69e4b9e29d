#pragma once
// Windows system error codes under their Windows names and values. Every
// failure the platform layer reports carries one of these, on every host, so
// the rules written against the Windows codes (the tape statuses above all)
// hold everywhere.

#ifdef _WIN32
// The system's own names and values. Only its error header comes in here:
// the rest of the Windows API would put macros such as LoadString over names
// used above the platform.
#include <winerror.h>
using DWORD = unsigned long; // the type the system headers give it
#else
#include <cstdint>

using DWORD = std::uint32_t;

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_CRC = 23;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_OPERATION_ABORTED = 995;
inline constexpr DWORD ERROR_NOACCESS = 998;
inline constexpr DWORD ERROR_FILE_INVALID = 1006;
inline constexpr DWORD ERROR_END_OF_MEDIA = 1100;
inline constexpr DWORD ERROR_FILEMARK_DETECTED = 1101;
inline constexpr DWORD ERROR_BEGINNING_OF_MEDIA = 1102;
inline constexpr DWORD ERROR_SETMARK_DETECTED = 1103;
inline constexpr DWORD ERROR_NO_DATA_DETECTED = 1104;
inline constexpr DWORD ERROR_PARTITION_FAILURE = 1105;
inline constexpr DWORD ERROR_INVALID_BLOCK_LENGTH = 1106;
inline constexpr DWORD ERROR_DEVICE_NOT_PARTITIONED = 1107;
inline constexpr DWORD ERROR_UNABLE_TO_LOCK_MEDIA = 1108;
inline constexpr DWORD ERROR_UNABLE_TO_UNLOAD_MEDIA = 1109;
inline constexpr DWORD ERROR_MEDIA_CHANGED = 1110;
inline constexpr DWORD ERROR_BUS_RESET = 1111;
inline constexpr DWORD ERROR_NO_MEDIA_IN_DRIVE = 1112;
inline constexpr DWORD ERROR_IO_DEVICE = 1117;
inline constexpr DWORD ERROR_EOM_OVERFLOW = 1129;
inline constexpr DWORD ERROR_TOO_MANY_LINKS = 1142;
inline constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr DWORD ERROR_PRIVILEGE_NOT_HELD = 1314;
inline constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_NOT_A_REPARSE_POINT = 4390;
#endif
