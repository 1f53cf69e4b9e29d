// The program driven end to end as a user drives it: started as main starts
// it, its commands chosen through their actions, its lists clicked and
// dropped on, its dialogs answered through their controls; what it extracts
// and writes is held against GNU tar.
#include "ui/app/CTarApp.h"

#include "support/CPeerShell.h"
#include "support/CTestFolder.h"
#include "ui/dialogs/CExtractionDlg.h"
#include "ui/dialogs/CTapeDevicesDlg.h"
#include "ui/frame/CMainFrame.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/frontend/CAppendOverwirteDlg.h"
#include "ui/frontend/CTarWaitDlg.h"
#include "ui/lists/CFileListCtrl.h"
#include "ui/shell/CFakeMimeAssociation.h"
#include "ui/support/DialogTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>

// Failures show a list as its texts.
static void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace
{
namespace fs = std::filesystem;

// Far longer than any step here takes: a window up this long is a fault.
constexpr int kModalLimitMs = 15000;

// One answer of the user: to the first modal window that fits.
struct SStep
{
    std::string strWhat;
    std::function<bool(QWidget*)> fits;
    std::function<void(QWidget*)> act;
};

template <class T>
SStep Step(
    std::string what, std::function<void(T&)> act,
    std::function<bool(T&)> ready = [](T&) { return true; })
{
    return {std::move(what),
            [ready](QWidget* modal)
            {
                T* window = qobject_cast<T*>(modal);
                return window && ready(*window);
            },
            [act](QWidget* modal) { act(*qobject_cast<T*>(modal)); }};
}

// Gives the answers in their order, each once its window is the active modal
// one, polling as the user would look between events. An answer runs from
// the event loop, since it may bring up a window of its own.
class CUserScript
{
public:
    explicit CUserScript(std::vector<SStep> steps) : m_steps(steps.begin(), steps.end())
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(5);
    }

    // The window the next answer waits for; empty when all were answered.
    std::string Awaited() const { return m_steps.empty() ? "" : m_steps.front().strWhat; }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_pAnswered || m_steps.empty() || !m_steps.front().fits(modal))
            return;
        m_pAnswered = modal;
        SStep step = std::move(m_steps.front());
        m_steps.pop_front();
        QTimer::singleShot(0, modal,
                           [step, modal]
                           {
                               try
                               {
                                   step.act(modal);
                               }
                               catch (const std::exception& e)
                               {
                                   ADD_FAILURE() << step.strWhat << ": " << e.what();
                                   modal->close();
                               }
                           });
    }

    std::deque<SStep> m_steps;
    // Answered and on its way out: never answered twice.
    QPointer<QWidget> m_pAnswered;
    QTimer m_timer;
};

// The wait window in its finished look, closed with "&Finished".
SStep Finished()
{
    return Step<CTarWaitDlg>(
        "Operation Complete",
        [](CTarWaitDlg& wait) { Control<QPushButton>(wait, "Finished").click(); },
        [](CTarWaitDlg& wait)
        { return wait.windowTitle() == QLatin1String("Operation Complete"); });
}

SStep Box(const QString& text, QMessageBox::StandardButton answer)
{
    return Step<QMessageBox>(
        text.toStdString(), [answer](QMessageBox& box) { box.button(answer)->click(); },
        [text](QMessageBox& box) { return box.text() == text; });
}

SStep TapeDevices(const std::string& image)
{
    return Step<CTapeDevicesDlg>("Tape Devices",
                                 [image](CTapeDevicesDlg& dialog)
                                 {
                                     auto& devices = Control<QComboBox>(dialog, "Tape Device(s)");
                                     const int item =
                                         devices.findText(QString::fromStdString(image));
                                     EXPECT_GE(item, 0) << "the image is not offered";
                                     devices.setCurrentIndex(item);
                                     Control<QPushButton>(dialog, "OK").click();
                                 });
}

SStep AppendOrOverwrite(const QString& button)
{
    return Step<CAppendOverwirteDlg>("Append or Overwrite", [button](CAppendOverwirteDlg& question)
                                     { Control<QPushButton>(question, button).click(); });
}

