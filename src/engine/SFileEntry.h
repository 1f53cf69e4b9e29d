#pragma once
#include <cstdint>
#include <string>

class CFileStatus;

// One file or folder: an item on disk that is to be added to an archive, or a
// member of an archive as listed. A plain value; a CFileEntrys keeps copies.
struct SFileEntry
{
    SFileEntry() = default;
    // Both names set to the text, as a file of size 0.
    explicit SFileEntry(const std::string& path);

    // Files, folders, symbolic links (as links) and FIFOs can be stored in
    // an archive; devices and sockets cannot.
    static bool IsStorable(const CFileStatus& status);

    // Describes the item the path names, a symbolic link as itself. False,
    // leaving the entry as it was, when its status cannot be read or it
    // cannot be stored.
    bool SetPath(const std::string& path);
    // The same from a status already read, which IsStorable accepted. False
    // when the path cannot be made absolute.
    bool SetPath(const std::string& path, const CFileStatus& status);
    // The item name inside the folder at folderPath, which is absolute and
    // spelt as this system spells it, from a status IsStorable accepted.
    void SetInFolder(const std::string& folderPath, const std::string& name,
                     const CFileStatus& status);

    std::string strPath; // full path on disk; for a catalogue entry the member name in native form
    // The name relative to the folder the user added from: for an item added
    // alone its last path component, for an item found inside an added folder
    // its path below that folder's parent; for a catalogue entry the member name.
    std::string strName;
    bool bIsFile = true;
    // 64 bits: files of 4 GiB and more are archived whole.
    std::uint64_t dwSize = 0;
    std::int64_t time = 0; // last write, seconds since 1970 UTC
    // The tar type of what the entry is: '0' a file, '5' a folder, '2' a
    // symbolic link, '6' a FIFO; a catalogue entry also '1' (a hard link),
    // '3' and '4' (devices) and whatever type its member has.
    char chType = '0';
    // A link's target as the archive holds it, in archive form: a symbolic
    // link's text verbatim, the member a hard link names. Empty otherwise.
    std::string strLinkTarget;
};
