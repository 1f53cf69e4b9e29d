#pragma once
#include "platform/COpenFolder.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The folder an extraction writes into, and the way down from it to each
// member's folder. The user's folder is made when the first member needs it
// and held open; every folder below it is reached from its parent held
// open, one name at a time and never through a link, and never again by a
// path from the root, so that a folder swapped for a link after it was
// made leads nowhere. The folders on the way to the last folder reached
// stay held for the members beside it; on Windows a held folder cannot be
// renamed or removed meanwhile either. Owned by one extraction, on the
// worker thread; a folder it hands out may be kept by whoever writes into
// it, on any thread.
class CDestination
{
public:
    // The user's folder; empty for the current folder.
    explicit CDestination(std::string path);

    const std::string& GetPath() const { return m_strPath; }
    // The folder of the first count components below the destination, each
    // made where it is missing when create says so. A link on the way
    // throws the problem of a path that leaves the destination, naming
    // member; any other failure throws the system's (COsException).
    std::shared_ptr<const COpenFolder> Reach(const std::vector<std::string>& components,
                                             std::size_t count, bool create,
                                             const std::string& member);

private:
    void HoldDestination();
    static std::shared_ptr<const COpenFolder> HoldBelow(const COpenFolder& parent,
                                                        const std::string& name, bool create,
                                                        const std::string& member);

    std::string m_strPath;
    // m_held[0] is the destination, m_held[i] the folder of m_names[0..i-1].
    std::vector<std::shared_ptr<const COpenFolder>> m_held;
    std::vector<std::string> m_names;
};
