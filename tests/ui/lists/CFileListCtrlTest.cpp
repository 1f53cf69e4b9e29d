#include "ui/lists/CFileListCtrl.h"

#include "core/CMessageLog.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/lists/SListEvent.h"
#include "ListTestSupport.h"
#include "support/CTestFolder.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <thread>
#include <vector>

namespace
{

// Records the list events the control sends its owner.
class CListListener : public CEventHandler
{
public:
    explicit CListListener(CFileListCtrl& list) { list.Advise(this, &CListListener::OnEvent); }
    ~CListListener() override { UnadviseAll(); }
    int OnEvent(void* record)
    {
        m_events.push_back(*static_cast<const SListEvent*>(record));
        return 0;
    }
    std::vector<SListEvent> OfKind(std::int32_t kind) const
    {
        std::vector<SListEvent> found;
        for (const SListEvent& event : m_events)
        {
            if (event.nKind == kind)
                found.push_back(event);
        }
        return found;
    }
    std::vector<SListEvent> m_events;
};

class CFileListCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_list.resize(600, 300);
        m_list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_list));
    }

    void Attach(bool acceptDrops = true) { m_list.Attach(&m_source, acceptDrops); }
    void Fill(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            m_source.Add(MakeEntry(name, 1024));
    }
    QString Heading(int col) const
    {
        return m_source.headerData(col, Qt::Horizontal).toString();
    }
    QString Name(int row) const { return m_source.data(m_source.index(row, 0)).toString(); }
    void SelectRows(std::initializer_list<int> rows)
    {
        for (const int row : rows)
            m_list.selectionModel()->select(m_source.index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QList<QUrl> ClipboardUrls() { return QGuiApplication::clipboard()->mimeData()->urls(); }
    void PutOnClipboard(const QList<QUrl>& urls)
    {
        auto* data = new QMimeData;
        data->setUrls(urls);
        QGuiApplication::clipboard()->setMimeData(data);
    }
    // Drags the urls from a file manager onto the list; whether it took them.
    bool Drop(const QList<QUrl>& urls, Qt::DropAction proposed = Qt::CopyAction)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint centre = m_list.viewport()->rect().center();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(centre, offered, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(proposed);
        QCoreApplication::sendEvent(m_list.viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(centre), offered, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(proposed);
        QCoreApplication::sendEvent(m_list.viewport(), &drop);
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        return drop.isAccepted();
    }

    CMessageLog m_log;
    CFileDataSource m_source{true, 100, &m_log};
    CFileListCtrl m_list;
};

TEST_F(CFileListCtrlTest, EmptyListShowsZeroesInTheHeadings)
{
    Attach();
    EXPECT_EQ(Heading(0), "Path Name, 0 Total");
    EXPECT_EQ(Heading(1), "Size, 0.0 MB");
    EXPECT_EQ(Heading(2), "Time");
    EXPECT_EQ(m_list.GetRowCount(), 0);
    EXPECT_FALSE(m_list.CanCopy());
}

TEST_F(CFileListCtrlTest, HeadingsFollowTheList)
{
    Attach();
    m_source.Add(MakeEntry("a", 1025));
    m_source.Add(MakeEntry("b", 1572864));
    EXPECT_EQ(Heading(0), "Path Name, 2 Total");
    EXPECT_EQ(Heading(1), "Size, 1.5 MB");
    EXPECT_EQ(m_source.data(m_source.index(0, 1)).toString(), "2 KB");
    m_source.RemoveAll();
    EXPECT_EQ(Heading(0), "Path Name, 0 Total");
    EXPECT_EQ(m_list.GetRowCount(), 0);
}

TEST_F(CFileListCtrlTest, AttachShowsWhatTheListHolds)
{
    Fill({"a"});
    Attach();
    EXPECT_EQ(m_list.GetDataSource(), &m_source);
    EXPECT_EQ(m_list.GetRowCount(), 1);
    EXPECT_EQ(Heading(0), "Path Name, 1 Total");
    // A single entry is selected at once.
    EXPECT_EQ(m_list.GetCurrentRow(), 0);

    // A second list takes the first one's place entirely.
    CFileDataSource other;
    other.Add(MakeEntry("x"));
    other.Add(MakeEntry("y"));
    m_list.Attach(&other, false);
    m_source.Add(MakeEntry("b"));
    EXPECT_EQ(m_list.GetRowCount(), 2);
    EXPECT_EQ(other.headerData(0, Qt::Horizontal).toString(), "Path Name, 2 Total");
}

TEST_F(CFileListCtrlTest, RowsAndHeadingAreTheFontHeightPlusTwoAtLeast18)
{
    Attach();
    QFont small = m_list.font();
    small.setPixelSize(8);
    m_list.SetListFont(small);
    EXPECT_EQ(m_list.verticalHeader()->defaultSectionSize(), 18);
    EXPECT_EQ(m_list.horizontalHeader()->height(), 18);

    QFont large = small;
    large.setPixelSize(30);
    m_list.SetListFont(large);
    const int expected = QFontMetrics(large).height() + 2;
    ASSERT_GT(expected, 18);
    EXPECT_EQ(m_list.verticalHeader()->defaultSectionSize(), expected);
    EXPECT_EQ(m_list.horizontalHeader()->height(), expected);
}

TEST_F(CFileListCtrlTest, ColumnsShareTheWidthAndNarrowWithTheWindow)
{
    Attach();
    const int available = m_list.GetAvailableWidth();
    std::vector<std::uint32_t> widths;
    m_list.GetColumnWidths(widths);
    const int name = static_cast<int>(available * 0.66);
    EXPECT_EQ(widths, (std::vector<std::uint32_t>{static_cast<std::uint32_t>(name),
                                                  static_cast<std::uint32_t>((available - name) / 2),
                                                  static_cast<std::uint32_t>((available - name) / 2)}));

    m_list.SetAutoSize(false);
    m_list.SetColumnWidths({500, 40});
    m_list.resize(300, 300);
    QCoreApplication::processEvents();
    m_list.GetColumnWidths(widths);
    EXPECT_EQ(widths[0], static_cast<std::uint32_t>(m_list.GetAvailableWidth()));
    EXPECT_EQ(widths[1], 40u);

    m_list.SetAutoSize(true);
    m_list.resize(500, 300);
    QCoreApplication::processEvents();
    m_list.GetColumnWidths(widths);
    EXPECT_EQ(widths[0], static_cast<std::uint32_t>(m_list.GetAvailableWidth() * 0.66));
}

TEST_F(CFileListCtrlTest, SelectionIsReportedInRowOrder)
{
    Fill({"a", "b", "c", "d", "e"});
    Attach();
    std::vector<int> rows;
    EXPECT_FALSE(m_list.GetSelectedRows(rows));

    SelectRows({3, 1});
    EXPECT_TRUE(m_list.GetSelectedRows(rows));
    EXPECT_EQ(rows, (std::vector<int>{1, 3}));
    EXPECT_EQ(m_list.GetCurrentRow(), 1);

    m_list.SelectRow(4);
    EXPECT_TRUE(m_list.GetSelectedRows(rows));
    EXPECT_EQ(rows, (std::vector<int>{4}));
    m_list.SelectRow(9);
    EXPECT_FALSE(m_list.GetSelectedRows(rows));
}

TEST_F(CFileListCtrlTest, OwnerHearsOfRowsRightClicksAndKeys)
{
    Fill({"a", "b", "c"});
    Attach();
    CListListener listener(m_list);
    int changes = 0;
    QObject::connect(&m_list, &CFileListCtrl::ListChanged, [&] { ++changes; });

    m_list.SelectRow(2);
    const QPoint inRows(20, 5);
    QTest::mousePress(m_list.viewport(), Qt::RightButton, {}, inRows);
    QTest::mouseRelease(m_list.viewport(), Qt::RightButton, {}, inRows);
    m_list.setFocus();
    QTest::keyClick(&m_list, Qt::Key_Delete);
    // The popup's keys open it at the current row, Enter and a double click
    // open a row.
    m_list.SelectRow(2);
    QTest::keyClick(&m_list, Qt::Key_Menu);
    QTest::keyClick(&m_list, Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(&m_list, Qt::Key_Return);
    const QPoint firstRow = m_list.visualRect(m_source.index(0, 0)).center();
    QTest::mouseDClick(m_list.viewport(), Qt::LeftButton, {}, firstRow);

    const std::vector<SListEvent> rows = listener.OfKind(LIST_EVENT_ROW_CHANGED);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().nRow, 2);
    const std::vector<SListEvent> down = listener.OfKind(LIST_EVENT_RBUTTON_DOWN);
    ASSERT_EQ(down.size(), 3u);
    const QPoint expected = m_list.viewport()->geometry().topLeft() + inRows;
    EXPECT_EQ(QPoint(down[0].nX, down[0].nY), expected);
    const QPoint atRow = m_list.viewport()->mapTo(
        &m_list, m_list.visualRect(m_source.index(2, 0)).center());
    EXPECT_EQ(QPoint(down[1].nX, down[1].nY), atRow);
    EXPECT_EQ(QPoint(down[2].nX, down[2].nY), atRow);
    const std::vector<SListEvent> opened = listener.OfKind(LIST_EVENT_OPEN);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].nRow, 2);
    EXPECT_EQ(opened[1].nRow, 0);
    EXPECT_EQ(listener.OfKind(LIST_EVENT_RBUTTON_UP).size(), 1u);
    const std::vector<SListEvent> keys = listener.OfKind(LIST_EVENT_KEY);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].nKey, VK_DELETE_KEY);
    // The control only reports the key; its owner decides.
    EXPECT_EQ(m_source.GetCount(), 3);
    EXPECT_GT(changes, 0);
}

