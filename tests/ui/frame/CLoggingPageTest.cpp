#include "ui/frame/CLoggingPage.h"

#include "core/CErrorReporter.h"
#include "core/CException.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/lists/CLogCtrl.h"

#include <QFileDialog>

#include <gtest/gtest.h>

namespace
{

// Counts the log's events of one kind.
class CLogEventCounter : public CEventHandler
{
public:
    CLogEventCounter(CMessageLog& log, int kind) : m_nKind(kind)
    {
        log.Advise(this, &CLogEventCounter::OnEvent);
    }
    ~CLogEventCounter() override { UnadviseAll(); }
    int m_nCount = 0;

private:
    int OnEvent(void* record)
    {
        if (static_cast<CMessageLog::SLogEvent*>(record)->nKind == m_nKind)
            ++m_nCount;
        return 0;
    }
    int m_nKind;
};

class CRecordingReporter : public CErrorReporter
{
public:
    int ShowError(const std::string& text, unsigned) override
    {
        m_texts.push_back(text);
        return IDOK;
    }
    std::vector<std::string> m_texts;
};

class CLoggingPageTest : public testing::Test
{
protected:
    void AddEntries(int count)
    {
        for (int i = 0; i < count; ++i)
            m_log.Add(CLogEntry("problem " + std::to_string(i)));
        ASSERT_TRUE(
            WaitUntil([this] { return m_page.LogCtrl().GetRowCount() == m_log.GetCount(); }));
    }

    QString Heading() const
    {
        return m_page.LogCtrl().model()->headerData(0, Qt::Horizontal).toString();
    }

    bool IsEnabled(int id)
    {
        bool enabled = false;
        EXPECT_TRUE(m_page.OnUpdateCommand(id, enabled));
        return enabled;
    }

    CTestFolder m_folder;
    CMessageLog m_log;
    CPaneActions m_actions;
    CLoggingPage m_page{m_log, m_actions.Actions()};
};

TEST_F(CLoggingPageTest, ClearEmptiesTheLogWithOneEvent)
{
    EXPECT_EQ(Heading(), QStringLiteral("Messages, 0 Total"));
    EXPECT_FALSE(IsEnabled(ID_CLEAR_LOG));
    AddEntries(12);
    EXPECT_EQ(Heading(), QStringLiteral("Messages, 12 Total"));
    EXPECT_TRUE(IsEnabled(ID_CLEAR_LOG));

    CLogEventCounter cleared(m_log, CMessageLog::LOG_EVENT_CLEARED);
    EXPECT_TRUE(m_page.OnCommand(ID_CLEAR_LOG));

    EXPECT_EQ(cleared.m_nCount, 1);
    EXPECT_EQ(m_log.GetCount(), 0);
    ASSERT_TRUE(WaitUntil([this] { return m_page.LogCtrl().GetRowCount() == 0; }));
    EXPECT_EQ(Heading(), QStringLiteral("Messages, 0 Total"));
    EXPECT_FALSE(IsEnabled(ID_SAVE_LOG));
}

TEST_F(CLoggingPageTest, SaveReplacesAnExistingFileWithoutAsking)
{
    AddEntries(2);
    const std::string path = m_folder.WriteFile("old.log", "what was there before\n");
    QString proposed;
    bool askedAgain = false;
    WhenModal<QFileDialog>(
        [&](QFileDialog* dialog)
        {
            proposed = dialog->selectedFiles().value(0);
            dialog->selectFile(QString::fromStdString(path));
            // A question about replacing the file would be the next modal.
            QTimer::singleShot(300,
                               [&askedAgain]
                               {
                                   if (QWidget* other = QApplication::activeModalWidget())
                                   {
                                       askedAgain = true;
                                       other->close();
                                   }
                               });
            static_cast<QDialog*>(dialog)->accept();
        });
    EXPECT_TRUE(m_page.OnCommand(ID_SAVE_LOG));
    Spin(400);

    EXPECT_TRUE(proposed.endsWith(QStringLiteral("tar.log"))) << proposed.toStdString();
    EXPECT_FALSE(askedAgain);
    const std::string saved = m_folder.ReadFile("old.log");
    EXPECT_EQ(saved.find("what was there before"), std::string::npos);
    EXPECT_NE(saved.find("problem 0"), std::string::npos);
    EXPECT_NE(saved.find("problem 1"), std::string::npos);
}

TEST_F(CLoggingPageTest, AFailedSaveIsReportedAndLeavesTheLog)
{
    AddEntries(1);
    CRecordingReporter reporter;
    CErrorReporter* previous = CException::SetReporter(&reporter);
    m_page.SaveLogTo(QString::fromStdString(m_folder / "missing/folder/tar.log"));
    CException::SetReporter(previous);

    EXPECT_EQ(reporter.m_texts.size(), 1u);
    EXPECT_EQ(m_log.GetCount(), 1);
}

} // namespace
