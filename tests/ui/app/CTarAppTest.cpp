#include "ui/app/CTarApp.h"

#include "support/CArchiveImage.h"
#include "ui/frame/CMainFrame.h"
#include "ui/frame/CPaneSplitter.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/shell/CAboutDlg.h"
#include "ui/shell/CDefaultAssocDlg.h"
#include "ui/shell/CFakeMimeAssociation.h"
#include "ui/shell/CSplashWnd.h"

#include <QCheckBox>
#include <QDir>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include "ui/dialogs/COptionsDlg.h"
#include "ui/dialogs/CTapeDevicesDlg.h"
#include "ui/support/CFakeGuideViewer.h"
#include "ui/support/DialogTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <utility>
#include <vector>

namespace
{

class CTarAppTest : public testing::Test
{
protected:
    // Nobody is there to press "Finished" after each operation.
    void SetUp() override
    {
        StoreSettings([](CAppSettings& settings) { settings.m_bShowFinishedDialog = 0; });
    }

    std::string WriteArchive(const std::string& name = "three.tar")
    {
        return m_home.Folder().WriteFile(
            name,
            CArchiveImage().File("a.txt", "A").File("b.txt", "B").File("c.txt", "C").End().Bytes());
    }

    static void StoreSettings(const std::function<void(CAppSettings&)>& change)
    {
        CAppSettings settings;
        change(settings);
        settings.Save();
    }

    static CAppSettings StoredSettings()
    {
        CAppSettings settings;
        settings.Load();
        return settings;
    }

    // Answers the next message box with the button, noting its text.
    static void Answer(QMessageBox::StandardButton button, QString* text = nullptr)
    {
        WhenModal<QMessageBox>(
            [button, text](QMessageBox* box)
            {
                if (text)
                    *text = box->text();
                box->button(button)->click();
            });
    }

    CUiTestHome m_home;
    CModalWatchdog m_watchdog;
    CTapeImagesVariable m_noTapes{{}};
    CFakeMimeAssociation m_association;
};

TEST_F(CTarAppTest, AnArchiveOnTheCommandLineOpensWithoutTheFinishedLook)
{
    StoreSettings([](CAppSettings& settings) { settings.m_bShowFinishedDialog = 1; });
    const std::string archive = WriteArchive();
    CTarApp app(&m_association);
    // Were the finished look shown, it would wait for a press that never
    // comes; this ends it and fails.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout,
                     []
                     {
                         if (QWidget* modal = QApplication::activeModalWidget())
                         {
                             ADD_FAILURE() << "a modal window waited for the user";
                             modal->close();
                         }
                     });
    guard.start(3000);

    ASSERT_TRUE(app.InitInstance({"vorkant", QString::fromStdString(archive)}));
    guard.stop();

    EXPECT_TRUE(app.IsStarted());
    EXPECT_EQ(m_association.m_strTarDefault, QStringLiteral("vorkant.desktop"));
    EXPECT_EQ(app.Doc().m_catalogue.GetCount(), 3);
    EXPECT_EQ(app.Doc().GetPathName(), archive);
    EXPECT_EQ(app.Settings().m_bShowFinishedDialog, 1);
    EXPECT_EQ(app.RecentFiles().Paths(), QStringList{QString::fromStdString(archive)});
    EXPECT_TRUE(app.Frame()->isVisible());
    EXPECT_TRUE(app.Frame()->acceptDrops());
    app.ExitInstance();
}

TEST_F(CTarAppTest, AnArchiveThatDoesNotOpenEndsTheStart)
{
    const std::string archive = m_home.Folder().WriteFile("damaged.tar", std::string(2048, 'x'));
    CTarApp app(&m_association);
    QString error;
    Answer(QMessageBox::Ok, &error);

    EXPECT_FALSE(app.InitInstance({"vorkant", QString::fromStdString(archive)}));
    EXPECT_FALSE(app.IsStarted());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(app.RecentFiles().Paths().isEmpty());
    app.ExitInstance();
}

TEST_F(CTarAppTest, AnArchiveThatIsNotThereIsNotMadeByOpeningIt)
{
    const std::string missing = m_home.Folder() / "missing.tar";
    CTarApp app(&m_association);
    QString error;
    Answer(QMessageBox::Ok, &error);

    EXPECT_FALSE(app.InitInstance({"vorkant", QString::fromStdString(missing)}));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.tar"))) << error.toStdString();
    EXPECT_FALSE(std::filesystem::exists(missing));
    app.ExitInstance();
}

