#pragma once
#include <QString>

// The desktop's default applications for file types, named by their desktop
// entries ("vorkant.desktop"): read and set through xdg-mime in the program
// (CXdgMimeAssociation), a fake in tests, so that no test changes what the
// machine opens tar files with. The application owns the one it uses.
class CMimeAssociation
{
public:
    virtual ~CMimeAssociation() = default;

    // The type's default application; empty when there is none, or when the
    // desktop cannot be asked.
    virtual QString QueryDefault(const QString& mimeType) = 0;
    // Quietly does nothing when the desktop cannot be told.
    virtual void SetDefault(const QString& mimeType, const QString& desktopEntry) = 0;
    // Whether the desktop entry is installed, so that making it the default
    // cannot leave the type with no working application.
    virtual bool IsInstalled(const QString& desktopEntry) = 0;
};
