#include "ui/shell/CVersionInfo.h"

#include <cstring>

QString CVersionInfo::QueryString(const char* name)
{
    struct SEntry
    {
        const char* pszName;
        const char* pszValue;
    };
    static constexpr SEntry kStrings[] = {
        {"ProductName", VORKANT_PRODUCT_NAME},
        {"FileVersion", VORKANT_VERSION},
        {"ProductVersion", VORKANT_VERSION},
    };
    for (const SEntry& entry : kStrings)
    {
        if (std::strcmp(entry.pszName, name) == 0)
            return QString::fromUtf8(entry.pszValue);
    }
    return {};
}