struct SNewCase
{
    const char* pszName;
    QMessageBox::StandardButton answer;
    int nLeft;
};

TEST_F(CTarAppTest, NewAsksToSaveTheWaitingFilesFirst)
{
    const SNewCase cases[] = {
        {"Cancel", QMessageBox::Cancel, 2},
        {"DoNotSave", QMessageBox::No, 0},
    };
    CTarApp app(&m_association);
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    for (const SNewCase& test : cases)
    {
        SCOPED_TRACE(test.pszName);
        app.Doc().m_filesToAdd.RemoveAll();
        CFrameTestDocument::Fill(app.Doc().m_filesToAdd, 2);
        app.Frame()->UpdateCommandStates();
        QString question;
        Answer(test.answer, &question);

        EXPECT_TRUE(app.Frame()->RouteCommand(ID_FILE_NEW));
        EXPECT_EQ(question, QStringLiteral("Save changes to Untitled?"));
        EXPECT_EQ(app.Doc().m_filesToAdd.GetCount(), test.nLeft);
    }
    app.ExitInstance();
}

TEST_F(CTarAppTest, ExitSavesTheSettingsWithThePaneAndPlacement)
{
    {
        CTarApp app(&m_association);
        ASSERT_TRUE(app.InitInstance({"vorkant"}));
        app.Frame()->Splitter().setSizes({170, 250});
        app.Frame()->UpdateCommandStates();
        EXPECT_TRUE(app.Frame()->RouteCommand(ID_APP_EXIT));
        EXPECT_FALSE(app.Frame()->isVisible());
        app.ExitInstance();
    }
    const CAppSettings stored = StoredSettings();
    EXPECT_EQ(stored.m_nCatalogPaneHeight, 170);
    EXPECT_EQ(stored.m_windowPlacement.length, 44u);
    EXPECT_FALSE(stored.m_columnWidths.empty());
}

TEST_F(CTarAppTest, ARecentFileThatNoLongerOpensLeavesTheList)
{
    const std::string kept = WriteArchive("kept.tar");
    const std::string gone = WriteArchive("gone.tar");
    {
        CTarApp app(&m_association);
        ASSERT_TRUE(app.InitInstance({"vorkant", QString::fromStdString(kept)}));
        ASSERT_TRUE(app.OpenDocumentFile(QString::fromStdString(gone)));
        EXPECT_EQ(app.RecentFiles().Paths(),
                  QStringList({QString::fromStdString(gone), QString::fromStdString(kept)}));
        app.ExitInstance();
    }
    std::filesystem::remove(gone);
    CTarApp app(&m_association);
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    Answer(QMessageBox::Ok);
    app.Frame()->UpdateCommandStates();
    EXPECT_TRUE(app.Frame()->RouteCommand(ID_FILE_MRU_FILE1));

    EXPECT_EQ(app.RecentFiles().Paths(), QStringList{QString::fromStdString(kept)});
    EXPECT_EQ(app.Frame()->Action(ID_FILE_MRU_FILE1 + 1), nullptr);
    app.Frame()->UpdateCommandStates();
    EXPECT_TRUE(app.Frame()->IsCommandEnabled(ID_FILE_MRU_FILE1));
    EXPECT_FALSE(app.Frame()->IsCommandEnabled(ID_FILE_MRU_FILE1 + 1));
    app.ExitInstance();
}

TEST_F(CTarAppTest, OpenTapeStoresTheChoicesAndOpensTheDrive)
{
    const CTapeImagesVariable tapes({m_home.Folder() / "drive.tap"});
    CTarApp app(&m_association);
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    app.Frame()->UpdateCommandStates();
    ASSERT_TRUE(app.Frame()->IsCommandEnabled(ID_FILE_OPEN_TAPE));
    WhenModal<CTapeDevicesDlg>(
        [](CTapeDevicesDlg* dialog)
        {
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
            {
                if (box->text() == QLatin1String("&Use Compression"))
                    box->setChecked(true);
            }
            dialog->accept();
            // Whether to catalogue the tape: not now.
            Answer(QMessageBox::Cancel);
        });

    EXPECT_TRUE(app.Frame()->RouteCommand(ID_FILE_OPEN_TAPE));

    EXPECT_EQ(app.Settings().m_bUseCompression, 1);
    EXPECT_EQ(app.Settings().m_nTapeDevice, 0);
    EXPECT_EQ(app.Doc().GetPathName(), "\\\\.\\tape0");
    EXPECT_TRUE(app.Doc().IsArchiveOpen());
    app.ExitInstance();
}