SStep ExtractSelectedTo(const std::string& folder)
{
    return Step<CExtractionDlg>(
        "Extract",
        [folder](CExtractionDlg& dialog)
        {
            EXPECT_TRUE(Control<QRadioButton>(dialog, "Selected Files").isChecked());
            auto& location = Control<QLineEdit>(dialog, "Location");
            location.clear();
            QTest::keyClicks(&location, QString::fromStdString(folder));
            Control<QPushButton>(dialog, "OK").click();
        });
}

SStep SaveAs(const std::string& path)
{
    return Step<QFileDialog>("Save As",
                             [path](QFileDialog& chooser)
                             {
                                 auto& name = Control<QLineEdit>(chooser, "File name:");
                                 name.clear();
                                 QTest::keyClicks(&name, QString::fromStdString(path));
                                 Control<QPushButton>(chooser, "Save").click();
                             });
}

// Picks the file type as a user does from the dialog's list of types, then
// saves under the name.
SStep SaveAsType(const std::string& path, const QString& type)
{
    return Step<QFileDialog>("Save As",
                             [path, type](QFileDialog& chooser)
                             {
                                 auto* types = chooser.findChild<QComboBox*>("fileTypeCombo");
                                 ASSERT_NE(types, nullptr);
                                 const int index = types->findText(type);
                                 ASSERT_GE(index, 0);
                                 types->setCurrentIndex(index);
                                 emit types->activated(index);
                                 emit types->textActivated(type);
                                 auto& name = Control<QLineEdit>(chooser, "File name:");
                                 name.clear();
                                 QTest::keyClicks(&name, QString::fromStdString(path));
                                 Control<QPushButton>(chooser, "Save").click();
                             });
}

// What the list shows in its name column, top down.
QStringList Shown(const CFileListCtrl& list)
{
    QStringList names;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        names << list.model()->index(row, 0).data().toString();
    return names;
}

// The list catches up with the worker's changes from the event loop.
void ExpectShows(const CFileListCtrl& list, const QStringList& names)
{
    EXPECT_TRUE(WaitUntil([&] { return Shown(list) == names; }))
        << Shown(list).join(' ').toStdString();
}

// Clicks the rows of the names, the first alone and the others with Ctrl.
void ClickRows(CFileListCtrl& list, const QStringList& names)
{
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    for (const QString& name : names)
    {
        const QModelIndex index = list.model()->index(Shown(list).indexOf(name), 0);
        ASSERT_TRUE(index.isValid()) << name.toStdString();
        list.scrollTo(index);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers,
                          list.visualRect(index).center());
        modifiers = Qt::ControlModifier;
    }
}

// Drags the paths from a file manager onto the list and lets go.
void DropOn(CFileListCtrl& list, const std::vector<std::string>& paths)
{
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = list.viewport()->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    const int before = list.GetRowCount();
    QDragEnterEvent enter(centre, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(centre), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &drop);
    ASSERT_TRUE(drop.isAccepted());
    // The worker adds them once the drop has ended.
    ASSERT_TRUE(WaitUntil([&list, before] { return list.GetRowCount() > before; }));
}

// Every file and folder below root by relative path: a file's bytes, "/"
// for a folder.
std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> tree;
    std::error_code error;
    for (fs::recursive_directory_iterator item(root, error), end; !error && item != end;
         item.increment(error))
    {
        const std::string name = fs::relative(item->path(), root).generic_string();
        std::ifstream in(item->path(), std::ios::binary);
        tree[name] =
            item->is_directory() ? "/" : std::string(std::istreambuf_iterator<char>(in), {});
    }
    return tree;
}

class CVorkantEndToEndTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(CPeerShell::Require("tar")); }
    void TearDown() override
    {
        if (m_pApp)
            m_pApp->ExitInstance();
    }

    // Starts the program as main does, with the tape images as its drives.
    void Start(const QStringList& arguments, const std::vector<std::string>& tapeImages = {})
    {
        m_tapes.emplace(tapeImages);
        m_pApp = std::make_unique<CTarApp>(&m_association);
        ASSERT_TRUE(m_pApp->InitInstance(arguments));
    }

    // Chooses the command once it is enabled, answering what it asks.
    void Choose(int id, std::vector<SStep> steps = {})
    {
        QAction* action = m_pApp->Frame()->Action(id);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(WaitUntil([action] { return action->isEnabled(); }))
            << action->text().toStdString() << " stays disabled";
        CUserScript script(std::move(steps));
        action->trigger();
        EXPECT_EQ(script.Awaited(), "") << "this window never came";
    }

    CFileListCtrl& List(const char* name) { return Control<CFileListCtrl>(*m_pApp->Frame(), name); }

    // GNU tar's output, line by line.
    QStringList Tar(const std::string& arguments)
    {
        const SPeerRun run = CPeerShell::Run(m_folder, "tar " + arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts);
    }

    std::string Quoted(const std::string& name) const { return CPeerShell::Quote(m_folder / name); }
    std::vector<std::string> Sources(std::initializer_list<const char*> names) const
    {
        std::vector<std::string> paths;
        for (const char* name : names)
            paths.push_back(m_folder / (std::string("src/") + name));
        return paths;
    }

    CUiTestHome m_home;
    CModalWatchdog m_watchdog{kModalLimitMs};
    CTestFolder m_folder;
    std::optional<CTapeImagesVariable> m_tapes;
    CFakeMimeAssociation m_association;
    std::unique_ptr<CTarApp> m_pApp;
};

std::string Bytes(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 % 256);
    return bytes;
}

TEST_F(CVorkantEndToEndTest, ExtractsTheSelectedMembersOfAGnuArchiveAsGnuTarDoes)
{
    m_folder.WriteFile("src/tree/a.txt", "alpha\n");
    m_folder.WriteFile("src/tree/left.txt", "not chosen");
    m_folder.WriteFile("src/tree/sub/b.bin", Bytes(1500));
    m_folder.WriteFile("src/tree/sub/deep/c.txt", std::string(512, 'c'));
    fs::create_directories(m_folder.Path() / "src/tree/empty");
    m_folder.WriteFile("src/top.txt", "top");
    const std::string archive = m_folder / "A.tar";
    Tar("--sort=name -C " + Quoted("src") + " -cf " + Quoted("A.tar") + " tree top.txt");
    const QStringList members = Tar("-tf " + Quoted("A.tar"));

    ASSERT_NO_FATAL_FAILURE(Start({"vorkant", QString::fromStdString(archive)}));
    CFileListCtrl& catalogue = List("Catalogue");
    ExpectShows(catalogue, members);
    const QStringList chosen = {"tree/sub/b.bin", "tree/sub/deep/c.txt", "top.txt"};
    ASSERT_NO_FATAL_FAILURE(ClickRows(catalogue, chosen));
    Choose(ID_EXTRACT_FILES,
           {ExtractSelectedTo(m_folder / "ours/new"),
            Box("The specified path does not exist. Would you like to create it?", QMessageBox::Ok),
            Finished()});

    fs::create_directories(m_folder.Path() / "theirs");
    Tar("-C " + Quoted("theirs") + " -xf " + Quoted("A.tar") + " " +
        chosen.join(' ').toStdString());
    const auto ours = Tree(m_folder.Path() / "ours/new");
    EXPECT_EQ(ours.size(), 6u);
    EXPECT_EQ(ours, Tree(m_folder.Path() / "theirs"));
}

TEST_F(CVorkantEndToEndTest, SavesDroppedFilesAsAnArchiveGnuTarListsExactly)
{
    m_folder.WriteFile("src/docs/readme.txt", "read me");
    m_folder.WriteFile("src/docs/sub/notes.bin", Bytes(700));
    fs::create_directories(m_folder.Path() / "src/docs/empty");
    m_folder.WriteFile("src/one.txt", "one");
    m_folder.WriteFile("src/two.bin", Bytes(513));
    const std::string archive = m_folder / "made/new.tar";
    fs::create_directories(m_folder.Path() / "made");

    ASSERT_NO_FATAL_FAILURE(Start({"vorkant"}));
    Choose(ID_FILE_NEW);
    CFileListCtrl& toAdd = List("Files To Add");
    ASSERT_NO_FATAL_FAILURE(DropOn(toAdd, Sources({"docs", "one.txt", "two.bin"})));
    // A folder's entries come in the order the file system gives them.
    const QStringList shown = Shown(toAdd);
    QStringList sorted = shown;
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({"docs", "docs/empty", "docs/readme.txt", "docs/sub",
                                   "docs/sub/notes.bin", "one.txt", "two.bin"}));
    Choose(ID_FILE_SAVE, {SaveAs(archive), Finished()});

    // A folder's member is named without a trailing slash.
    EXPECT_EQ(Tar("-tf " + Quoted("made/new.tar")), QStringList{"index.txt"} + shown);
    ExpectShows(toAdd, {});
}

