#pragma once
#include <QStringList>

#include <string>

// What the program's command line asks before the window: its help or its
// version, printed without a display, or a refusal of an option it does not
// know. Whatever else it holds (an archive to open) is the application's.
class CCommandLine
{
public:
    // How the program goes on: it runs, or it ends at once with the status,
    // after printing the text (to standard output when the status is 0,
    // else to standard error).
    struct SOutcome
    {
        bool bRun = true;
        int nStatus = 0;
        std::string strText;
    };

    // Before the application exists: --help, --version, and any unknown
    // option that is not one of the application's own.
    static SOutcome BeforeWindow(const QStringList& arguments);
    // Once the application has taken the options that are its own (-style,
    // -platform and the like): any other option is an error.
    static SOutcome Check(const QStringList& arguments);

private:
    static SOutcome Parse(const QStringList& arguments, bool strict);
};