// Typing in the find bar shows the rows whose names hold the text, in any
// case, in their order; what the control reports stays the list's rows.
TEST_F(CFileListCtrlTest, ShowingNamesThatHoldATextKeepsTheListsRows)
{
    Fill({"docs/Report.TXT", "src/main.cpp", "docs/notes.txt", "Ünïcode.txt", "README"});
    Attach();
    const struct
    {
        const char* text;
        std::vector<QString> shown;
    } cases[] = {{"txt", {"docs/Report.TXT", "docs/notes.txt", "Ünïcode.txt"}},
                 {"DOCS/", {"docs/Report.TXT", "docs/notes.txt"}},
                 {"ünï", {"Ünïcode.txt"}},
                 {"nothing", {}},
                 {"", {"docs/Report.TXT", "src/main.cpp", "docs/notes.txt", "Ünïcode.txt", "README"}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        m_list.ShowNamesHolding(QString::fromUtf8(c.text));
        std::vector<QString> shown;
        for (int row = 0; row < m_list.GetRowCount(); ++row)
            shown.push_back(Name(row));
        EXPECT_EQ(shown, c.shown);
    }
    m_list.ShowNamesHolding("docs");
    EXPECT_EQ(Heading(0), "Path Name, 2 of 5 Total");
    SelectRows({1});
    std::vector<int> selected;
    ASSERT_TRUE(m_list.GetSelectedRows(selected));
    EXPECT_EQ(selected, std::vector<int>{2});
    m_source.Add(MakeEntry("docs/late.txt", 1));
    EXPECT_EQ(Heading(0), "Path Name, 3 of 6 Total") << "rows that come later are tested too";
}

TEST_F(CFileListCtrlTest, CutOfThreeRowsIsOneChangeToTheView)
{
    Fill({"a", "b", "c", "d", "e", "f"});
    Attach();
    QAbstractItemModelTester tester(&m_source, QAbstractItemModelTester::FailureReportingMode::Fatal);
    SelectRows({1, 3, 4});
    CModelSignals announced(m_source);
    ASSERT_TRUE(m_list.Copy());
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    const std::map<QString, QByteArray> copy = {
        {"text/uri-list", copied->data("text/uri-list")},
        {"x-special/gnome-copied-files", copied->data("x-special/gnome-copied-files")}};

    ASSERT_TRUE(m_list.Cut());

    EXPECT_EQ(m_source.GetCount(), 3);
    EXPECT_EQ(m_list.GetRowCount(), 3);
    EXPECT_EQ((QStringList{Name(0), Name(1), Name(2)}), (QStringList{"a", "c", "f"}));
    EXPECT_EQ(announced.m_lines.filter("removed"), QStringList{"removed 3-5"});
    EXPECT_TRUE(announced.m_lines.filter("reset").isEmpty());
    EXPECT_TRUE(announced.m_lines.filter("inserted").isEmpty());
    EXPECT_EQ(Heading(0), "Path Name, 3 Total");

    const QList<QUrl> urls = ClipboardUrls();
    ASSERT_EQ(urls.size(), 3);
    EXPECT_EQ(urls[0].toLocalFile(), "/data/b");
    EXPECT_EQ(urls[2].toLocalFile(), "/data/e");
    // Exactly what Copy puts there: a file manager copies, never moves.
    const QMimeData* cut = QGuiApplication::clipboard()->mimeData();
    for (const auto& [format, data] : copy)
        EXPECT_EQ(cut->data(format), data) << format.toStdString();
    EXPECT_EQ(copy.at("x-special/gnome-copied-files"),
              "copy\nfile:///data/b\nfile:///data/d\nfile:///data/e");
    // The row the cut was made at stays selected.
    std::vector<int> rows;
    EXPECT_TRUE(m_list.GetSelectedRows(rows));
    EXPECT_EQ(rows.size(), 1u);
}

TEST_F(CFileListCtrlTest, CopyTakesEverySelectedPathHoweverLong)
{
    // Short enough as a relative name, far beyond the limit as a full path.
    const std::string deep = "/" + std::string(200, 'd') + "/";
    m_source.Add(MakeEntry("long.txt", 1, true, deep));
    m_source.Add(MakeEntry("short.txt", 1, true, "/tmp/"));
    Attach();
    SelectRows({0, 1});

    ASSERT_TRUE(m_list.Copy());

    const QList<QUrl> urls = ClipboardUrls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0].toLocalFile().toStdString(), deep + "long.txt");
    EXPECT_EQ(urls[1].toLocalFile(), "/tmp/short.txt");
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->data("x-special/gnome-copied-files")
                    .startsWith("copy\n"));
    EXPECT_EQ(m_source.GetCount(), 2);
}