TEST_F(CTarAppTest, TheArchiveBoxesOfTheOptionsAreStoredOnOk)
{
    const std::vector<std::pair<QString, std::int32_t CTarSettings::*>> boxes{
        {"Use each file's own owner and permissions", &CTarSettings::m_bOwnPermissions},
        {"Store holes in sparse files as holes", &CTarSettings::m_bSparse},
    };
    CTarApp app(&m_association);
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    const CTarSettings before = app.Settings().m_tarSettings;
    WhenModal<COptionsDlg>(
        [&boxes](COptionsDlg* sheet)
        {
            for (const auto& [name, field] : boxes)
            {
                // Reached under its text, as a screen reader finds it, on its
                // page brought forward.
                auto& box = Control<QCheckBox>(*sheet, name);
                sheet->findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly)
                    ->setCurrentWidget(box.parentWidget());
                QTest::mouseClick(&box, Qt::LeftButton);
            }
            sheet->accept();
        });

    app.Frame()->UpdateCommandStates();
    EXPECT_TRUE(app.Frame()->RouteCommand(ID_OPTIONS));

    for (const auto& [name, field] : boxes)
    {
        EXPECT_EQ(app.Settings().m_tarSettings.*field, 1 - before.*field) << name.toStdString();
        EXPECT_EQ(StoredSettings().m_tarSettings.*field, 1 - before.*field) << name.toStdString();
    }
    app.ExitInstance();
}

TEST_F(CTarAppTest, StartUpAsksOverTheSplashToOpenTarFilesKeepsTheBoxAndServesAbout)
{
    const QString other = QStringLiteral("org.example.Archiver.desktop");
    m_association.m_strTarDefault = other;
    CTarApp app(&m_association);
    QPointer<CSplashWnd> splash;
    WhenModal<CDefaultAssocDlg>(
        [&splash](CDefaultAssocDlg* dialog)
        {
            splash = qobject_cast<CSplashWnd*>(dialog->parentWidget());
            dialog->findChild<QCheckBox*>()->click();
            dialog->reject();
        });
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    EXPECT_EQ(app.Settings().m_bNoAssocPrompt, 1);
    EXPECT_EQ(m_association.m_strTarDefault, other);
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(WaitUntil([&splash] { return !splash || !splash->isVisible(); }, 2000));
    EXPECT_EQ(QApplication::activeWindow(), app.Frame());

    app.Frame()->UpdateCommandStates();
    WhenModal<CAboutDlg>([](CAboutDlg* dialog) { dialog->accept(); });
    EXPECT_TRUE(app.Frame()->RouteCommand(ID_APP_ABOUT));
    app.ExitInstance();
}

TEST_F(CTarAppTest, ARelativeArchiveOnTheCommandLineIsRememberedWithItsFolder)
{
    const std::string archive = WriteArchive();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(m_home.Folder().Path().string()));
    CTarApp app(&m_association);
    const bool started = app.InitInstance({"vorkant", "three.tar"});
    QDir::setCurrent(previous);

    ASSERT_TRUE(started);
    EXPECT_EQ(app.RecentFiles().Paths(), QStringList{QString::fromStdString(archive)});
    app.ExitInstance();
}

// As an archive opened from the file manager, but not inside another modal
// window: the open waits for it to close, then asks about the waiting files,
// and the window comes forward.
TEST_F(CTarAppTest, AnArchiveHandedOverOpensInTheRunningWindowOnceItIsFree)
{
    const QString archive = QString::fromStdString(WriteArchive());
    CTarApp app(&m_association);
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    CFrameTestDocument::Fill(app.Doc().m_filesToAdd, 2);
    app.Frame()->showMinimized();
    bool openedMeanwhile = true;
    WhenModal<QMessageBox>(
        [&](QMessageBox* box)
        {
            emit app.Instance().HandedOver(archive);
            Spin(600);
            openedMeanwhile = app.Doc().IsArchiveOpen();
            box->accept();
        });
    QMessageBox::information(app.Frame(), QStringLiteral("Busy"), QStringLiteral("Busy"));
    QString question;
    Answer(QMessageBox::No, &question);

    EXPECT_TRUE(WaitUntil([&] { return app.Doc().IsArchiveOpen(); }));
    EXPECT_FALSE(openedMeanwhile);
    EXPECT_EQ(question, QStringLiteral("Save changes to Untitled?"));
    EXPECT_EQ(app.Doc().GetPathName(), archive.toStdString());
    EXPECT_FALSE(app.Frame()->isMinimized());
    app.ExitInstance();
}

