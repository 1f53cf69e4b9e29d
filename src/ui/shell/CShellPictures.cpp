#include "ui/shell/CShellPictures.h"

#include <QString>

QPixmap CShellPictures::Splash()
{
    return Load("splash.png");
}

QPixmap CShellPictures::About()
{
    return Load("about.png");
}

QPixmap CShellPictures::DefaultEditor()
{
    return Load("default-editor.png");
}

QPixmap CShellPictures::Load(const char* name)
{
    static const bool registered = []
    {
        Q_INIT_RESOURCE(shell);
        return true;
    }();
    Q_UNUSED(registered);
    return QPixmap(QStringLiteral(":/shell/") + QLatin1String(name));
}