class CFileListCtrlDiskTest : public CFileListCtrlTest
{
protected:
    QUrl UrlOf(const std::string& path) const { return QUrl::fromLocalFile(QString::fromStdString(path)); }
    CTestFolder m_folder;
};

// With an adder the paths go to it once the drop has ended, not to the list.
TEST_F(CFileListCtrlDiskTest, AnAdderTakesTheDroppedPathsAfterTheDrop)
{
    Attach();
    std::vector<std::string> added;
    m_list.SetPathAdder([&added](const std::vector<std::string>& paths) { added = paths; });
    const std::string folder = m_folder.WriteFile("tree/a.txt", "a");

    ASSERT_TRUE(Drop({UrlOf(folder)}));
    EXPECT_TRUE(added.empty()) << "not inside the drop";
    QCoreApplication::processEvents();
    EXPECT_EQ(added, std::vector<std::string>{folder});
    EXPECT_EQ(m_source.GetCount(), 0);
}

TEST_F(CFileListCtrlDiskTest, PasteAddsLocalFilesAndLogsTooLongNames)
{
    Attach();
    const std::string a = m_folder.WriteFile("a.txt", "a");
    const std::string tooLong = m_folder.WriteFile(std::string(100, 'n'), "n");

    PutOnClipboard({UrlOf(a), QUrl("https://example.org/b.txt"), UrlOf(tooLong)});
    EXPECT_TRUE(m_list.CanPaste());
    ASSERT_TRUE(m_list.Paste());

    EXPECT_EQ(m_list.GetRowCount(), 1);
    EXPECT_EQ(Name(0), "a.txt");
    ASSERT_EQ(m_log.GetCount(), 1);
    EXPECT_NE(m_log.GetAt(0).m_strMessage.find("path 100 characters long"), std::string::npos);

    PutOnClipboard({QUrl("https://example.org/b.txt")});
    EXPECT_FALSE(m_list.CanPaste());
    EXPECT_FALSE(m_list.Paste());
}

