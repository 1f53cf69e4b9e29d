#pragma once
#include "engine/STarMember.h"
#include "platform/COwnerNames.h"
#include "platform/PathStyle.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

class CFileStatus;

// Turns the items of a write into the members that stand for them: a file,
// a folder, a symbolic link with its target, a FIFO, or a hard link to the
// name under which an earlier member of the same write stored the same
// file; with the item's own permission bits, owner and group when the
// write asks for them. Owned by one write, on the worker thread.
class CMemberDescriber
{
public:
    // Windows files have no permission bits or owners of their own: there
    // the archive settings' values always apply.
    explicit CMemberDescriber(bool ownOwner)
        : m_bOwnOwner(ownOwner && kHostPathStyle == EPathStyle::Posix)
    {
    }

    // The member for the item described by status, to be stored under name
    // (archive form); linkTarget is a symbolic link's target as the system
    // holds it. False for an item no member stands for: a device or a
    // socket.
    bool Describe(const std::string& name, const CFileStatus& status,
                  const std::string& linkTarget, STarMember& member);

private:
    bool m_bOwnOwner;
    COwnerNames m_owners;
    // The first name of each file with several, by device and inode.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> m_firstNames;
};
