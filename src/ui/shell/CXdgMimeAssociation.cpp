#include "ui/shell/CXdgMimeAssociation.h"

#include <QProcess>
#include <QStandardPaths>

namespace
{
// The tool is a shell script that may walk every desktop entry; start-up
// must not wait on a hung one for long.
constexpr int kToolTimeoutMs = 10000;
} // namespace

QString CXdgMimeAssociation::QueryDefault(const QString& mimeType)
{
    return RunTool({QStringLiteral("query"), QStringLiteral("default"), mimeType});
}

void CXdgMimeAssociation::SetDefault(const QString& mimeType, const QString& desktopEntry)
{
    RunTool({QStringLiteral("default"), desktopEntry, mimeType});
}

bool CXdgMimeAssociation::IsInstalled(const QString& desktopEntry)
{
    return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopEntry).isEmpty();
}

QString CXdgMimeAssociation::RunTool(const QStringList& arguments)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(kToolTimeoutMs))
    {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}
