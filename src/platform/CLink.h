#pragma once
#include <cstdint>
#include <string>

class COpenFolder;

// Symbolic links, hard links and FIFOs on the host's file system, each named
// in a folder held open and looked up from there (whole paths where no
// folder is held, as COpenFolder says). Nothing is held between calls.
// Failures answer false and leave the Windows code in CSystemError.
class CLink
{
public:
    CLink() = delete;

    // The target of the symbolic link name, byte for byte as the system
    // holds it. Anything but a link there is ERROR_NOT_A_REPARSE_POINT.
    static bool ReadIn(const COpenFolder& folder, const std::string& name, std::string& target);

    // Makes name a symbolic link holding target verbatim. A name already
    // taken (by anything, a dangling link too) is ERROR_ALREADY_EXISTS. On
    // Windows the link is made without privilege where the system allows,
    // as a folder link when target names a folder from the link's place;
    // where the system refuses, its code (ERROR_PRIVILEGE_NOT_HELD).
    static bool CreateSymbolicIn(const COpenFolder& folder, const std::string& name,
                                 const std::string& target);

    // Makes name in folder another name of the file targetName in
    // targetFolder. A link at targetName is linked itself, never followed.
    // A name already taken is ERROR_ALREADY_EXISTS.
    static bool CreateHardIn(const COpenFolder& targetFolder, const std::string& targetName,
                             const COpenFolder& folder, const std::string& name);

    // Makes name a FIFO with the permission bits of mode (the nine of user,
    // group and other) less the umask. ERROR_NOT_SUPPORTED on Windows. A
    // name already taken is ERROR_ALREADY_EXISTS.
    static bool CreateFifoIn(const COpenFolder& folder, const std::string& name, unsigned mode);

    // Gives the item name its last-write time (whole seconds since 1970
    // UTC), the last-access time left alone, without opening it: a link
    // itself, never what it points at; a FIFO without waiting for a peer.
    static bool SetTimeIn(const COpenFolder& folder, const std::string& name, std::int64_t mtime);
};
