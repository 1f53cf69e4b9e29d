#include "ui/lists/CLogCtrl.h"

#include "core/CLogEntry.h"
#include "core/CMessageLog.h"
#include "ui/lists/SLogCtrlEvent.h"
#include "ListTestSupport.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{

class CLogCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_ctrl.resize(400, 200);
        m_ctrl.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_ctrl));
    }
    QAbstractItemModel& Model() const { return *m_ctrl.model(); }
    QString Heading() const { return Model().headerData(0, Qt::Horizontal).toString(); }
    QString Row(int row) const { return Model().index(row, 0).data().toString(); }
    void Add(const std::string& message) { m_log.Add(CLogEntry(message)); }

    CMessageLog m_log;
    CLogCtrl m_ctrl;
};

TEST_F(CLogCtrlTest, ShowsEveryMessageWithTheCountInTheHeading)
{
    EXPECT_EQ(m_ctrl.accessibleName(), "Application Log");
    m_ctrl.Attach(&m_log);
    QAbstractItemModelTester tester(&Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(Heading(), "Messages, 0 Total");

    Add("first");
    EXPECT_EQ(Heading(), "Messages, 1 Total");

    Add("second, with a comma");
    Add("third");
    EXPECT_EQ(m_ctrl.GetRowCount(), 3);
    EXPECT_EQ(Heading(), "Messages, 3 Total");
    EXPECT_EQ(Row(0), "first");
    EXPECT_EQ(Row(1), "second, with a comma");
    EXPECT_EQ(Model().columnCount(), 1);
    // The one column fills the control.
    EXPECT_EQ(m_ctrl.columnWidth(0), m_ctrl.viewport()->width());
}

TEST_F(CLogCtrlTest, ClearingTwelveEntriesEmptiesTheListWithOneReset)
{
    for (int i = 0; i < 12; ++i)
        Add("entry " + std::to_string(i));
    m_ctrl.Attach(&m_log);
    QAbstractItemModelTester tester(&Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    CModelSignals announced(Model());
    int changes = 0;
    QObject::connect(&m_ctrl, &CLogCtrl::ListChanged, [&] { ++changes; });

    m_log.RemoveAll();

    EXPECT_EQ(announced.m_lines, QStringList{"reset"});
    EXPECT_EQ(m_ctrl.GetRowCount(), 0);
    EXPECT_EQ(Heading(), "Messages, 0 Total");
    EXPECT_EQ(changes, 1);
}

TEST_F(CLogCtrlTest, EntriesFromAWorkerAreShownOnceTheEventLoopRuns)
{
    m_ctrl.Attach(&m_log);
    QAbstractItemModelTester tester(&Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::atomic<bool> done{false};
    std::thread worker([&]
                       {
                           for (int i = 0; i < 500; ++i)
                               Add("problem " + std::to_string(i));
                           done = true;
                       });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    QCoreApplication::processEvents();

    EXPECT_EQ(m_ctrl.GetRowCount(), 500);
    EXPECT_EQ(Row(499), "problem 499");
    EXPECT_EQ(Heading(), "Messages, 500 Total");
}

TEST_F(CLogCtrlTest, AttachingAnotherLogLeavesTheFirst)
{
    m_ctrl.Attach(&m_log);
    CMessageLog other;
    other.Add(CLogEntry("elsewhere"));
    m_ctrl.Attach(&other);
    Add("not shown");
    EXPECT_EQ(m_ctrl.GetRowCount(), 1);
    EXPECT_EQ(Row(0), "elsewhere");
    m_ctrl.Attach(nullptr);
    EXPECT_EQ(m_ctrl.GetRowCount(), 0);
}

TEST_F(CLogCtrlTest, OneRowAtATimeAndTheFontHeightPlusFour)
{
    for (const char* message : {"a", "b", "c"})
        Add(message);
    m_ctrl.Attach(&m_log);
    QFont font = m_ctrl.font();
    font.setPixelSize(20);
    m_ctrl.SetListFont(font);
    EXPECT_EQ(m_ctrl.verticalHeader()->defaultSectionSize(), QFontMetrics(font).height() + 4);
    EXPECT_EQ(m_ctrl.horizontalHeader()->height(), QFontMetrics(font).height() + 4);

    QTest::mouseClick(m_ctrl.viewport(), Qt::LeftButton, {},
                      m_ctrl.visualRect(Model().index(0, 0)).center());
    QTest::mouseClick(m_ctrl.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m_ctrl.visualRect(Model().index(2, 0)).center());
    EXPECT_EQ(m_ctrl.selectionModel()->selectedRows().size(), 1);
}

// Records what the control tells its page.
class CLogListener : public CEventHandler
{
public:
    explicit CLogListener(CLogCtrl& ctrl) { ctrl.Advise(this, &CLogListener::OnEvent); }
    ~CLogListener() override { UnadviseAll(); }
    int OnEvent(void* record)
    {
        m_events.push_back(*static_cast<const SLogCtrlEvent*>(record));
        return 0;
    }
    std::vector<SLogCtrlEvent> m_events;
};

TEST_F(CLogCtrlTest, RightButtonPressAndReleaseReachThePage)
{
    m_ctrl.Attach(&m_log);
    CLogListener listener(m_ctrl);
    const QPoint inRows(30, 10);
    QTest::mousePress(m_ctrl.viewport(), Qt::RightButton, {}, inRows);
    QTest::mouseRelease(m_ctrl.viewport(), Qt::RightButton, {}, inRows);

    ASSERT_EQ(listener.m_events.size(), 2u);
    const QPoint expected = m_ctrl.viewport()->geometry().topLeft() + inRows;
    EXPECT_EQ(listener.m_events[0].nKind, LOG_CTRL_EVENT_RBUTTON_DOWN);
    EXPECT_EQ(QPoint(listener.m_events[0].nX, listener.m_events[0].nY), expected);
    EXPECT_EQ(listener.m_events[1].nKind, LOG_CTRL_EVENT_RBUTTON_UP);
}

} // namespace
