#include "ui/frontend/CQtFrontEnd.h"

#include "CModalDriver.h"
#include "document/CWaitDialog.h"
#include "ui/frontend/CTarWaitDlg.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

namespace
{

class CQtFrontEndTest : public ::testing::Test
{
protected:
    CQtFrontEndTest()
    {
        m_owner.setGeometry(100, 100, 800, 600);
        m_owner.show();
        m_frontEnd.SetOwner(&m_owner);
    }

    // One operation: the wait window runs here, worker on a thread of its
    // own once the window is open.
    int RunWith(bool bShowFinished, const std::function<void()>& worker)
    {
        m_dialog.ResetForOperation(bShowFinished);
        std::thread thread([&] {
            for (int ms = 0; ms < 10000 && !m_dialog.IsWindowOpen(); ++ms)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            worker();
        });
        const int code = m_dialog.RunModal();
        thread.join();
        return code;
    }

    // Window thread.
    template <class T> T* Part() const { return m_frontEnd.GetWaitWindow()->findChild<T*>(); }
    // The label that holds a picture, or the one that holds text.
    QLabel* Label(bool picture) const
    {
        for (auto* label : m_frontEnd.GetWaitWindow()->findChildren<QLabel*>())
        {
            if (label->pixmap().isNull() != picture)
                return label;
        }
        return nullptr;
    }
    static QString Name(QObject* part)
    {
        return QAccessible::queryAccessibleInterface(part)->text(QAccessible::Name);
    }
    QString Describe() const
    {
        auto* status = Part<QPlainTextEdit>();
        auto* progress = Part<QProgressBar>();
        auto* picture = Label(true);
        auto* overall = Label(false);
        auto* button = Part<QPushButton>();
        return QStringList{m_frontEnd.GetWaitWindow()->windowTitle(),
                           status->isVisible() ? "[" + status->toPlainText() + "]" : "no status",
                           progress->isVisible() ? QString::number(progress->value()) + "%"
                                                 : "no progress",
                           overall->isVisible() ? "{" + overall->text() + "}" : "no overall",
                           picture->isVisible() ? "picture" : "no picture",
                           button->text() + (button->isEnabled() ? "" : " disabled")}
            .join(" / ");
    }
    // Worker side.
    QString Seen()
    {
        return CModalDriver::OnWindowThread([this] { return Describe(); });
    }

    CModalDriver m_driver;
    QWidget m_owner;
    CQtFrontEnd m_frontEnd;
    std::atomic<bool> m_bContinue{true};
    CWaitDialog m_dialog{m_frontEnd, m_bContinue};
};

TEST_F(CQtFrontEndTest, WorkerStatusAndProgressReachTheWindowAndCloseEndsTheRunWithItsCode)
{
    QStringList seen;
    QString names;
    const int code = RunWith(false, [&] {
        seen << Seen();
        m_dialog.SetStatus("Listing archive...");
        m_dialog.SetProgress(40);
        m_dialog.SetOverall("3 files, 12 KB read");
        seen << Seen();
        names = CModalDriver::OnWindowThread(
            [this] { return Name(Part<QPlainTextEdit>()) + " / " + Name(Part<QPushButton>()); });
        m_dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_CANCELLED);
    });

    EXPECT_EQ(code, CWaitDialog::WAIT_CLOSE_CANCELLED);
    EXPECT_EQ(seen, QStringList({"Please Wait... / [] / no progress / {} / no picture / &Cancel",
                                 "Please Wait... / [Listing archive...] / 40% / {3 files, 12 KB "
                                 "read} / no picture / &Cancel"}));
    EXPECT_EQ(names, "Listing archive... / Cancel");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Counts the queued calls an object is handed.
struct SQueuedCalls : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        nCalls += event->type() == QEvent::MetaCall;
        return false;
    }
    int nCalls = 0;
};

TEST_F(CQtFrontEndTest, ThousandsOfStatusCallsReachTheWindowAsOneUpdateWithTheLastText)
{
    SQueuedCalls deliveries;
    int nDeliveries = 0;
    QString seen;
    RunWith(false, [&] {
        // The window thread held while the requests pile up.
        std::promise<void> held, release;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                m_frontEnd.installEventFilter(&deliveries);
                held.set_value();
                release.get_future().wait();
            },
            Qt::QueuedConnection);
        held.get_future().wait();
        for (int i = 0; i < 2000; ++i)
        {
            m_dialog.SetStatus("Member " + std::to_string(i));
            m_dialog.SetProgress(i % 101);
        }
        release.set_value();
        seen = Seen();
        nDeliveries = deliveries.nCalls;
        m_dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_DONE);
    });

    EXPECT_EQ(seen, "Please Wait... / [Member 1999] / 80% / {} / no picture / &Cancel");
    EXPECT_EQ(nDeliveries, 1);
}

TEST_F(CQtFrontEndTest, CloseThatCameBeforeTheWindowStillEndsTheRun)
{
    m_dialog.ResetForOperation(true);
    m_dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_CANCELLED);

    EXPECT_EQ(m_dialog.RunModal(), CWaitDialog::WAIT_CLOSE_CANCELLED);
}

