#pragma once
#include "platform/CFileStatus.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class COpenFolder;

// A file opened on the host's file system, read and written without any
// buffering of its own. Whoever creates the object owns the open file: the
// destructor closes it, and moving hands it on. Failures answer false and
// leave the Windows code in CSystemError, for the caller to raise.
class CFile
{
public:
    enum : unsigned
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,     // create; truncates an existing file unless modeNoTruncate
        modeNoTruncate = 0x2000, // with modeCreate: open-or-create, keep contents
        typeText = 0x4000,       // on Windows '\n' is written as "\r\n"; no translation on POSIX
        osSequentialScan = 0x10000,
        modeNoFollow = 0x20000, // refuse to open through a symbolic link at the last component
        modeCreateNew = 0x40000, // with modeCreate: fail with ERROR_FILE_EXISTS if the name is taken
        modeNoWait = 0x80000,    // a pipe or device opens at once instead of waiting for its peer
        // While it is open, no other open with this flag may write the file:
        // Windows shares no write access, POSIX takes an advisory flock that
        // only such opens ask for. Readers are never kept out. A file held
        // so fails the open with ERROR_SHARING_VIOLATION.
        shareDenyWrite = 0x100000,
    };
    enum ESeek
    {
        begin = 0,
        current = 1,
        end = 2
    };

    // A stretch of a file: where it begins and how many bytes it spans.
    struct SRegion
    {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };

#ifdef _WIN32
    static constexpr bool kCreateTakesMode = false;
#else
    static constexpr bool kCreateTakesMode = true;
#endif

    CFile();
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;

    // Closes whatever was open first. The name goes to the system exactly as
    // given. A missing name is ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND
    // when the folder it would be in is missing; a folder is ERROR_ACCESS_DENIED.
    // A file it creates gets the permission bits of createMode less the
    // umask where kCreateTakesMode says so.
    bool Open(const std::string& path, unsigned flags, unsigned createMode = 0666);
    // The same for a name in a folder held open, looked up from there.
    bool OpenIn(const COpenFolder& folder, const std::string& name, unsigned flags,
                unsigned createMode = 0666);
    bool IsOpen() const;

    // done < count only at the end of the file; false on error (done then
    // counts what arrived before it). A regular file opened for reading
    // alone is at its end when it delivers less than asked; anything else
    // only when it delivers nothing.
    bool Read(void* buffer, std::uint32_t count, std::uint32_t& done);
    // The same from the given offset of a file (not a pipe), in one call
    // where the system allows. Where the position stands afterwards is left
    // undefined: POSIX keeps it, Windows moves it.
    bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count, std::uint32_t& done);
    // Writes all of it or fails.
    bool Write(const void* buffer, std::uint32_t count);
    // Honours typeText.
    bool WriteString(const std::string& text);

    // A move before the start of the file is ERROR_NEGATIVE_SEEK; a move past
    // the end is allowed and the file grows at the next write.
    bool Seek(std::int64_t offset, ESeek from, std::uint64_t* newPosition = nullptr);
    bool GetPosition(std::uint64_t& position) const;
    // The open file's kind, size and last-write time. On POSIX, for a file
    // opened for reading alone, as they were at Open, which looks at them
    // anyway; elsewhere as they are now.
    bool GetStatus(CFileStatus& status) const;
    bool GetLength(std::uint64_t& length) const;
    // Truncates or extends (with zeros), and leaves the position at the new end.
    bool SetLength(std::uint64_t length);
    // The stretches of the first length bytes of the open file that hold
    // data, in order: what lies between them is a hole, which reads as zeros
    // and takes no room. A file system that keeps no holes gives all of it
    // as data. The position is left at the start.
    bool GetDataRegions(std::uint64_t length, std::vector<SRegion>& regions);
    // Asks the file system to leave unstored the holes later made in the
    // open file by seeking past its end or extending it, which POSIX file
    // systems do unasked. One that cannot keep holes writes zeros instead:
    // that is no failure, so nothing is answered.
    void SetSparse();
    // Hands what was written to the storage device.
    bool Flush();
    // True without doing anything when nothing is open.
    bool Close();

    // Sets the last-write time of the open file, whole seconds since 1970
    // UTC; the last-access time is left alone. Writes after it move the time
    // again, so it comes after the last one.
    bool SetTime(std::int64_t mtime);
    // Gives the open file the permission bits of mode (only the nine of
    // user, group and other). Windows knows only whether anybody may write:
    // a mode without a write bit makes the file read-only, any other mode
    // asks nothing of the system.
    bool SetMode(unsigned mode);

    // Deletes the named file (a link itself, not what it points at).
    static bool Remove(const std::string& path);
    // The same for a name in a folder held open, looked up from there.
    static bool RemoveIn(const COpenFolder& folder, const std::string& name);
    // Gives a file another name in the same file system, in one step:
    // a file that already has that name is replaced.
    static bool Rename(const std::string& from, const std::string& to);
    // The same for two names in a folder held open, looked up from there.
    static bool RenameIn(const COpenFolder& folder, const std::string& from,
                         const std::string& to);

    // The name given to Open; empty while closed.
    const std::string& GetFilePath() const;

private:
    // A closed file is refused with ERROR_INVALID_HANDLE.
    bool CheckOpen() const;
    // A transfer the file was not opened for is refused before the system
    // sees it, with the code Windows gives for it.
    bool CheckAccess(bool write) const;
    bool WriteInPieces(std::string_view text);
    // Read and ReadAt: at the file's position when offset is null.
    bool ReadFrom(const std::uint64_t* offset, void* buffer, std::uint32_t count,
                  std::uint32_t& done);
#ifndef _WIN32
    // The name looked up from the folder's descriptor; path is the whole
    // name, for the file's own record and for failures.
    bool OpenAt(int folder, const std::string& name, const std::string& path, unsigned flags,
                unsigned createMode);
#endif
    bool ReleaseHandle();

    // Wide enough for a descriptor or a Windows handle; -1 is invalid for both.
    static constexpr std::intptr_t kInvalidHandle = -1;

    std::intptr_t m_hFile = kInvalidHandle;
    unsigned m_nFlags = 0;
    std::string m_strPath;
    CFileStatus m_opened; // taken by Open of a file for reading alone
    bool m_bOpenedKnown = false;
};
