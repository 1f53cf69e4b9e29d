#pragma once
#include <cstdint>
#include <string>

// A folder held open so that names in it are looked up from there: the
// system then walks one component instead of the whole path from the root,
// which is most of the cost of opening or describing a small file. Where
// the system has no such lookups (Windows), and while no folder is held,
// the names are joined to the path and looked up whole. Whoever makes the
// object owns the open folder; the destructor lets it go.
class COpenFolder
{
public:
    COpenFolder() = default;
    ~COpenFolder();
    COpenFolder(const COpenFolder&) = delete;
    COpenFolder& operator=(const COpenFolder&) = delete;

    // Holds the folder at path instead of the one held before. A path the
    // system cannot hold is still remembered, its names then looked up
    // whole, so that their failures speak of the names themselves.
    void Hold(const std::string& path);
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
};
