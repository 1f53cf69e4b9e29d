#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class COpenFolder;

// Folder operations on the host's file system: creation, listing and the
// temporary folder. Nothing is held between calls. Failures answer false and
// leave the Windows code in CSystemError.
class CFolder
{
public:
    CFolder() = delete;

    // Creates one folder; its parent must exist (else ERROR_PATH_NOT_FOUND).
    // Anything already there under the name is ERROR_ALREADY_EXISTS.
    static bool Create(const std::string& path);
    // The same for a name in a folder held open, looked up from there.
    static bool CreateIn(const COpenFolder& parent, const std::string& name);

    // Gives the folder name in parent its last-write time (whole seconds
    // since 1970 UTC) and, except on Windows, the permission bits of mode
    // when there is one (only the nine of user, group and other). A
    // symbolic link in the folder's place is refused, never followed.
    static bool SetTimeAndModeIn(const COpenFolder& parent, const std::string& name,
                                 std::int64_t mtime, std::optional<unsigned> mode);

    // Replaces names with the folder's entries, except "." and "..", in the
    // order the system gives them. On failure names is left as it was.
    static bool Enumerate(const std::string& path, std::vector<std::string>& names);

    // The temporary folder, ending in the host separator. On Windows the
    // system's (GetTempPath: TMP, TEMP, the user's profile, ...); elsewhere
    // $TMPDIR when that names a folder, else /tmp.
    static std::string GetTempFolder();
};
