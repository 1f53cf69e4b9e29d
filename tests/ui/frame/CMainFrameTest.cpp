#include "ui/frame/CMainFrame.h"

#include "support/CArchiveImage.h"
#include "ui/frame/CAppendPage.h"
#include "ui/frame/CArchiveView.h"
#include "ui/frame/CFramePlacement.h"
#include "ui/frame/CLoggingPage.h"
#include "ui/frame/CMenuButtonToolBar.h"
#include "ui/frame/CPaneSplitter.h"
#include "ui/frame/CPopupMenu.h"
#include "ui/frame/CTabbedPages.h"
#include "ui/frame/CTabbedView.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/lists/CFileListCtrl.h"

#include <QAccessible>
#include <QClipboard>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <set>

namespace
{

// Stands in for the application: serves the file commands and notes them.
class CFakeApplication : public CCommandTarget
{
public:
    bool OnCommand(int id) override
    {
        if (!Serves(id))
            return false;
        m_commands.push_back(id);
        return true;
    }
    bool OnUpdateCommand(int id, bool& enabled) override
    {
        if (id != ID_FILE_NEW)
            return false;
        enabled = true;
        return true;
    }
    std::vector<int> m_commands;

private:
    static bool Serves(int id)
    {
        return id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_FILE_SAVE ||
               id == ID_FILE_OPEN_TAPE || id == ID_FILE_SAVE_TAPE;
    }
};

// While it lives, notes the texts of the actions of a popup menu that comes
// up and closes the menu.
class CPopupWatcher
{
public:
    CPopupWatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this]
                         {
                             if (auto* menu =
                                     qobject_cast<QMenu*>(QApplication::activePopupWidget()))
                             {
                                 for (QAction* action : menu->actions())
                                     m_texts << action->text();
                                 menu->close();
                             }
                         });
        m_timer.start(5);
    }
    QStringList m_texts;

private:
    QTimer m_timer;
};

class CMainFrameTest : public testing::Test
{
protected:
    explicit CMainFrameTest(std::vector<std::string> tapeImages = {}) : m_doc(std::move(tapeImages))
    {
        m_frame.SetApplicationTarget(&m_application);
    }

    bool Enabled(int id)
    {
        m_frame.UpdateCommandStates();
        return m_frame.Action(id)->isEnabled();
    }

    QToolButton* Button(int id) const { return m_frame.MainToolBar().ButtonOf(id); }

    // Clicks the button; the texts of the drop-down menu it showed, if any.
    QStringList Click(int id)
    {
        CPopupWatcher popup;
        QTest::mouseClick(Button(id), Qt::LeftButton);
        Spin(30);
        return popup.m_texts;
    }

    void OpenArchive()
    {
        const std::string archive =
            m_doc.m_folder.WriteFile("one.tar", CArchiveImage().File("a.txt", "A").End().Bytes());
        ASSERT_TRUE(m_doc.m_pDoc->OnOpenDocument(archive));
    }

    CFrameTestDocument m_doc;
    CMainFrame m_frame{m_doc.Context()};
    CFakeApplication m_application;
};

TEST_F(CMainFrameTest, TheMenusHoldEveryCommandInTableOrder)
{
    QStringList titles;
    for (QAction* menu : m_frame.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&View", "&Operations", "Files to &Add",
                                   "&Tools", "&Help"}));

    QStringList file;
    for (QAction* action : m_frame.menuBar()->actions().at(0)->menu()->actions())
        file << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(file, QStringList({"&New", "&Open...", "O&pen Tape...", "&Save", "S&ave Tape", "-",
                                 "Recent File", "-", "E&xit"}));
    EXPECT_EQ(m_frame.Action(ID_TAPE_FEATURES)->statusTip(),
              QStringLiteral("View tape drive features"));
    EXPECT_EQ(m_frame.Action(ID_EDIT_CUT)->shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}));
    EXPECT_EQ(m_frame.Action(ID_EDIT_PASTE)->shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));
}

