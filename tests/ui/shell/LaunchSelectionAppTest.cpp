#include "ui/shell/LaunchSelectionApp.h"

#include "core/CErrorReporter.h"
#include "core/COsException.h"
#include "settings/CAppSettings.h"
#include "support/ExpectRaise.h"
#include "ui/shell/CDesktopLauncher.h"
#include "ui/support/DialogTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <set>

namespace
{

// Notes each call into the desktop, which offers the file manager on the
// "bus", through "open" or not at all. The program "quits" ends at once,
// "missing" cannot start, and any other runs on.
class CFakeLauncher : public CDesktopLauncher, public CErrorReporter
{
public:
    QString m_strDesktop;
    QStringList m_calls;

    int ShowError(const std::string& text, unsigned) override
    {
        m_calls << "error " + QString::fromStdString(text).trimmed();
        return IDOK;
    }

protected:
    bool ShowFolderOnBus(const QString&) override { return Note("bus") == m_strDesktop; }
    bool OpenFolder(const QString& folder) override
    {
        Note("open " + folder);
        return m_strDesktop == "open";
    }
    qint64 Start(const QStringList& command) override
    {
        if (command.front() == "missing")
            throw COsException(ERROR_FILE_NOT_FOUND);
        if (Note("start " + command.join('|')) != "start quits")
            m_running.insert(m_calls.size());
        return m_calls.size();
    }
    bool IsRunning(qint64 pid) override { return m_running.count(pid) != 0; }
    void Raise(qint64 pid) override { Note(QStringLiteral("raise %1").arg(pid)); }

private:
    const QString& Note(const QString& call) { return m_calls << call, m_calls.back(); }
    std::set<qint64> m_running;
};

TEST(LaunchSelectionAppTest, RaisesWhatRunsRatherThanStartItAgainAndReportsFailures)
{
    const QString home = "open " + QDir::homePath();
    const QString notFound =
        "error " + QString::fromStdString(TextOf(ERROR_FILE_NOT_FOUND)).trimmed();
    const struct
    {
        int nUseExplorer;
        const char* pszCommand; // in VORKANT_FILE_MANAGER
        const char* pszDesktop;
        QStringList calls;
    } cases[] = {
        {1, "fm", "bus", {"bus", "bus"}},
        {1, "", "open", {"bus", home, "bus", home}},
        {1, "", "", {"bus", home, notFound, "bus", home, notFound}},
        {0, "fm -w \"my files\"", "bus", {"start fm|-w|my files", "raise 1"}},
        {0, "quits", "bus", {"start quits", "start quits"}},
        {0, "missing", "bus", {notFound, notFound}},
        {0, " ", "bus", {"bus", "bus"}},
    };
    const QByteArray saved = qgetenv("VORKANT_FILE_MANAGER");
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.pszCommand);
        CFakeLauncher fake;
        fake.m_strDesktop = test.pszDesktop;
        CDesktopLauncher* const launcher = CDesktopLauncher::SetCurrent(&fake);
        CErrorReporter* const reporter = CException::SetReporter(&fake);
        qputenv("VORKANT_FILE_MANAGER", test.pszCommand);
        CAppSettings settings;
        settings.m_bUseExplorer = test.nUseExplorer;
        LaunchSelectionApp(settings, nullptr);
        LaunchSelectionApp(settings, nullptr);
        EXPECT_EQ(fake.m_calls, test.calls);
        CException::SetReporter(reporter);
        CDesktopLauncher::SetCurrent(launcher);
    }
    qputenv("VORKANT_FILE_MANAGER", saved);
}

} // namespace
