#pragma once
#include <cstdint>
#include <string>

// A folder held open so that names in it are looked up from there: the
// system then walks one component instead of the whole path from the root,
// which is most of the cost of opening or describing a small file, and a
// folder reached one component at a time from another held one (HoldIn)
// cannot be swapped for a link on the way. Where the system has no such
// lookups (Windows), and while no folder is held, the names are joined to
// the path and looked up whole. Whoever makes the object owns the open
// folder; the destructor lets it go.
class COpenFolder
{
public:
    COpenFolder() = default;
    ~COpenFolder();
    COpenFolder(const COpenFolder&) = delete;
    COpenFolder& operator=(const COpenFolder&) = delete;

    // Holds the folder at path (the current folder when path is empty)
    // instead of the one held before. False, with the last error set, when
    // the system cannot hold it: the path is still remembered, its names
    // then looked up whole, so that their failures speak of the names
    // themselves. Windows holds nothing here and answers true.
    bool Hold(const std::string& path);
    // Holds the folder name in parent instead of the one held before,
    // looked up from parent and never through a link: a link under the name
    // is ERROR_CANT_RESOLVE_FILENAME, anything else but a folder
    // ERROR_DIRECTORY. On Windows the folder is held without delete
    // sharing, so that nobody renames or removes it while it is held. False,
    // holding nothing, when it cannot be held.
    bool HoldIn(const COpenFolder& parent, const std::string& name);
    // Lets the folder go: names are then taken as whole paths.
    void Release();
    const std::string& GetPath() const { return m_strPath; }
    // The whole path of a name in the folder.
    std::string PathOf(const std::string& name) const;
    // The system's handle of the held folder, or -1 when names go whole.
    int GetHandle() const { return m_nHandle; }

private:
    std::string m_strPath;
    int m_nHandle = -1;
#ifdef _WIN32
    void* m_hPinned = nullptr; // the folder held by HoldIn
#endif
};