TEST_F(CFileListCtrlDiskTest, DroppedFolderAddsItsTreeAsOneChange)
{
    Attach(true);
    m_folder.WriteFile("proj/a.txt", "aa");
    m_folder.WriteFile("proj/sub/b.txt", "bbb");
    std::filesystem::create_directories(m_folder.Path() / "proj/empty");
    const std::string single = m_folder.WriteFile("single.txt", "s");
    CListListener listener(m_list);
    CEntrysRecorder recorder(m_source);
    CModelSignals announced(m_source);

    ASSERT_TRUE(Drop({UrlOf(m_folder / "proj"), UrlOf(single)}, Qt::MoveAction));

    EXPECT_EQ(m_list.GetRowCount(), 6);
    QStringList names;
    for (int row = 0; row < m_list.GetRowCount(); ++row)
        names << Name(row);
    names.sort();
    EXPECT_EQ(names, (QStringList{"proj", "proj/a.txt", "proj/empty", "proj/sub",
                                  "proj/sub/b.txt", "single.txt"}));
    EXPECT_EQ(recorder.Events().size(), 1u);
    EXPECT_EQ(announced.m_lines, QStringList{"inserted 0-5"});
    const std::vector<SListEvent> rows = listener.OfKind(LIST_EVENT_ROW_CHANGED);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().nRow, 0);
    EXPECT_EQ(Heading(0), "Path Name, 6 Total");
}