TEST_F(CTarAppTest, F1OpensTheGuideAndUsingHelpItsFirstSection)
{
    const CFakeGuideViewer viewer;
    CTarApp app(&m_association);
    ASSERT_TRUE(app.InitInstance({"vorkant"}));
    app.Frame()->UpdateCommandStates();
    for (const int id : {ID_HELP, ID_HELP_USING})
        EXPECT_TRUE(app.Frame()->IsCommandEnabled(id) && app.Frame()->RouteCommand(id)) << id;

    ASSERT_EQ(viewer.m_opened.size(), 2u);
    EXPECT_EQ(viewer.m_opened[0].fragment(), QString());
    EXPECT_EQ(viewer.m_opened[1].fragment(), QStringLiteral("using-this-guide"));
    app.ExitInstance();
}

#ifdef Q_OS_UNIX
struct SSessionEndCase
{
    const char* pszName;
    // What waits to be added, and the command that brings up the window the
    // session ends in; the topmost window then is of the class named.
    std::vector<std::string> waiting;
    int nCommand;
    const char* pszTopClass;
};

// A logout while a question, or an operation's wait window, is up: the
// program ends within the session's moments, as Exit would, having stored
// its settings, and writes nothing to the archive that was not asked for.
TEST_F(CTarAppTest, TheSessionEndingClosesWhatIsUpStoresTheSettingsAndEnds)
{
    // The window serves later starts from a socket in its runtime folder.
    const std::string runtime = m_home.Folder() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const QByteArray previousRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    const std::string archive = WriteArchive();
    const std::string before = m_home.Folder().ReadFile("three.tar");
    const std::string added = m_home.Folder().WriteFile("added.txt", "added");
    const std::string missing = m_home.Folder() / "missing.txt";
    const SSessionEndCase cases[] = {
        {"SaveChangesQuestion", {added}, ID_FILE_NEW, "QMessageBox"},
        {"WorkerQuestionOverTheWaitWindow", {missing, added}, ID_FILE_SAVE, "QMessageBox"},
        {"FinishedLook", {}, ID_LIST_ARCHIVE, "CTarWaitDlg"},
    };
    for (const SSessionEndCase& test : cases)
    {
        SCOPED_TRACE(test.pszName);
        StoreSettings([](CAppSettings& settings) { settings.m_bShowFinishedDialog = 1; });
        CTarApp app(&m_association);
        QElapsedTimer sinceSignal;
        bool commanded = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout,
                         [&]
                         {
                             QWidget* modal = QApplication::activeModalWidget();
                             if (commanded && modal && modal->inherits(test.pszTopClass))
                             {
                                 poll.stop();
                                 sinceSignal.start();
                                 std::raise(SIGTERM);
                             }
                             if (commanded || !app.IsStarted() || modal)
                                 return;
                             commanded = true;
                             app.Frame()->Splitter().setSizes({170, 250});
                             for (const std::string& path : test.waiting)
                                 app.Doc().m_filesToAdd.Add(SFileEntry(path));
                             app.Frame()->UpdateCommandStates();
                             QTimer::singleShot(0, app.Frame(),
                                                [&] { app.Frame()->RouteCommand(test.nCommand); });
                         });
        poll.start(10);

        EXPECT_EQ(app.Run({"vorkant", QString::fromStdString(archive)}), 0);

        EXPECT_TRUE(sinceSignal.isValid() && sinceSignal.elapsed() < 5000);
        EXPECT_EQ(StoredSettings().m_nCatalogPaneHeight, 170);
        EXPECT_TRUE(m_home.Folder().ReadFile("three.tar") == before) << "the archive was written";
    }
    qputenv("XDG_RUNTIME_DIR", previousRuntime);
}
#endif

} // namespace
