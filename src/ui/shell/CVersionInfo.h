#pragma once
#include <QString>

// The program's own name and version as the build set them: the strings
// "ProductName", "FileVersion" and "ProductVersion". Read by the about box
// and the questions titled with the program's name.
class CVersionInfo
{
public:
    // Empty for a name the program holds no string under.
    static QString QueryString(const char* name);
};
