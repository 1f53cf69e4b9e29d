#include "ui/shell/CUserGuide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

#include <utility>

namespace
{
// Where cmake --install puts the guide, seen from the program's folder.
const char* const kGuidePath = "../share/doc/vorkant/USER-GUIDE.html";
// The anchors of the sections, made from their headings; empty for the top.
const char* const kAnchors[] = {"", "using-this-guide", "the-options-sheet"};

CUserGuide::Opener& CurrentOpener()
{
    static CUserGuide::Opener opener = [](const QUrl& url)
    { return QDesktopServices::openUrl(url); };
    return opener;
}

QString& ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

QString GuideFile(const QString& programFolder)
{
    return QDir::cleanPath(QDir(programFolder).filePath(QString::fromLatin1(kGuidePath)));
}
} // namespace

QUrl CUserGuide::Find(ETopic topic, const QString& programFolder)
{
    const QString file = GuideFile(programFolder);
    if (!QFileInfo(file).isFile())
        return {};
    QUrl url = QUrl::fromLocalFile(file);
    if (*kAnchors[topic] != '\0')
        url.setFragment(QString::fromLatin1(kAnchors[topic]));
    return url;
}

void CUserGuide::Show(ETopic topic, QWidget* parent)
{
    const QString folder = ProgramFolderOverride().isEmpty()
                               ? QCoreApplication::applicationDirPath()
                               : ProgramFolderOverride();
    const QUrl url = Find(topic, folder);
    QString problem;
    if (url.isEmpty())
        problem = QCoreApplication::translate("CUserGuide",
                                              "The user guide is not installed: %1 is missing.")
                      .arg(QDir::toNativeSeparators(GuideFile(folder)));
    else if (!CurrentOpener()(url))
        problem =
            QCoreApplication::translate("CUserGuide", "No program could show the user guide %1.")
                .arg(QDir::toNativeSeparators(url.toLocalFile()));
    if (!problem.isEmpty())
        QMessageBox::warning(parent, QGuiApplication::applicationDisplayName(), problem);
}

CUserGuide::Opener CUserGuide::SetOpener(Opener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}

QString CUserGuide::SetProgramFolder(QString folder)
{
    return std::exchange(ProgramFolderOverride(), std::move(folder));
}
