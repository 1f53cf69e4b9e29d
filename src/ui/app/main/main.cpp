// vorkant: the desktop tar archiver.
#include "ui/app/CTarApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CTarApp app;
    return app.Run(QApplication::arguments());
}
