#include "ui/frame/CTabbedView.h"

#include "ui/frame/CTabbedPages.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"

#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>

#include <gtest/gtest.h>

#include <thread>

namespace
{

// Answers every message box as it comes, noting its text and whether the
// stand-in for the wait dialog was still up.
class CBoxWatcher
{
public:
    explicit CBoxWatcher(const QPointer<QDialog>& waitDialog) : m_waitDialog(waitDialog)
    {
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this]
                         {
                             if (auto* box =
                                     qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                             {
                                 m_texts << box->text();
                                 m_shownDuringWait = m_shownDuringWait ||
                                                     (m_waitDialog && m_waitDialog->isVisible());
                                 box->accept();
                             }
                         });
        m_timer.start(5);
    }
    QStringList m_texts;
    bool m_shownDuringWait = false;

private:
    QPointer<QDialog> m_waitDialog;
    QTimer m_timer;
};

class CTabbedViewTest : public testing::Test
{
protected:
    int CurrentPage() const { return m_view.Pages().currentIndex(); }

    void SetUp() override { m_actions.Serve(m_view); }

    CFrameTestDocument m_doc;
    CPaneActions m_actions;
    CTabbedView m_view{m_doc.Context(), m_actions.Actions()};
};

TEST_F(CTabbedViewTest, ProblemsOfOneOperationGiveOneBoxOnceTheWaitIsOver)
{
    m_view.show();
    m_view.Pages().SelectPage(CTabbedView::PAGE_FILES_TO_ADD);
    QDialog wait;
    wait.setModal(true);
    QPointer<QDialog> waitPointer(&wait);
    CBoxWatcher boxes(waitPointer);
    std::thread worker;
    bool logShownDuringWait = false;
    QTimer::singleShot(20,
                       [&]
                       {
                           worker = std::thread(
                               [this]
                               {
                                   for (int i = 0; i < 3; ++i)
                                       m_doc.m_log.Add(CLogEntry("problem " + std::to_string(i)));
                               });
                       });
    QTimer::singleShot(600,
                       [&]
                       {
                           logShownDuringWait = CurrentPage() == CTabbedView::PAGE_LOG;
                           wait.done(QDialog::Accepted);
                       });
    wait.exec();
    worker.join();
    ASSERT_TRUE(WaitUntil([&boxes] { return !boxes.m_texts.isEmpty(); }, 3000));
    Spin(600);

    EXPECT_TRUE(logShownDuringWait);
    ASSERT_EQ(boxes.m_texts.size(), 1);
    EXPECT_EQ(boxes.m_texts[0], QStringLiteral("Errors occurred during processing.\nLook at the "
                                               "Application Log for detailed information."));
    EXPECT_FALSE(boxes.m_shownDuringWait);
    EXPECT_EQ(CurrentPage(), CTabbedView::PAGE_LOG);
    EXPECT_FALSE(m_view.IsAlertRunning());
}

TEST_F(CTabbedViewTest, ClearingTheLogRaisesNoAlert)
{
    m_doc.m_log.RemoveAll();
    Spin(50);
    EXPECT_FALSE(m_view.IsAlertRunning());
}

TEST_F(CTabbedViewTest, ADragComingInBringsTheFilesToAddForward)
{
    m_view.Pages().SelectPage(CTabbedView::PAGE_LOG);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_view, &enter);

    EXPECT_EQ(CurrentPage(), CTabbedView::PAGE_FILES_TO_ADD);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(CTabbedViewTest, OffersCommandsToTheSelectedPageOnly)
{
    m_doc.m_log.Add(CLogEntry("problem"));
    CFrameTestDocument::Fill(*m_doc.m_pFilesToAdd, 2);
    Spin(50);
    bool enabled = false;

    m_view.Pages().SelectPage(CTabbedView::PAGE_FILES_TO_ADD);
    EXPECT_FALSE(m_view.OnUpdateCommand(ID_CLEAR_LOG, enabled));
    EXPECT_TRUE(m_view.OnUpdateCommand(ID_REMOVE_ALL, enabled));
    EXPECT_FALSE(m_view.OnCommand(ID_CLEAR_LOG));

    m_view.Pages().SelectPage(CTabbedView::PAGE_LOG);
    EXPECT_FALSE(m_view.OnUpdateCommand(ID_REMOVE_ALL, enabled));
    EXPECT_FALSE(m_view.OnCommand(ID_REMOVE_ALL));
    EXPECT_EQ(m_doc.m_pFilesToAdd->GetCount(), 2);
    EXPECT_TRUE(m_view.OnCommand(ID_CLEAR_LOG));
    EXPECT_EQ(m_doc.m_log.GetCount(), 0);
}

} // namespace
