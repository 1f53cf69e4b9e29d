#include "ui/frame/CArchiveView.h"

#include "ui/dialogs/CExtractionDlg.h"
#include "ui/frame/CFindBar.h"
#include "ui/frame/CMemberOpener.h"
#include "ui/frame/CPopupMenu.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/support/DialogTestSupport.h"
#include "ui/lists/CFileListCtrl.h"

#include "support/CArchiveImage.h"

#include <QAccessible>
#include <QFile>
#include <QLineEdit>
#include <QUrl>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

class CArchiveViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_actions.Serve(m_view);
        m_view.resize(500, 300);
        m_view.show();
    }

    void FillCatalogue(int count)
    {
        CFrameTestDocument::Fill(*m_doc.m_pCatalogue, count, "member");
        ASSERT_TRUE(WaitUntil([this, count] { return m_view.List().GetRowCount() == count; }));
    }

    void SelectRows(const std::vector<int>& rows)
    {
        CFileListCtrl& list = m_view.List();
        list.clearSelection();
        for (const int row : rows)
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // Opens the Extract dialog and hands it to choose, which ends it.
    void Extract(const std::function<void(CExtractionDlg*)>& choose)
    {
        WhenModal<CExtractionDlg>(choose);
        EXPECT_TRUE(m_view.OnCommand(ID_EXTRACT_FILES));
    }

    static void Choose(CExtractionDlg* dialog, const char* radioText)
    {
        for (QRadioButton* radio : dialog->findChildren<QRadioButton*>())
        {
            if (radio->text() == QLatin1String(radioText))
                radio->click();
        }
        dialog->accept();
    }

    CFrameTestDocument m_doc;
    CPaneActions m_actions;
    CArchiveView m_view{m_doc.Context(), m_actions.Actions()};
};

struct SPresetCase
{
    const char* pszName;
    int nRows;
    std::vector<int> selected;
    int nPreset;
    bool bSelectedDisabled;
};

TEST_F(CArchiveViewTest, ExtractPresetsTheSelectionByWhatIsSelected)
{
    const SPresetCase cases[] = {
        {"OneOfTen", 10, {4}, CExtractionDlg::SELECT_ALL, false},
        {"ThreeOfTen", 10, {1, 2, 7}, CExtractionDlg::SELECT_SELECTED, false},
        {"TenOfTen", 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, CExtractionDlg::SELECT_ALL, false},
        {"EmptyList", 0, {}, CExtractionDlg::SELECT_ALL, true},
    };
    for (const SPresetCase& preset : cases)
    {
        SCOPED_TRACE(preset.pszName);
        m_doc.m_pCatalogue->RemoveAll();
        FillCatalogue(preset.nRows);
        SelectRows(preset.selected);

        int type = -1;
        bool disabled = false;
        Extract(
            [&](CExtractionDlg* dialog)
            {
                type = dialog->m_nSelectionType;
                disabled = dialog->m_bSelectedDisabled;
                dialog->reject();
            });
        EXPECT_EQ(type, preset.nPreset);
        EXPECT_EQ(disabled, preset.bSelectedDisabled);
    }
    // Cancelled every time: nothing ran.
    EXPECT_EQ(m_doc.m_frontEnd.Runs(), 0);
}

TEST_F(CArchiveViewTest, ByTypeWithoutPatternsSaysSoAndExtractsNothing)
{
    FillCatalogue(3);
    QString text;
    WhenModal<QMessageBox>(
        [&text](QMessageBox* box)
        {
            text = box->text();
            box->accept();
        });
    Extract([](CExtractionDlg* dialog) { Choose(dialog, "By &Type"); });

    EXPECT_EQ(text, QStringLiteral("No file types chosen.  Extraction aborted."));
    EXPECT_EQ(m_doc.m_frontEnd.Runs(), 0);
}

TEST_F(CArchiveViewTest, ExtractsTheSelectedMembersIntoTheChosenFolder)
{
    const std::string archive = m_doc.m_folder.WriteFile(
        "three.tar",
        CArchiveImage().File("a.txt", "A").File("b.txt", "B").File("c.txt", "C").End().Bytes());
    ASSERT_TRUE(m_doc.m_pDoc->OnOpenDocument(archive));
    ASSERT_TRUE(WaitUntil([this] { return m_view.List().GetRowCount() == 3; }));
    const std::string destination = m_doc.m_folder / "out";
    std::filesystem::create_directory(destination);
    m_doc.m_settings.m_strExtractFolder = destination;
    SelectRows({0, 2});

    Extract([](CExtractionDlg* dialog) { Choose(dialog, "&Selected Files"); });

    namespace fs = std::filesystem;
    EXPECT_TRUE(fs::exists(fs::path(destination) / "a.txt"));
    EXPECT_FALSE(fs::exists(fs::path(destination) / "b.txt"));
    EXPECT_TRUE(fs::exists(fs::path(destination) / "c.txt"));
    EXPECT_EQ(m_doc.m_settings.m_strExtractFolder, destination);
    EXPECT_TRUE(m_doc.m_frontEnd.Errors().empty());
}

