#pragma once
#include "platform/PathStyle.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a member is extracted to. A member name is reduced to the folders and
// name below the destination: leading separators (and in Windows style a
// drive prefix) are dropped, so an absolute name lands inside the
// destination; a name that could climb out of it is refused outright.
class CMemberPath
{
public:
    // The components of the name below the destination, empty ones and "."
    // left out; nothing when a component is ".." (in Windows style also one
    // that the system would read as "..", or one holding a colon), or when
    // the name holds a NUL.
    static std::optional<std::vector<std::string>> Split(std::string_view nativeName,
                                                         EPathStyle style = kHostPathStyle);

    // The destination and the components joined with the style's separator.
    // An empty destination gives a path relative to the current folder.
    static std::string Join(const std::string& destination,
                            const std::vector<std::string>& components,
                            EPathStyle style = kHostPathStyle);
};
