#include "platform/CSystemError.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

#ifndef _WIN32
thread_local DWORD t_lastError = ERROR_SUCCESS;
#endif

struct SErrnoCode
{
    int err;
    DWORD code;
};

// The nearest Windows code for each errno value the platform calls produce.
const SErrnoCode kErrnoCodes[] = {
    {EPERM, ERROR_ACCESS_DENIED},
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {EINTR, ERROR_OPERATION_ABORTED},
    {EIO, ERROR_IO_DEVICE},
    {ENXIO, ERROR_DEVICE_NOT_CONNECTED},
    {E2BIG, ERROR_INVALID_PARAMETER},
    {EBADF, ERROR_INVALID_HANDLE},
    {EAGAIN, ERROR_BUSY},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EACCES, ERROR_ACCESS_DENIED},
    {EFAULT, ERROR_NOACCESS},
    {EBUSY, ERROR_BUSY},
    {EEXIST, ERROR_FILE_EXISTS},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {ENODEV, ERROR_DEVICE_NOT_CONNECTED},
    {ENOTDIR, ERROR_DIRECTORY},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOTTY, ERROR_INVALID_FUNCTION},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {EFBIG, ERROR_FILE_TOO_LARGE},
    {ENOSPC, ERROR_DISK_FULL},
    {ESPIPE, ERROR_INVALID_FUNCTION},
    {EROFS, ERROR_WRITE_PROTECT},
    {EMLINK, ERROR_TOO_MANY_LINKS},
    {EPIPE, ERROR_BROKEN_PIPE},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {ENOSYS, ERROR_INVALID_FUNCTION},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EOVERFLOW, ERROR_FILE_TOO_LARGE},
    {ETIMEDOUT, ERROR_TIMEOUT},
#ifdef ESTALE
    {ESTALE, ERROR_FILE_INVALID},
#endif
#ifdef EDQUOT
    {EDQUOT, ERROR_DISK_FULL},
#endif
    {ECANCELED, ERROR_OPERATION_ABORTED},
    {ENOTSUP, ERROR_NOT_SUPPORTED},
#ifdef ENOMEDIUM
    {ENOMEDIUM, ERROR_NO_MEDIA_IN_DRIVE},
#endif
};

#ifndef _WIN32
struct SMessage
{
    DWORD code;
    const char* text;
};

