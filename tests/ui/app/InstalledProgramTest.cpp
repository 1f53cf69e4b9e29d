// The program as a desktop gets it: this build installed into a temporary
// prefix with cmake --install, what landed and whether the desktop's own
// validators take it, and the installed vorkant started as the file manager
// starts it, a second start handing its archive to the first window.
#include "settings/CAppSettings.h"
#include "support/CArchiveImage.h"
#include "ui/frame/FrameTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace
{
// Far beyond what any step takes: a process still running then hangs.
constexpr int kLimitMs = 60000;

// The exit code, -1 for a crash or a hang; the output goes to output.
int RunProgram(const QString& program, const QStringList& arguments, QString* output = nullptr,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const QString& folder = QString())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(kLimitMs) && process.waitForFinished(kLimitMs);
    if (!finished)
        process.kill();
    process.waitForFinished();
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class CInstalledProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QString output;
        ASSERT_EQ(RunProgram(VORKANT_CMAKE_COMMAND,
                             {"--install", VORKANT_BUILD_DIR, "--prefix", Prefix()}, &output),
                  0)
            << output.toStdString();
    }

    QString Prefix() const { return QString::fromStdString(m_prefix.Path().string()); }
    QString Installed(const QString& relative) const { return QDir(Prefix()).filePath(relative); }
    QString Read(const QString& relative) const
    {
        QFile file(Installed(relative));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    CTestFolder m_prefix;
    const QString m_strEntry = "share/applications/vorkant.desktop";
    const QString m_strMetadata = "share/metainfo/example.vorkant.vorkant.metainfo.xml";
};

TEST_F(CInstalledProgramTest, EachFileLandsWhereTheDesktopLooksAndPassesItsValidator)
{
    for (const char* file : {"bin/vorkant", "bin/vorkant-cli"})
        EXPECT_TRUE(QFileInfo(Installed(file)).isExecutable()) << file;
    const QString guide = Read("share/doc/vorkant/USER-GUIDE.html");
    for (const QString& file :
         {m_strEntry, m_strMetadata, QString("share/icons/hicolor/scalable/apps/vorkant.svg"),
          QString("share/doc/vorkant/USER-GUIDE.md")})
        EXPECT_TRUE(QFileInfo(Installed(file)).isFile()) << file.toStdString();
    EXPECT_TRUE(Read(m_strEntry).contains("\nExec=vorkant %f\n"));
    EXPECT_TRUE(Read(m_strMetadata).contains("<release version=\"" VORKANT_VERSION "\""));
    // A picture the guide shows came along.
    EXPECT_TRUE(guide.contains("<img src=\"images/options.png\""));
    EXPECT_TRUE(QFileInfo::exists(Installed("share/doc/vorkant/images/options.png")));

    // CI must validate; elsewhere scripts/setup brings the validators.
    const QString desktopValidate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    if ((desktopValidate.isEmpty() || appstream.isEmpty()) && !qEnvironmentVariableIsSet("CI"))
        GTEST_SKIP()
            << "desktop-file-validate or appstreamcli is missing: scripts/setup installs them";
    QString output;
    EXPECT_EQ(RunProgram(desktopValidate, {Installed(m_strEntry)}, &output), 0);
    EXPECT_EQ(output, QString()) << "warnings count too";
    EXPECT_EQ(RunProgram(appstream,
                         {"validate", "--no-net", "--no-color", Installed(m_strMetadata)}, &output),
              0);
    EXPECT_FALSE(output.contains(QRegularExpression("^[WE]:", QRegularExpression::MultilineOption)))
        << output.toStdString();
}

// Help, version and a wrong option are answered without a display, before
// any window would need one.
TEST_F(CInstalledProgramTest, TheProgramAnswersItsCommandLineWithoutADisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    const struct
    {
        const char* option;
        int status;
        const char* says;
    } cases[] = {{"--version", 0, "Vorkant " VORKANT_VERSION "\n"},
                 {"--help", 0, "Usage: vorkant [options] [archive]\n"},
                 {"--bogus", 2, "Unknown option 'bogus'.\n"}};
    for (const auto& c : cases)
    {
        QString output;
        EXPECT_EQ(RunProgram(Installed("bin/vorkant"), {c.option}, &output, environment),
                  c.status)
            << c.option;
        EXPECT_TRUE(output.startsWith(c.says)) << output.toStdString();
    }
}

// The first window shows that it opened the archive handed over through its
// recent files, stored at once; SIGTERM, as when the session ends, closes it
// the way Exit does.
TEST_F(CInstalledProgramTest, ASecondStartHandsItsArchiveToTheRunningWindow)
{
    const CUiTestHome home;
    CAppSettings settings;
    settings.m_bShowFinishedDialog = 0; // nobody is there to press "Finished"
    settings.Save();
    const CTestFolder& folder = home.Folder();
    const std::string archive = CArchiveImage().File("a.txt", "A").End().Bytes();
    const QString first = QString::fromStdString(folder.WriteFile("first.tar", archive));
    const QString second = QString::fromStdString(folder.WriteFile("second.tar", archive));
    const QString runtime = QString::fromStdString(folder / "runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(name, QString::fromStdString(folder / name));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.Path().string()));
    environment.insert("XDG_RUNTIME_DIR", runtime);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("VORKANT_TAPE_IMAGES");
    const QString program = Installed("bin/vorkant");
    const QString recentFiles = QString::fromStdString(folder / "Hessadyne/Vorkant.conf");
    const auto newestRecentFile = [&recentFiles] {
        return QSettings(recentFiles, QSettings::IniFormat)
            .value("Recent File List/File1")
            .toString();
    };

    QProcess window;
    window.setProcessChannelMode(QProcess::MergedChannels);
    window.setProcessEnvironment(environment);
    window.start(program, {first});
    const auto output = [&window] { return window.readAll().toStdString(); };
    ASSERT_TRUE(WaitUntil([&] { return newestRecentFile() == first; }, kLimitMs)) << output();

    // Named as the file manager may name it: relative to where it starts.
    EXPECT_EQ(
        RunProgram(program, {"second.tar"}, nullptr, environment, QFileInfo(second).absolutePath()),
        0);
    EXPECT_TRUE(WaitUntil([&] { return newestRecentFile() == second; }, kLimitMs)) << output();
    EXPECT_EQ(RunProgram(program, {}, nullptr, environment), 0)
        << "no archive: the window comes forward";
    EXPECT_EQ(window.state(), QProcess::Running);

    window.terminate();
    if (!window.waitForFinished(kLimitMs))
        window.kill();
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit) << output();
    EXPECT_EQ(window.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(runtime + "/vorkant-window"));
}
} // namespace
