#pragma once
#include <QPixmap>

// The pictures of the splash, the about box and the default-editor question,
// kept as Qt resources in this library (shell.qrc, over pictures/). A static
// library only keeps its resources when something asks for them: every
// picture is taken through here, which makes sure they are registered.
class CShellPictures
{
public:
    static QPixmap Splash();
    static QPixmap About();
    static QPixmap DefaultEditor();

private:
    static QPixmap Load(const char* name);
};
