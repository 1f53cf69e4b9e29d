#include "engine/CMemberPath.h"

namespace
{

bool IsSeparator(char c, EPathStyle style)
{
    // The Windows calls accept both separators, so both must be checked.
    return c == '/' || (style == EPathStyle::Windows && c == '\\');
}

std::string_view DropLeadingSeparators(std::string_view name, EPathStyle style)
{
    while (!name.empty() && IsSeparator(name.front(), style))
        name.remove_prefix(1);
    return name;
}

std::string_view DropRoot(std::string_view name, EPathStyle style)
{
    name = DropLeadingSeparators(name, style);
    if (style == EPathStyle::Windows && name.size() >= 2 && name[1] == ':')
        name = DropLeadingSeparators(name.substr(2), style);
    return name;
}

// Windows ignores trailing dots and blanks of a component, so ".. " and "..."
// would climb like "..".
bool ClimbsOut(std::string_view component, EPathStyle style)
{
    if (component == "..")
        return true;
    if (style != EPathStyle::Windows)
        return false;
    if (component.find(':') != std::string_view::npos)
        return true;
    const std::size_t kept = component.find_last_not_of(". ");
    return !component.empty() && kept == std::string_view::npos && component != ".";
}

} // namespace

std::optional<std::vector<std::string>> CMemberPath::Split(std::string_view nativeName,
                                                           EPathStyle style)
{
    // The system would see a name only up to a NUL: what it sees is not
    // what was checked.
    if (nativeName.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string_view rest = DropRoot(nativeName, style);
    std::vector<std::string> components;
    while (!rest.empty())
    {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end], style))
            ++end;
        const std::string_view component = rest.substr(0, end);
        if (ClimbsOut(component, style))
            return std::nullopt;
        if (!component.empty() && component != ".")
            components.emplace_back(component);
        rest = DropLeadingSeparators(rest.substr(end), style);
    }
    return components;
}

std::string CMemberPath::Join(const std::string& destination,
                              const std::vector<std::string>& components, EPathStyle style)
{
    const char separator = SeparatorOf(style);
    std::string path = destination;
    for (const std::string& component : components)
    {
        if (!path.empty() && !IsSeparator(path.back(), style))
            path += separator;
        path += component;
    }
    return path;
}
