#pragma once
#include <cstdint>
#include <string>

// Kinds of SArchiveEvent.
enum : std::int32_t
{
    TAR_EVENT_NONE = 0,      // never sent: the current event outside a write
    TAR_EVENT_LISTED = 1,    // a member header was found
    TAR_EVENT_WRITTEN = 2,   // a member's header or a data record was written
    TAR_EVENT_EXTRACTED = 3, // a member's extraction starts, and after each data record
    TAR_EVENT_PROBLEM = 4,   // a member was refused or failed; the operation goes on
    TAR_EVENT_TICK = 5,      // the device is about to start an operation: the cancellation point
};

// What the archive engine tells its client (the document) about a member.
// Sizes are 64 bits wide so that a member of 4 GiB or more is reported as it
// is rather than with a wrapped size.
struct SArchiveEvent
{
    std::string strName;       // member name in native form; the destination path when extracting
    std::uint64_t dwTotal = 0; // member size from its header
    std::uint32_t time = 0;    // modification time, seconds since 1970 UTC
    char chType = '\0';        // type flag
    std::string strLinkTarget; // a link's target as the archive holds it; empty for other types
    std::int32_t nKind = TAR_EVENT_LISTED;
    std::uint64_t dwDone = 0;  // bytes of the member handled so far
    std::string strMessage;    // problem text for TAR_EVENT_PROBLEM
};