TEST_F(CVorkantEndToEndTest, CompressedArchivesOpenAndSaveAsTheChosenType)
{
    m_folder.WriteFile("src/one.txt", "one");
    m_folder.WriteFile("src/two.bin", Bytes(5000));
    Tar("-C " + Quoted("src") + " -czf " + Quoted("A.tgz") + " one.txt two.bin");

    ASSERT_NO_FATAL_FAILURE(Start({"vorkant", QString::fromStdString(m_folder / "A.tgz")}));
    ExpectShows(List("Catalogue"), {"one.txt", "two.bin"});

    Choose(ID_FILE_NEW);
    ASSERT_NO_FATAL_FAILURE(DropOn(List("Files To Add"), Sources({"one.txt", "two.bin"})));
    Choose(ID_FILE_SAVE,
           {SaveAsType(m_folder / "new", "Gzip-compressed tar archives (*.tar.gz *.tgz)"),
            Finished()});
    EXPECT_EQ(m_folder.ReadFile("new.tar.gz").substr(0, 2), "\x1f\x8b");
    EXPECT_EQ(Tar("-tzf " + Quoted("new.tar.gz")),
              QStringList({"index.txt", "one.txt", "two.bin"}));
}

TEST_F(CVorkantEndToEndTest, ATapeIsWrittenAppendedOverwrittenListedErasedAndEjected)
{
    const std::string image = m_folder / "drive.tap";
    for (const char* name : {"one.txt", "two.txt", "three.txt", "four.txt", "five.bin"})
        m_folder.WriteFile(std::string("src/") + name, std::string(name) + "\n" + Bytes(600));

    ASSERT_NO_FATAL_FAILURE(Start({"vorkant"}, {image}));
    CFileListCtrl& toAdd = List("Files To Add");
    CFileListCtrl& catalogue = List("Catalogue");
    ASSERT_NO_FATAL_FAILURE(DropOn(toAdd, Sources({"one.txt", "two.txt"})));
    Choose(ID_FILE_SAVE_TAPE, {TapeDevices(image), AppendOrOverwrite("Append"), Finished()});
    ExpectShows(catalogue, {"index.txt", "one.txt", "two.txt"});

    ASSERT_NO_FATAL_FAILURE(DropOn(toAdd, Sources({"three.txt"})));
    Choose(ID_FILE_SAVE_TAPE, {AppendOrOverwrite("Append"), Finished()});
    // The members the write passed over, then the one it added: an addition
    // carries no index file.
    ExpectShows(catalogue, {"index.txt", "one.txt", "two.txt", "three.txt"});

    ASSERT_NO_FATAL_FAILURE(DropOn(toAdd, Sources({"four.txt", "five.bin"})));
    Choose(ID_FILE_SAVE_TAPE, {AppendOrOverwrite("Overwrite"), Finished()});
    ExpectShows(toAdd, {});

    Choose(ID_FILE_OPEN_TAPE,
           {TapeDevices(image), Box("Would you like to catalog the archive?", QMessageBox::Ok),
            Finished()});
    const QStringList lastSave = {"index.txt", "four.txt", "five.bin"};
    ExpectShows(catalogue, lastSave);
    Choose(ID_LIST_ARCHIVE, {Finished()});
    ExpectShows(catalogue, lastSave);

    Choose(ID_ERASE_ARCHIVE,
           {Box("Are you sure you want to erase all files in this archive?", QMessageBox::Yes),
            Finished()});
    ExpectShows(catalogue, {});
    Choose(ID_LIST_ARCHIVE, {Finished()});
    ExpectShows(catalogue, {});

    Choose(ID_EJECT_TAPE, {Finished()});
    // The eject leaves a new, empty document.
    EXPECT_TRUE(WaitUntil([this] { return m_pApp->Doc().GetPathName().empty(); }));
    EXPECT_FALSE(m_pApp->Doc().IsArchiveOpen());
}

} // namespace
