#pragma once
#include "platform/WinError.h"

#include <cstdint>
#include <string>

class COpenFolder;
#ifdef _WIN32
struct _BY_HANDLE_FILE_INFORMATION;
#else
struct stat;
#endif

// What the system knows about a name: its kind, size and last-write time. A
// plain value that Get fills in; the caller owns it.
class CFileStatus
{
public:
    // Looks the name up. With followLinks false a symbolic link describes
    // itself (m_bLink) instead of what it points at. False with the last
    // error set when the name cannot be looked up; status is then unchanged.
    static bool Get(const std::string& path, CFileStatus& status, bool followLinks = true);
    // The same for a name in a folder held open, looked up from there.
    static bool GetIn(const COpenFolder& folder, const std::string& name, CFileStatus& status,
                      bool followLinks = true);

#ifdef _WIN32
    // What the system's description of an open file says.
    static void Describe(const struct _BY_HANDLE_FILE_INFORMATION& info, CFileStatus& status);
#else
    // What the system's description of a name or an open file says.
    static void Describe(const struct stat& st, CFileStatus& status);

    // Records the Windows code for a call on the name that failed with err,
    // and returns it. The Windows calls tell a missing name apart from a
    // missing folder: ERROR_FILE_NOT_FOUND when the folder the name would be
    // in exists, ERROR_PATH_NOT_FOUND when it does not or when a folder in
    // the path is not a folder. (On Windows the calls give these themselves.)
    static DWORD SetLastFromErrno(int err, const std::string& path);
    // The same for a call that makes the name (a folder, a link, a FIFO):
    // a name already taken is ERROR_ALREADY_EXISTS, as the Windows calls
    // that make folders and links say (they keep ERROR_FILE_EXISTS for a
    // file they would overwrite).
    static DWORD SetLastFromMaking(int err, const std::string& path);
#endif

    std::uint64_t m_size = 0; // bytes of data; 0 for anything but a regular file
    std::int64_t m_mtime = 0; // last write, seconds since 1970 UTC
    bool m_bDirectory = false;
    bool m_bRegular = false;
    // Nobody may write it: the read-only attribute on Windows, no write
    // permission bit elsewhere.
    bool m_bReadOnly = false;
    bool m_bLink = false; // the name itself is a symbolic link (only when links are not followed)
    // A regular file that may hold holes: fewer bytes stored than it spans
    // on POSIX hosts, marked sparse on Windows.
    bool m_bHoles = false;
    // What POSIX hosts tell beside: the permission bits (the low twelve:
    // set-user-id, set-group-id, sticky and the nine of user, group and
    // other), the owner's and group's ids, and the file's identity (device
    // and inode: two names with the same pair are one file) with the count
    // of its names. Windows has no such bits or ids: they stay 0 there; its
    // identity and count are filled where the system gives them (a file
    // described through its handle), else 0 and 1.
    std::uint32_t m_nMode = 0;
    std::uint32_t m_nUid = 0;
    std::uint32_t m_nGid = 0;
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;
    std::uint32_t m_nLinks = 1;

    // The kind of item, so that a caller can say what it refuses: the flags
    // above cover what most callers need, this also tells devices, pipes and
    // sockets apart. KIND_OTHER until Get has seen the name.
    enum : int
    {
        KIND_OTHER = 0,
        KIND_REGULAR,
        KIND_DIRECTORY,
        KIND_LINK, // only when links are not followed
        KIND_CHARACTER,
        KIND_BLOCK,
        KIND_FIFO,
        KIND_SOCKET,
    };
    int m_nKind = KIND_OTHER;
};
