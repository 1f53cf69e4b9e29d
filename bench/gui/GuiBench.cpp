// Measures the window layer where it meets big lists: how long the catalogue
// of an archive takes to fill the window and how long the window thread
// stalls meanwhile, how long a keystroke in the find bar takes over it, and
// how long a folder dropped on "Files To Add" takes
// against the document's own AddPath of it. bench/gui-run drives it and
// compares with vorkant-cli; see bench/README.md.
#include "core/CMessageLog.h"
#include "document/CTarDoc.h"
#include "settings/CAppSettings.h"
#include "ui/frontend/CQtFrontEnd.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/lists/CFileListCtrl.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The longest the window thread went without serving a timer that asks to
// run every few milliseconds: what a user feels as a frozen window.
class CStallMeter
{
public:
    CStallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kPeriodMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    }
    void Start()
    {
        m_clock.start();
        m_last = 0;
        m_worst = 0;
        m_timer.start();
    }
    double StopWorstMs()
    {
        Tick();
        m_timer.stop();
        return static_cast<double>(std::max<qint64>(m_worst - kPeriodMs, 0));
    }

private:
    void Tick()
    {
        const qint64 now = m_clock.elapsed();
        m_worst = std::max(m_worst, now - m_last);
        m_last = now;
    }
    static constexpr int kPeriodMs = 5;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_worst = 0;
};

// A window showing one file list, as the main window shows the catalogue.
struct SListWindow
{
    QWidget window;
    CFileListCtrl list;
    SListWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&list);
        window.resize(800, 600);
        window.show();
    }
    void WaitForRows(int rows)
    {
        while (list.GetRowCount() < rows)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

// The longest a keystroke in the find bar takes until the list is drawn
// again, typing a name a key at a time and then emptying the bar: each
// keystroke tests every member's name.
double WorstKeystrokeMs(SListWindow& shown)
{
    double worst = 0;
    const QString name = QStringLiteral("TXT d042/f07");
    for (qsizetype typed = 1; typed <= name.size() + 1; ++typed)
    {
        QElapsedTimer clock;
        clock.start();
        shown.list.ShowNamesHolding(typed <= name.size() ? name.left(typed) : QString());
        shown.list.viewport()->repaint();
        worst = std::max(worst, static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    return worst;
}

// Opens the archive in a document whose catalogue a list shows, and prints
// the seconds until every row is shown, the worst stall, the row count and
// the find bar's worst keystroke in milliseconds.
int BenchCatalogue(const char* archive)
{
    CAppSettings settings;
    settings.m_bShowFinishedDialog = 0;
    CMessageLog log;
    CQtFrontEnd frontEnd;
    SListWindow shown;
    frontEnd.SetOwner(&shown.window);
    CFileDataSource* catalogue = nullptr;
    CTarDoc doc(frontEnd, settings, log, {}, [&catalogue](CTarDoc::EList which) {
        auto list = std::make_unique<CFileDataSource>();
        if (which == CTarDoc::LIST_CATALOGUE)
            catalogue = list.get();
        return std::unique_ptr<CFileEntrys>(std::move(list));
    });
    shown.list.Attach(catalogue, false);

    CStallMeter stalls;
    QElapsedTimer clock;
    stalls.Start();
    clock.start();
    if (!doc.OnOpenDocument(archive))
        return 2;
    shown.WaitForRows(doc.m_catalogue.GetCount());
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double worstStall = stalls.StopWorstMs();
    const int rows = shown.list.GetRowCount();
    std::printf("%.3f %.0f %d %.1f\n", seconds, worstStall, rows, WorstKeystrokeMs(shown));
    return log.GetCount() == 0 ? 0 : 1;
}

double DropSeconds(const char* folder)
{
    CFileDataSource filesToAdd;
    SListWindow shown;
    shown.list.Attach(&filesToAdd, true);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromLocal8Bit(folder))});
    const QPoint centre = shown.list.viewport()->rect().center();
    QElapsedTimer clock;
    clock.start();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(shown.list.viewport(), &enter);
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(shown.list.viewport(), &drop);
    shown.WaitForRows(filesToAdd.GetCount());
    return filesToAdd.GetCount() > 0 ? static_cast<double>(clock.nsecsElapsed()) / 1e9 : -1;
}

double AddPathSeconds(const char* folder)
{
    CFileEntrys filesToAdd;
    QElapsedTimer clock;
    clock.start();
    filesToAdd.AddPath(folder, true);
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Drops the folder and adds it with AddPath in turns, and prints the median
// seconds of each.
int BenchDrop(const char* folder, int runs)
{
    std::vector<double> drops, adds;
    for (int run = 0; run < runs; ++run)
    {
        drops.push_back(DropSeconds(folder));
        adds.push_back(AddPathSeconds(folder));
        if (drops.back() < 0)
            return 2;
    }
    std::printf("%.3f %.3f\n", Median(drops), Median(adds));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "catalogue") == 0)
        return BenchCatalogue(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "drop") == 0)
        return BenchDrop(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: vorkant-gui-bench catalogue ARCHIVE | drop FOLDER RUNS\n");
    return 2;
}
