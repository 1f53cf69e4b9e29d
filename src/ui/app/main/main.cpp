// vorkant: the desktop tar archiver.
#include "ui/app/CCommandLine.h"
#include "ui/app/CTarApp.h"

#include <QApplication>

#include <cstdio>

namespace
{

int Finish(const CCommandLine::SOutcome& outcome)
{
    std::fputs(outcome.strText.c_str(), outcome.nStatus == 0 ? stdout : stderr);
    return outcome.nStatus;
}

} // namespace

int main(int argc, char** argv)
{
    // Help and version need no display, so they come before the application.
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const CCommandLine::SOutcome early = CCommandLine::BeforeWindow(given);
    if (!early.bRun)
        return Finish(early);

    QApplication application(argc, argv);
    const CCommandLine::SOutcome checked = CCommandLine::Check(QApplication::arguments());
    if (!checked.bRun)
        return Finish(checked);
    CTarApp app;
    return app.Run(QApplication::arguments());
}
