#pragma once
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// The user guide: a page installed under share/doc/vorkant beside the
// program's bin folder (the build folder keeps the same layout), opened in
// the desktop's viewer by the help commands and the Options sheet's Help
// button. Everything is static: the guide is one for the process. How an
// address is opened can be replaced, so tests see it without a viewer.
class CUserGuide
{
public:
    enum ETopic
    {
        GUIDE_CONTENTS,
        // The guide's first section, on how it is laid out.
        GUIDE_USING_HELP,
        GUIDE_OPTIONS,
    };
    using Opener = std::function<bool(const QUrl&)>;

    // The topic's address in the guide under programFolder/../share, or an
    // empty one when the guide is not there.
    static QUrl Find(ETopic topic, const QString& programFolder);
    // Opens the topic, or tells the user over parent why it cannot.
    static void Show(ETopic topic, QWidget* parent);

    // For tests: replace how an address is opened, and the folder the
    // guide is looked for from (empty: the program's own). Each returns
    // what it replaced.
    static Opener SetOpener(Opener opener);
    static QString SetProgramFolder(QString folder);
};
