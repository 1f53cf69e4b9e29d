#pragma once
#include "support/CTestFolder.h"
#include "ui/shell/CUserGuide.h"

#include <QString>
#include <QUrl>

#include <vector>

// While it lives, the user guide is looked for beside a program folder in a
// temporary folder (installed there or not), and opening it only notes the
// address.
class CFakeGuideViewer
{
public:
    explicit CFakeGuideViewer(bool installed = true)
    {
        if (installed)
            m_folder.WriteFile("share/doc/vorkant/USER-GUIDE.html", "<html></html>");
        m_previousFolder = CUserGuide::SetProgramFolder(QString::fromStdString(m_folder / "bin"));
        m_previousOpener = CUserGuide::SetOpener(
            [this](const QUrl& url)
            {
                m_opened.push_back(url);
                return true;
            });
    }
    ~CFakeGuideViewer()
    {
        CUserGuide::SetOpener(m_previousOpener);
        CUserGuide::SetProgramFolder(m_previousFolder);
    }

    QString ProgramFolder() const { return QString::fromStdString(m_folder / "bin"); }
    QString GuideFile() const
    {
        return QString::fromStdString(m_folder / "share/doc/vorkant/USER-GUIDE.html");
    }

    std::vector<QUrl> m_opened;

private:
    CTestFolder m_folder;
    QString m_previousFolder;
    CUserGuide::Opener m_previousOpener;
};
