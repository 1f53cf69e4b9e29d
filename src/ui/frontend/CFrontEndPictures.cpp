#include "ui/frontend/CFrontEndPictures.h"

#include <QtGlobal>

QPixmap CFrontEndPictures::Finished()
{
    Register();
    return QPixmap(QStringLiteral(":/frontend/finished.png"));
}

QPixmap CFrontEndPictures::TapeStill()
{
    Register();
    return QPixmap(QStringLiteral(":/frontend/tape.png"));
}

QString CFrontEndPictures::TapeAnimationPath()
{
    Register();
    return QStringLiteral(":/frontend/tape.gif");
}

void CFrontEndPictures::Register()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(frontend);
        return true;
    }();
    Q_UNUSED(registered);
}