TEST_F(CQtFrontEndTest, FinishedLookShowsThePictureCentredAndItsButtonEndsTheRunWithOne)
{
    QString seen;
    bool bCentred = false;
    const int code = RunWith(true, [&] {
        m_dialog.SetStatus("Extracting files...");
        m_dialog.SetProgress(50);
        m_dialog.ShowFinished();
        seen = Seen();
        bCentred = CModalDriver::OnWindowThread([this] {
            const QRect picture = Label(true)->geometry();
            const QRect button = Part<QPushButton>()->geometry();
            const QPoint offset = m_frontEnd.GetWaitWindow()->frameGeometry().center() -
                                  m_owner.frameGeometry().center();
            return Label(true)->pixmap().size() == QSize(196, 132) &&
                   button.top() > picture.bottom() &&
                   std::abs(button.center().x() - picture.center().x()) <= 1 &&
                   offset.manhattanLength() <= 2;
        });
        CModalDriver::OnWindowThread([this] {
            Part<QPushButton>()->click();
            return 0;
        });
    });

    EXPECT_EQ(seen, "Operation Complete / no status / no progress / no overall / picture / &Finished");
    EXPECT_TRUE(bCentred);
    EXPECT_EQ(code, CWaitDialog::WAIT_CLOSE_DONE);
}

struct SCancelCase
{
    const char* szName;
    std::function<void(CTarWaitDlg*)> press;
    QMessageBox::StandardButton answer;
    const char* szSeen;
};

class CQtFrontEndCancelTest : public CQtFrontEndTest,
                              public ::testing::WithParamInterface<SCancelCase>
{
};

TEST_P(CQtFrontEndCancelTest, CancelAsksFirstAndOnlyYesStopsTheOperation)
{
    QString question;
    QString seen;
    RunWith(false, [&] {
        m_dialog.SetStatus("Extracting files...");
        CModalDriver::OnWindowThread([&] {
            m_driver.OnNext<QMessageBox>([&](QMessageBox* box) {
                question = box->windowTitle() + ": " + box->text() + " " +
                           box->defaultButton()->text();
                box->button(GetParam().answer)->click();
            });
            GetParam().press(m_frontEnd.GetWaitWindow());
            return 0;
        });
        seen = Seen();
        m_dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_CANCELLED);
    });

    EXPECT_EQ(question, "Vorkant: Are you sure you want to cancel this operation? &No");
    EXPECT_EQ(seen, GetParam().szSeen);
    EXPECT_EQ(m_bContinue, GetParam().answer == QMessageBox::No);
}

constexpr const char* kGoingOn = "Please Wait... / [Extracting files...] / no progress / {} / "
                                 "no picture / &Cancel";
constexpr const char* kCanceling = "Please Wait... / [Canceling operation...] / no progress / {} / "
                                   "no picture / &Cancel disabled";
INSTANTIATE_TEST_SUITE_P(
    Presses, CQtFrontEndCancelTest,
    ::testing::Values(
        SCancelCase{"ButtonYes", [](CTarWaitDlg* w) { w->findChild<QPushButton*>()->click(); },
                    QMessageBox::Yes, kCanceling},
        SCancelCase{"ButtonNo", [](CTarWaitDlg* w) { w->findChild<QPushButton*>()->click(); },
                    QMessageBox::No, kGoingOn},
        SCancelCase{"Escape", [](CTarWaitDlg* w) { QTest::keyClick(w, Qt::Key_Escape); },
                    QMessageBox::Yes, kCanceling},
        SCancelCase{"CloseBox", [](CTarWaitDlg* w) { w->close(); }, QMessageBox::No, kGoingOn}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST_F(CQtFrontEndTest, QuestionFromTheWorkerWaitsForItsAnswerInABoxOverTheWaitWindow)
{
    std::atomic<bool> bAnswered{false};
    bool bOverWaitWindow = false;
    m_driver.OnNext<QMessageBox>([&](QMessageBox* box) {
        bOverWaitWindow = box->parentWidget() == m_frontEnd.GetWaitWindow();
        QTimer::singleShot(50, box, [&, box] {
            bAnswered = true;
            box->button(QMessageBox::Yes)->click();
        });
    });
    int answer = 0;
    bool bAnsweredFirst = false;
    RunWith(false, [&] {
        answer = m_frontEnd.Ask("Continue?", "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        bAnsweredFirst = bAnswered;
        m_dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_DONE);
    });

    EXPECT_EQ(answer, IDYES);
    EXPECT_TRUE(bAnsweredFirst);
    EXPECT_TRUE(bOverWaitWindow);
}

TEST_F(CQtFrontEndTest, QuestionOnTheWindowThreadRunsDirectlyOverTheOwner)
{
    QWidget* owner = nullptr;
    m_driver.OnNext<QMessageBox>([&](QMessageBox* box) {
        owner = box->parentWidget();
        box->button(QMessageBox::Cancel)->click();
    });

    EXPECT_EQ(m_frontEnd.Ask("Would you like to catalog the archive?", "Catalog", MB_OKCANCEL),
              IDCANCEL);
    EXPECT_EQ(owner, &m_owner);
}

// Once the session ends nobody is left to answer: the wait window's Cancel
// stops the operation without asking, and a question gets the answer its
// Escape key gives, without a box.
TEST_F(CQtFrontEndTest, AfterTheSessionEndsCancelStopsAtOnceAndNoBoxShows)
{
    const CMessageBoxAnswerer answerer(QMessageBox::Yes);
    m_frontEnd.EndSession();
    int answer = 0;
    const int code =
        RunWith(false,
                [&]
                {
                    answer = m_frontEnd.Ask("Save changes to Untitled?", "", MB_YESNOCANCEL);
                    CModalDriver::OnWindowThread(
                        [this]
                        {
                            m_frontEnd.GetWaitWindow()->reject();
                            return 0;
                        });
                    m_dialog.CloseWithCode(m_bContinue ? CWaitDialog::WAIT_CLOSE_DONE
                                                       : CWaitDialog::WAIT_CLOSE_CANCELLED);
                });

    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(code, CWaitDialog::WAIT_CLOSE_CANCELLED);
    EXPECT_EQ(answerer.m_texts, std::vector<QString>());
}

} // namespace