TEST_F(CArchiveViewTest, LinksFifosAndDevicesAreRowsWithNothingLogged)
{
    CArchiveImage image;
    image.File("a.txt", "A").Link("soft", "../a.txt").Link("hard", "a.txt", '1');
    image.File("fifo", "", '6').File("tty", "", '3');
    const std::string archive = m_doc.m_folder.WriteFile("links.tar", image.End().Bytes());
    ASSERT_TRUE(m_doc.m_pDoc->OnOpenDocument(archive));
    CFileListCtrl& list = m_view.List();
    ASSERT_TRUE(WaitUntil([&list] { return list.GetRowCount() == 5; }));

    const QAbstractItemModel& model = *list.model();
    const char* const names[] = {"a.txt", "soft -> ../a.txt", "hard link to a.txt", "fifo", "tty"};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(model.index(row, 0).data().toString(), names[row]);
    EXPECT_EQ(model.index(1, 1).data().toString(), "0 KB");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Path Name, 5 Total");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->tableInterface()->cellAt(1, 0)->text(QAccessible::Name), names[1]);
    EXPECT_EQ(m_doc.m_log.GetCount(), 0);
}

TEST_F(CArchiveViewTest, TheDeleteKeyRemovesNothingFromTheCatalogue)
{
    FillCatalogue(3);
    m_view.List().SelectRow(1);
    m_view.List().setFocus();
    QTest::keyClick(&m_view.List(), Qt::Key_Delete);
    Spin(50);
    EXPECT_EQ(m_doc.m_pCatalogue->GetCount(), 3);
}

// The popup's items follow the menu's rules: the operations need an open
// archive.
TEST_F(CArchiveViewTest, ThePopupOffersTheOperationsOnceAnArchiveIsOpen)
{
    CPopupMenu& popup = m_view.Popup();
    for (const bool open : {false, true})
    {
        SCOPED_TRACE(open ? "open" : "none open");
        if (open)
        {
            ASSERT_TRUE(m_doc.m_pDoc->OnOpenDocument(m_doc.m_folder.WriteFile(
                "one.tar", CArchiveImage().File("a.txt", "A").End().Bytes())));
            ASSERT_TRUE(WaitUntil([this] { return m_view.List().GetRowCount() == 1; }));
        }
        else
            FillCatalogue(2);
        const QRect row = m_view.List().visualRect(m_view.List().model()->index(0, 0));
        QTest::mousePress(m_view.List().viewport(), Qt::RightButton, {}, row.center());

        ASSERT_TRUE(WaitUntil([&popup] { return popup.isVisible(); }));
        for (const int id : {ID_EXTRACT_FILES, ID_LIST_ARCHIVE, ID_ERASE_ARCHIVE})
            EXPECT_EQ(popup.Item(id)->isEnabled(), open) << id;
        popup.close();
    }
}

// A double click, or Enter, hands the member's extracted file to the
// desktop; the Menu key opens the popup.
TEST_F(CArchiveViewTest, AMemberOpensFromTheKeyboardOrADoubleClick)
{
    ASSERT_TRUE(m_doc.m_pDoc->OnOpenDocument(m_doc.m_folder.WriteFile(
        "two.tar", CArchiveImage().File("a.txt", "alpha").File("b.txt", "bravo").End().Bytes())));
    CFileListCtrl& list = m_view.List();
    ASSERT_TRUE(WaitUntil([&list] { return list.GetRowCount() == 2; }));
    std::vector<std::string> opened;
    m_view.Opener().SetLauncher([&opened](const QUrl& url) {
        QFile file(url.toLocalFile());
        opened.push_back(file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "");
        return true;
    });

    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {},
                       list.visualRect(list.model()->index(1, 0)).center());
    list.SelectRow(0);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(opened, (std::vector<std::string>{"bravo", "alpha"}));

    QTest::keyClick(&list, Qt::Key_Menu);
    ASSERT_TRUE(WaitUntil([this] { return m_view.Popup().isVisible(); }));
    m_view.Popup().close();
}

// Ctrl+F narrows the catalogue to the names holding the text, the heading
// counts what shows, and Extract Files takes what is selected among it.
TEST_F(CArchiveViewTest, TheFindBarFiltersAndSelectedFilesComeFromWhatShows)
{
    CArchiveImage image;
    for (const char* name : {"a.txt", "b.doc", "c.txt", "d.doc"})
        image.File(name, name);
    ASSERT_TRUE(
        m_doc.m_pDoc->OnOpenDocument(m_doc.m_folder.WriteFile("four.tar", image.End().Bytes())));
    CFileListCtrl& list = m_view.List();
    ASSERT_TRUE(WaitUntil([&list] { return list.GetRowCount() == 4; }));
    m_view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    list.setFocus();

    QTest::keyClick(&list, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(m_view.FindBar().isVisible());
    // Found under its label, as a screen reader finds it.
    QLineEdit& field = Control<QLineEdit>(m_view.FindBar(), "Find:");
    QTest::keyClicks(&field, "DOC");
    ASSERT_EQ(list.GetRowCount(), 2);
    SelectRows({1});
    const std::string destination = m_doc.m_folder / "out";
    std::filesystem::create_directory(destination);
    m_doc.m_settings.m_strExtractFolder = destination;
    Extract([](CExtractionDlg* dialog) { Choose(dialog, "&Selected Files"); });
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(destination) / "d.doc"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(destination),
                            std::filesystem::directory_iterator()),
              1);

    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_FALSE(m_view.FindBar().isVisible());
    EXPECT_EQ(list.GetRowCount(), 4);
}

TEST_F(CArchiveViewTest, StoresTheColumnWidthsWhenItGoes)
{
    std::vector<std::uint32_t> widths;
    {
        CArchiveView view(m_doc.Context(), m_actions.Actions());
        view.List().GetColumnWidths(widths);
    }
    EXPECT_FALSE(widths.empty());
    EXPECT_EQ(m_doc.m_settings.m_columnWidths, widths);
}

} // namespace
