#pragma once
#include <QPixmap>
#include <QString>

// The pictures of the front end's windows, kept as Qt resources in this
// library (frontend.qrc, over pictures/). A static library only
// keeps its resources when something asks for them: every picture is taken
// through here, which makes sure they are registered.
class CFrontEndPictures
{
public:
    // The wait window's finished look: 196 x 132 pixels.
    static QPixmap Finished();
    // The append-or-overwrite question: a still tape, and the same tape with
    // its reels turning, as a file name for QMovie.
    static QPixmap TapeStill();
    static QString TapeAnimationPath();

private:
    static void Register();
};
