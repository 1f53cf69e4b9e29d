#include "ui/app/CCommandLine.h"

#include "ui/shell/CVersionInfo.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace
{

constexpr int kUsageStatus = 2;

// The options the application takes for itself, documented by Qt: only the
// application can tell them, so a line with one waits for it. Any other
// unknown option is refused before the window, display or none.
bool AreQtOptions(const QStringList& names)
{
    static const QStringList kQtOptions = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("reverse"),
        QStringLiteral("session"),         QStringLiteral("display"),
        QStringLiteral("geometry"),        QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("widgetcount"),
        QStringLiteral("qmljsdebugger")};
    for (const QString& name : names)
    {
        if (!kQtOptions.contains(name))
            return false;
    }
    return true;
}

// Help and version are asked for by name; -h and -v are the usual short forms.
void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Vorkant, the tar archiver for disks and tapes. Opens the archive given, "
                       "or an empty document."));
    // Not the parser's own help option, which adds one for Qt's options that
    // only an application could list.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Displays this help.")));
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("archive"),
                                 QStringLiteral("A tar archive to open, on a disk or a tape."),
                                 QStringLiteral("[archive]"));
}

// Without an application the parser cannot name the program, so the name
// it puts in its place becomes the one the program was started by.
std::string HelpText(const QCommandLineParser& parser, const QStringList& arguments)
{
    QString text = parser.helpText();
    const QString name = arguments.isEmpty() ? QStringLiteral("vorkant")
                                             : QFileInfo(arguments.first()).fileName();
    text.replace(QStringLiteral("<executable_name>"), name);
    return text.toStdString();
}

} // namespace

CCommandLine::SOutcome CCommandLine::BeforeWindow(const QStringList& arguments)
{
    return Parse(arguments, false);
}

CCommandLine::SOutcome CCommandLine::Check(const QStringList& arguments)
{
    return Parse(arguments, true);
}

CCommandLine::SOutcome CCommandLine::Parse(const QStringList& arguments, bool strict)
{
    QCommandLineParser parser;
    Describe(parser);
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")))
        return {false, 0, HelpText(parser, arguments)};
    if (parser.isSet(QStringLiteral("version")))
        return {false, 0,
                (CVersionInfo::QueryString("ProductName") + QLatin1Char(' ') +
                 CVersionInfo::QueryString("ProductVersion") + QLatin1Char('\n'))
                    .toStdString()};
    if (parsed || (!strict && AreQtOptions(parser.unknownOptionNames())))
        return {};
    return {false, kUsageStatus,
            parser.errorText().toStdString() + "\n\n" + HelpText(parser, arguments)};
}