TEST_F(CMainFrameTest, PageCommandsAreEnabledOnlyWhileTheirTabShows)
{
    m_doc.m_log.Add(CLogEntry("problem"));
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 3);
    CTabbedView& view = m_frame.TabbedView();
    ASSERT_TRUE(WaitUntil([&view] { return view.AppendPage().List().GetRowCount() == 3; }));
    view.AppendPage().List().SelectRow(1);

    view.Pages().SelectPage(CTabbedView::PAGE_FILES_TO_ADD);
    EXPECT_TRUE(Enabled(ID_MOVE_UP));
    EXPECT_FALSE(Enabled(ID_CLEAR_LOG));

    view.Pages().SelectPage(CTabbedView::PAGE_LOG);
    EXPECT_FALSE(Enabled(ID_MOVE_UP));
    EXPECT_TRUE(Enabled(ID_CLEAR_LOG));
    // Disabled is disabled however it is asked for.
    EXPECT_FALSE(m_frame.RouteCommand(ID_REMOVE_ALL));
    EXPECT_EQ(m_doc.m_pFilesToAdd->GetCount(), 3);
}

// One action a command: what the popups show is the menus' own.
TEST_F(CMainFrameTest, ThePopupsShowTheMenusOwnActions)
{
    CTabbedView& pages = m_frame.TabbedView();
    const std::pair<CPopupMenu*, int> items[] = {
        {&m_frame.ArchiveView().Popup(), ID_EXTRACT_FILES},
        {&pages.AppendPage().Popup(), ID_EDIT_COPY},
        {&pages.LoggingPage().Popup(), ID_CLEAR_LOG},
    };
    for (const auto& [popup, id] : items)
        EXPECT_EQ(popup->Item(id), m_frame.Action(id)) << id;
}

// Ctrl+X, Ctrl+C and Ctrl+V act on the list that has the focus: the
// catalogue's copy is its names, and nothing there is cut or pasted into.
TEST_F(CMainFrameTest, TheClipboardKeysActOnTheFocusedList)
{
    m_frame.show();
    OpenArchive();
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 3);
    CFileListCtrl& toAdd = m_frame.TabbedView().AppendPage().List();
    ASSERT_TRUE(WaitUntil([&toAdd] { return toAdd.GetRowCount() == 3; }));
    toAdd.SelectRow(1);
    CFileListCtrl& catalogue = m_frame.ArchiveView().List();
    ASSERT_TRUE(WaitUntil([&catalogue] { return catalogue.GetRowCount() == 1; }));
    catalogue.SelectRow(0);
    m_frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    catalogue.setFocus();
    ASSERT_TRUE(WaitUntil([&catalogue] { return catalogue.hasFocus(); }));

    QTest::keyClick(&catalogue, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&catalogue, Qt::Key_C, Qt::ControlModifier);
    Spin(30);
    EXPECT_EQ(m_doc.m_pFilesToAdd->GetCount(), 3) << "nothing the user does not see goes";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a.txt");

    m_frame.TabbedView().Pages().SelectPage(CTabbedView::PAGE_FILES_TO_ADD);
    toAdd.setFocus();
    ASSERT_TRUE(WaitUntil([&toAdd] { return toAdd.hasFocus(); }));
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
    QTest::keyClick(&toAdd, Qt::Key_X, Qt::ControlModifier);
    Spin(30);
    EXPECT_EQ(m_doc.m_pFilesToAdd->GetCount(), 2);
}

TEST_F(CMainFrameTest, CommandsNobodyServesStayDisabled)
{
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EXTRACT_FILES));
    EXPECT_FALSE(m_frame.RouteCommand(ID_EXTRACT_FILES));
    EXPECT_TRUE(Enabled(ID_FILE_NEW));
    EXPECT_TRUE(m_frame.RouteCommand(ID_FILE_NEW));
    EXPECT_EQ(m_application.m_commands, std::vector<int>({ID_FILE_NEW}));
}