// The Windows wording of every code this layer can produce.
const SMessage kMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully.\r\n"},
    {ERROR_INVALID_FUNCTION, "Incorrect function.\r\n"},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\r\n"},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file.\r\n"},
    {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY,
     "Not enough memory resources are available to process this command.\r\n"},
    {ERROR_INVALID_DATA, "The data is invalid.\r\n"},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive.\r\n"},
    {ERROR_WRITE_PROTECT, "The media is write protected.\r\n"},
    {ERROR_NOT_READY, "The device is not ready.\r\n"},
    {ERROR_CRC, "Data error (cyclic redundancy check).\r\n"},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device.\r\n"},
    {ERROR_READ_FAULT, "The system cannot read from the specified device.\r\n"},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning.\r\n"},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process.\r\n"},
    {ERROR_HANDLE_EOF, "Reached the end of the file.\r\n"},
    {ERROR_HANDLE_DISK_FULL, "The disk is full.\r\n"},
    {ERROR_NOT_SUPPORTED, "The request is not supported.\r\n"},
    {ERROR_FILE_EXISTS, "The file exists.\r\n"},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
    {ERROR_BROKEN_PIPE, "The pipe has been ended.\r\n"},
    {ERROR_DISK_FULL, "There is not enough space on the disk.\r\n"},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {ERROR_NEGATIVE_SEEK,
     "An attempt was made to move the file pointer before the beginning of the file.\r\n"},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty.\r\n"},
    {ERROR_BUSY, "The requested resource is in use.\r\n"},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists.\r\n"},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long.\r\n"},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved.\r\n"},
    {ERROR_MORE_DATA, "More data is available.\r\n"},
    {ERROR_DIRECTORY, "The directory name is invalid.\r\n"},
    {ERROR_OPERATION_ABORTED,
     "The I/O operation has been aborted because of either a thread exit or an application "
     "request.\r\n"},
    {ERROR_NOACCESS, "Invalid access to memory location.\r\n"},
    {ERROR_FILE_INVALID,
     "The volume for a file has been externally altered so that the opened file is no longer "
     "valid.\r\n"},
    {ERROR_END_OF_MEDIA, "The physical end of the tape has been reached.\r\n"},
    {ERROR_FILEMARK_DETECTED, "A tape access reached a filemark.\r\n"},
    {ERROR_BEGINNING_OF_MEDIA, "The beginning of the tape or a partition was encountered.\r\n"},
    {ERROR_SETMARK_DETECTED, "A tape access reached the end of a set of files.\r\n"},
    {ERROR_NO_DATA_DETECTED, "No more data is on the tape.\r\n"},
    {ERROR_PARTITION_FAILURE, "Tape could not be partitioned.\r\n"},
    {ERROR_INVALID_BLOCK_LENGTH,
     "When accessing a new tape of a multivolume partition, the current block size is "
     "incorrect.\r\n"},
    {ERROR_DEVICE_NOT_PARTITIONED,
     "Tape partition information could not be found when loading a tape.\r\n"},
    {ERROR_UNABLE_TO_LOCK_MEDIA, "Unable to lock the media eject mechanism.\r\n"},
    {ERROR_UNABLE_TO_UNLOAD_MEDIA, "Unable to unload the media.\r\n"},
    {ERROR_MEDIA_CHANGED, "The media in the drive may have changed.\r\n"},
    {ERROR_BUS_RESET, "The I/O bus was reset.\r\n"},
    {ERROR_NO_MEDIA_IN_DRIVE, "No media in drive.\r\n"},
    {ERROR_IO_DEVICE, "The request could not be performed because of an I/O device error.\r\n"},
    {ERROR_EOM_OVERFLOW, "Physical end of tape encountered.\r\n"},
    {ERROR_TOO_MANY_LINKS,
     "An attempt was made to create more links on a file than the file system supports.\r\n"},
    {ERROR_DEVICE_NOT_CONNECTED, "The device is not connected.\r\n"},
    {ERROR_PRIVILEGE_NOT_HELD, "A required privilege is not held by the client.\r\n"},
    {ERROR_TIMEOUT, "This operation returned because the timeout period expired.\r\n"},
    {ERROR_CANT_RESOLVE_FILENAME, "The name of the file cannot be resolved by the system.\r\n"},
    {ERROR_NOT_A_REPARSE_POINT, "The file or directory is not a reparse point.\r\n"},
};
#endif

} // namespace

#ifdef _WIN32
// The system's own last error, so that a failed Win32 call needs no extra step.
DWORD CSystemError::GetLast()
{
    return ::GetLastError();
}

void CSystemError::SetLast(DWORD code)
{
    ::SetLastError(code);
}
#else
DWORD CSystemError::GetLast()
{
    return t_lastError;
}

void CSystemError::SetLast(DWORD code)
{
    t_lastError = code;
}
#endif

DWORD CSystemError::FromErrno(int err)
{
    for (const SErrnoCode& entry : kErrnoCodes)
    {
        if (entry.err == err)
            return entry.code;
    }
    return ERROR_GEN_FAILURE;
}

DWORD CSystemError::SetLastFromErrno(int err)
{
    const DWORD code = FromErrno(err);
    SetLast(code);
    return code;
}

bool CSystemError::CheckName(const std::string& name)
{
    if (name.find('\0') == std::string::npos)
        return true;
    SetLast(ERROR_INVALID_NAME);
    return false;
}

#ifdef _WIN32
bool CSystemError::LookupText(DWORD code, std::string& text)
{
    constexpr DWORD kSystemDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT);
    char buffer[256];
    // Looking a text up is no failure of the caller's: its last error stays.
    const DWORD lastError = ::GetLastError();
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                                          kSystemDefaultLanguage, buffer, sizeof buffer, nullptr);
    ::SetLastError(lastError);
    if (length == 0)
        return false;
    text.assign(buffer, length);
    return true;
}
#else
bool CSystemError::LookupText(DWORD code, std::string& text)
{
    for (const SMessage& message : kMessages)
    {
        if (message.code == code)
        {
            text = message.text;
            return true;
        }
    }
    return false;
}
#endif