TEST_F(CFileListCtrlDiskTest, DropsAreRefusedWhereAttachSaidSo)
{
    Attach(false);
    const std::string single = m_folder.WriteFile("single.txt", "s");
    EXPECT_FALSE(Drop({UrlOf(single)}));
    EXPECT_EQ(m_source.GetCount(), 0);

    Attach(true);
    EXPECT_FALSE(Drop({QUrl("https://example.org/x")}));
    EXPECT_TRUE(Drop({UrlOf(single)}));
    EXPECT_EQ(m_source.GetCount(), 1);
}

// A worker fills, clears and fills the list again while the window thread
// shows it. The model may see entries change under it between a begin and
// an end of one announcement, which the tester's row-text checks would call
// a fault; its warnings are not a failure here, a crash or a wrong end is.
TEST_F(CFileListCtrlTest, ChangesFromAWorkerAreShownOnceTheEventLoopRuns)
{
    Attach();
    QAbstractItemModelTester tester(&m_source, QAbstractItemModelTester::FailureReportingMode::Warning);
    std::atomic<bool> done{false};
    std::thread worker([&]
                       {
                           for (int round = 0; round < 3; ++round)
                           {
                               m_source.RemoveAll();
                               for (int i = 0; i < 2000 + round; ++i)
                                   m_source.Add(MakeEntry("f" + std::to_string(i), 1024));
                           }
                           done = true;
                       });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    QCoreApplication::processEvents();

    EXPECT_EQ(m_list.GetRowCount(), 2002);
    EXPECT_EQ(Name(2001), "f2001");
    EXPECT_EQ(Heading(0), "Path Name, 2002 Total");
}

TEST_F(CFileListCtrlTest, AWorkerFillIsAnnouncedOnceWhenTheWindowWasBusy)
{
    Attach();
    CModelSignals announced(m_source);
    std::thread worker([&]
                       {
                           for (int i = 0; i < 10000; ++i)
                               m_source.Add(MakeEntry("f" + std::to_string(i)));
                       });
    worker.join();
    EXPECT_EQ(m_list.GetRowCount(), 0); // nothing is announced on the worker
    QCoreApplication::processEvents();
    EXPECT_EQ(announced.m_lines, QStringList{"inserted 0-9999"});
    EXPECT_EQ(m_list.GetRowCount(), 10000);
}

TEST(CFileListCtrlLifeTest, ListOutlivingItsControlAndControlOutlivingItsList)
{
    auto source = std::make_unique<CFileDataSource>();
    {
        CFileListCtrl list;
        list.Attach(source.get(), false);
        source->Add(MakeEntry("a"));
    }
    source->Add(MakeEntry("b")); // nobody left to tell

    CFileListCtrl list;
    list.Attach(source.get(), false);
    source.reset();
    EXPECT_EQ(list.GetDataSource(), nullptr);
    EXPECT_EQ(list.GetRowCount(), 0);
    EXPECT_FALSE(list.Copy());
    EXPECT_FALSE(list.Paste());
}

} // namespace