TEST_F(CMainFrameTest, WithoutTapeDrivesOpenAndSaveActAtOnce)
{
    if (m_doc.m_pTapes->GetSize() > 0)
        GTEST_SKIP() << "this host has a tape drive";
    m_frame.show();
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 1);
    m_frame.UpdateCommandStates();

    EXPECT_FALSE(m_frame.MainToolBar().HasMenuButton(ID_FILE_OPEN));
    EXPECT_FALSE(m_frame.MainToolBar().HasMenuButton(ID_FILE_SAVE));
    EXPECT_FALSE(Enabled(ID_FILE_OPEN_TAPE));
    EXPECT_FALSE(Enabled(ID_FILE_SAVE_TAPE));
    EXPECT_TRUE(Click(ID_FILE_OPEN).isEmpty());
    EXPECT_TRUE(Click(ID_FILE_SAVE).isEmpty());
    EXPECT_EQ(m_application.m_commands, std::vector<int>({ID_FILE_OPEN, ID_FILE_SAVE}));
}

TEST_F(CMainFrameTest, ThreeDroppedFilesOpenTheFirst)
{
    m_frame.AcceptShellDrops();
    QSignalSpy opened(&m_frame, &CMainFrame::OpenFileRequested);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/first.tar")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/second.tar")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/third.tar"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_frame, &drop);

    ASSERT_TRUE(WaitUntil([&opened] { return opened.count() > 0; }));
    Spin(30);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString(), QStringLiteral("/tmp/first.tar"));
}

TEST_F(CMainFrameTest, ClosingKeepsThePaneAndToolbarsAndAsksForWaitingFiles)
{
    m_frame.ShowPlaced();
    m_frame.Splitter().setSizes({120, 300});
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 1);
    m_doc.m_frontEnd.QueueAnswer(IDCANCEL);

    EXPECT_FALSE(m_frame.close());
    EXPECT_EQ(m_doc.m_settings.m_nCatalogPaneHeight, 120);
    EXPECT_TRUE(QSettings(QStringLiteral("Hessadyne"), QStringLiteral("Vorkant"))
                    .contains(QStringLiteral("ToolBars")));
    ASSERT_EQ(m_doc.m_frontEnd.Questions().size(), 1u);
    EXPECT_EQ(m_doc.m_frontEnd.Questions()[0], "Save changes to Untitled?");

    m_doc.m_frontEnd.QueueAnswer(IDNO);
    EXPECT_TRUE(m_frame.close());
}

TEST_F(CMainFrameTest, TheTitleNamesTheDocument)
{
    m_frame.UpdateCommandStates();
    EXPECT_EQ(m_frame.windowTitle(), QStringLiteral("Untitled - Vorkant"));
    OpenArchive();
    m_frame.UpdateCommandStates();
    EXPECT_EQ(m_frame.windowTitle(), QStringLiteral("one.tar - Vorkant"));
}

struct SPlacementCase
{
    const char* pszName;
    QRect normal;
    std::uint32_t nShow;
    bool bMaximised;
    bool bBroughtBack;
};

TEST_F(CMainFrameTest, ShowsWhereTheStoredPlacementSays)
{
    const SPlacementCase cases[] = {
        {"Normal", QRect(60, 50, 500, 400), CFramePlacement::SW_SHOWNORMAL, false, false},
        {"Maximised", QRect(60, 50, 500, 400), CFramePlacement::SW_SHOWMAXIMIZED, true, false},
        {"OffScreen", QRect(9000, 9000, 500, 400), CFramePlacement::SW_SHOWNORMAL, false, true},
    };
    for (const SPlacementCase& test : cases)
    {
        SCOPED_TRACE(test.pszName);
        SWindowPlacement& placement = m_doc.m_settings.m_windowPlacement;
        placement = {};
        placement.length = CFramePlacement::PLACEMENT_LENGTH;
        placement.showCmd = test.nShow;
        placement.normalLeft = test.normal.left();
        placement.normalTop = test.normal.top();
        placement.normalRight = test.normal.left() + test.normal.width();
        placement.normalBottom = test.normal.top() + test.normal.height();
        CMainFrame frame(m_doc.Context());
        frame.ShowPlaced();
        Spin(30);

        EXPECT_EQ(frame.isMaximized(), test.bMaximised);
        const QRect expected =
            test.bBroughtBack
                ? QGuiApplication::primaryScreen()->availableGeometry().adjusted(20, 20, -20, -20)
                : test.normal;
        EXPECT_EQ(frame.normalGeometry(), expected);
        EXPECT_EQ(placement.showCmd, test.nShow);
        EXPECT_EQ(placement.normalLeft, expected.left());
        EXPECT_EQ(placement.normalBottom, expected.top() + expected.height());
    }
}

class CMainFrameTapeTest : public CMainFrameTest
{
protected:
    CMainFrameTapeTest() : CMainFrameTest({TapeImage()}) {}

    static std::string TapeImage()
    {
        static CTestFolder folder;
        return folder / "drive.tap";
    }
};

TEST_F(CMainFrameTapeTest, WithATapeDriveOpenAndSaveDropDownTheirMenus)
{
    m_frame.show();
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 1);
    m_frame.UpdateCommandStates();

    EXPECT_TRUE(m_frame.MainToolBar().HasMenuButton(ID_FILE_OPEN));
    EXPECT_TRUE(m_frame.MainToolBar().HasMenuButton(ID_FILE_SAVE));
    EXPECT_TRUE(Enabled(ID_FILE_OPEN_TAPE));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_TAPE));
    EXPECT_EQ(Click(ID_FILE_OPEN), QStringList({"Open &File", "Open &Tape"}));
    EXPECT_EQ(Click(ID_FILE_SAVE), QStringList({"Save &File", "Save &Tape"}));
    EXPECT_TRUE(m_application.m_commands.empty());
}

TEST_F(CMainFrameTapeTest, WithAnArchiveOpenSaveActsAtOnce)
{
    m_frame.show();
    OpenArchive();
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 1);
    m_frame.UpdateCommandStates();

    EXPECT_TRUE(m_frame.MainToolBar().HasMenuButton(ID_FILE_OPEN));
    EXPECT_FALSE(m_frame.MainToolBar().HasMenuButton(ID_FILE_SAVE));
    EXPECT_TRUE(Click(ID_FILE_SAVE).isEmpty());
    EXPECT_EQ(m_application.m_commands, std::vector<int>({ID_FILE_SAVE}));
}

} // namespace

namespace
{
// The interface a screen reader finds under the name and role, below root.
QAccessibleInterface* FindAccessible(QAccessibleInterface* root, const QString& name,
                                     QAccessible::Role role)
{
    if (root == nullptr)
        return nullptr;
    if (root->role() == role && root->text(QAccessible::Name) == name)
        return root;
    for (int i = 0; i < root->childCount(); ++i)
    {
        if (QAccessibleInterface* found = FindAccessible(root->child(i), name, role))
            return found;
    }
    return nullptr;
}
} // namespace

TEST_F(CMainFrameTest, AScreenReaderFindsTheListsTabsAndButtonsUnderTheirTexts)
{
    OpenArchive();
    m_doc.m_log.Add(CLogEntry("problem"));
    m_frame.show();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&m_frame);
    ASSERT_TRUE(WaitUntil([this] { return m_frame.ArchiveView().List().GetRowCount() == 1; }));

    QAccessibleInterface* catalogue = FindAccessible(root, "Catalogue", QAccessible::Table);
    ASSERT_NE(catalogue, nullptr);
    QAccessibleTableInterface* table = catalogue->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnDescription(0), QStringLiteral("Path Name, 1 Total"));
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("Size, 0.0 MB"));
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("a.txt"));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("1 KB"));
    for (const char* name : {"Files To Add", "Application Log"})
    {
        EXPECT_NE(FindAccessible(root, name, QAccessible::Table), nullptr) << name;
        EXPECT_NE(FindAccessible(root, name, QAccessible::PageTab), nullptr) << name;
    }
    EXPECT_NE(FindAccessible(root, "Move Top", QAccessible::Button), nullptr);
    EXPECT_NE(FindAccessible(root, "Operations", QAccessible::MenuItem), nullptr);
}
