#include "document/CWaitDialog.h"

#include "document/CScriptedFrontEnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

class CWaitDialogTest : public ::testing::Test
{
protected:
    CScriptedFrontEnd m_frontEnd;
    std::atomic<bool> m_bContinue{true};
    CWaitDialog m_dialog{m_frontEnd, m_bContinue};
};

class CWaitDialogCodeTest : public CWaitDialogTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(CWaitDialogCodeTest, CloseBeforeTheWindowExistsEndsTheRunAtOnceWithItsCode)
{
    m_dialog.ResetForOperation(true);
    m_dialog.CloseWithCode(GetParam());

    EXPECT_EQ(m_dialog.RunModal(), GetParam());
    EXPECT_EQ(m_frontEnd.CloseCodes(), Ints{GetParam()});
    EXPECT_EQ(m_frontEnd.FinishedLooks(), 0);
}

TEST_P(CWaitDialogCodeTest, CloseWhileTheWindowIsOpenEndsTheRunWithItsCode)
{
    m_dialog.ResetForOperation(true);
    bool bOpenDuringRun = false;
    m_frontEnd.QueueWindowTask([&](CWaitDialog& dialog) {
        bOpenDuringRun = dialog.IsWindowOpen();
        dialog.CloseWithCode(GetParam());
    });

    EXPECT_EQ(m_dialog.RunModal(), GetParam());
    EXPECT_TRUE(bOpenDuringRun);
    EXPECT_FALSE(m_dialog.IsWindowOpen());
    EXPECT_EQ(m_frontEnd.CloseCodes(), Ints{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Codes, CWaitDialogCodeTest,
                         ::testing::Values(CWaitDialog::WAIT_CLOSE_DONE, CWaitDialog::WAIT_CLOSE_CANCELLED));

TEST_F(CWaitDialogTest, ResetDropsWhatThePreviousOperationLeft)
{
    m_dialog.ResetForOperation(false);
    m_dialog.SetStatus("Listing archive...");
    m_dialog.CloseWithCode(1);
    m_dialog.CloseWithCode(2); // the first close is the one that counts
    ASSERT_EQ(m_dialog.RunModal(), 1);
    m_dialog.CloseWithCode(2); // a stray close after the window went

    m_dialog.ResetForOperation(false);
    m_frontEnd.QueueWindowTask([](CWaitDialog& dialog) { dialog.CloseWithCode(1); });

    EXPECT_EQ(m_dialog.RunModal(), 1);
    EXPECT_EQ(m_frontEnd.InitialStatuses(), (Strings{"Listing archive...", ""}));
}

TEST_F(CWaitDialogTest, StatusFromBeforeTheWindowIsShownWhenItOpens)
{
    m_dialog.ResetForOperation(false);
    m_dialog.SetStatus("Opening archive...");
    m_dialog.SetStatus("Finished opening archive");
    m_dialog.SetProgress(40); // no bar to move yet
    m_dialog.CloseWithCode(1);

    m_dialog.RunModal();

    EXPECT_EQ(m_frontEnd.InitialStatuses(), Strings{"Finished opening archive"});
    EXPECT_TRUE(m_frontEnd.Statuses().empty());
    EXPECT_TRUE(m_frontEnd.Progress().empty());
}

TEST_F(CWaitDialogTest, UnchangedStatusAndProgressDoNotReachTheWindow)
{
    m_dialog.ResetForOperation(false);
    m_frontEnd.QueueWindowTask([](CWaitDialog& dialog) {
        dialog.SetStatus("a.txt");
        dialog.SetStatus("a.txt");
        dialog.SetStatus("b.txt");
        for (int percent : {5, 5, 7, 250, 100, -3})
            dialog.SetProgress(percent);
        dialog.CloseWithCode(1);
    });

    m_dialog.RunModal();

    EXPECT_EQ(m_frontEnd.Statuses(), (Strings{"a.txt", "b.txt"}));
    EXPECT_EQ(m_frontEnd.Progress(), (Ints{5, 7, 100, 0}));
}

TEST_F(CWaitDialogTest, ProgressFromBeforeTheWindowReachesItWhenSentAgain)
{
    m_dialog.ResetForOperation(false);
    m_dialog.SetProgress(40);
    m_frontEnd.QueueWindowTask(
        [](CWaitDialog& dialog)
        {
            dialog.SetProgress(40);
            dialog.CloseWithCode(1);
        });

    m_dialog.RunModal();

    EXPECT_EQ(m_frontEnd.Progress(), Ints{40});
}

struct SFinishCase
{
    const char* szName;
    bool bShowFinishedDialog;
    bool bBeforeWindow;
};

class CWaitDialogFinishTest : public CWaitDialogTest, public ::testing::WithParamInterface<SFinishCase>
{
};

TEST_P(CWaitDialogFinishTest, FinishShowsTheFinishedLookOrClosesBySetting)
{
    const SFinishCase& c = GetParam();
    m_dialog.ResetForOperation(c.bShowFinishedDialog);
    if (c.bBeforeWindow)
        m_dialog.ShowFinished();
    else
        m_frontEnd.QueueWindowTask([](CWaitDialog& dialog) { dialog.ShowFinished(); });
    // The user dismisses the finished look with its button.
    if (c.bShowFinishedDialog)
        m_frontEnd.QueueCancelPress();

    EXPECT_EQ(m_dialog.RunModal(), CWaitDialog::WAIT_CLOSE_DONE);
    EXPECT_EQ(m_frontEnd.FinishedLooks(), c.bShowFinishedDialog ? 1 : 0);
    EXPECT_EQ(m_frontEnd.CloseCodes(), Ints{CWaitDialog::WAIT_CLOSE_DONE});
    EXPECT_TRUE(m_frontEnd.Boxes().empty()); // no confirmation once finished
    EXPECT_TRUE(m_dialog.IsFinished());
}

INSTANTIATE_TEST_SUITE_P(Cases, CWaitDialogFinishTest,
                         ::testing::Values(SFinishCase{"LookBeforeWindow", true, true},
                                           SFinishCase{"LookWhileOpen", true, false},
                                           SFinishCase{"CloseBeforeWindow", false, true},
                                           SFinishCase{"CloseWhileOpen", false, false}),
                         [](const auto& info) { return std::string(info.param.szName); });

struct SCancelCase
{
    const char* szName;
    int nAnswer;
    bool bCancelled;
};

class CWaitDialogCancelTest : public CWaitDialogTest, public ::testing::WithParamInterface<SCancelCase>
{
};

TEST_P(CWaitDialogCancelTest, CancelAsksAndOnYesStopsTheWorker)
{
    const SCancelCase& c = GetParam();
    m_dialog.ResetForOperation(true);
    m_dialog.SetStatus("Extracting files...");
    m_frontEnd.QueueAnswer(c.nAnswer);
    m_frontEnd.QueueCancelPress();
    bool bButtonEnabled = true;
    // The worker's next cancellation point.
    m_frontEnd.QueueWindowTask([&](CWaitDialog& dialog) {
        bButtonEnabled = m_frontEnd.IsButtonEnabled();
        dialog.CloseWithCode(m_bContinue ? CWaitDialog::WAIT_CLOSE_DONE : CWaitDialog::WAIT_CLOSE_CANCELLED);
    });

    const int code = m_dialog.RunModal();

    EXPECT_EQ(code, c.bCancelled ? CWaitDialog::WAIT_CLOSE_CANCELLED : CWaitDialog::WAIT_CLOSE_DONE);
    EXPECT_EQ(m_bContinue, !c.bCancelled);
    EXPECT_EQ(bButtonEnabled, !c.bCancelled);
    EXPECT_EQ(m_frontEnd.Statuses(), c.bCancelled ? Strings{"Canceling operation..."} : Strings{});
    const auto boxes = m_frontEnd.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to cancel this operation?");
    EXPECT_EQ(boxes[0].nStyle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

INSTANTIATE_TEST_SUITE_P(Answers, CWaitDialogCancelTest,
                         ::testing::Values(SCancelCase{"Yes", IDYES, true}, SCancelCase{"No", IDNO, false}),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST_F(CWaitDialogTest, CancelConfirmedAfterTheWorkerFinishedKeepsTheFinishedLook)
{
    m_dialog.ResetForOperation(true);
    // The worker finishes while the user reads the question.
    m_frontEnd.QueueAnswer([this] {
        m_dialog.ShowFinished();
        return IDYES;
    });
    m_frontEnd.QueueCancelPress();
    m_frontEnd.QueueCancelPress(); // now the "&Finished" button

    EXPECT_EQ(m_dialog.RunModal(), CWaitDialog::WAIT_CLOSE_DONE);
    EXPECT_EQ(m_frontEnd.CancelPresses(), (std::vector<bool>{false, false}));
    EXPECT_EQ(m_frontEnd.FinishedLooks(), 1);
    EXPECT_TRUE(m_frontEnd.Statuses().empty());
    EXPECT_EQ(m_frontEnd.Boxes().size(), 1u);
}

// The worker reports and ends on its own thread while the window thread runs
// the wait; whichever comes first, the window's creation or the worker's end,
// the run must end with the worker's code and show its last words.
TEST(CWaitDialogThreadTest, WorkerEndsTheRunFromItsThread)
{
    for (int round = 0; round < 200; ++round)
    {
        CScriptedFrontEnd frontEnd;
        std::atomic<bool> bContinue{true};
        CWaitDialog dialog(frontEnd, bContinue);
        const int kind = round % 3;
        dialog.ResetForOperation(kind == 0);

        std::thread worker([&] {
            for (int i = 0; i <= 100; ++i)
            {
                dialog.SetStatus("file " + std::to_string(i));
                dialog.SetProgress(i);
            }
            if (kind == 2)
            {
                dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_CANCELLED);
                return;
            }
            dialog.ShowFinished();
            if (kind == 0)
                frontEnd.QueueCancelPress(); // the user dismisses the finished look
        });
        const int code = dialog.RunModal();
        worker.join();

        EXPECT_EQ(code, kind == 2 ? CWaitDialog::WAIT_CLOSE_CANCELLED : CWaitDialog::WAIT_CLOSE_DONE);
        const auto updates = frontEnd.Statuses();
        const std::string shown = updates.empty() ? frontEnd.InitialStatuses().at(0) : updates.back();
        EXPECT_EQ(shown, "file 100");
        const auto progress = frontEnd.Progress();
        if (!progress.empty())
        {
            EXPECT_EQ(progress.back(), 100);
        }
        EXPECT_TRUE(frontEnd.Boxes().empty());
    }
}

TEST(CWaitDialogThreadTest, ConfirmedCancelStopsTheWorkerAtItsNextTick)
{
    for (int round = 0; round < 50; ++round)
    {
        CScriptedFrontEnd frontEnd;
        std::atomic<bool> bContinue{true};
        CWaitDialog dialog(frontEnd, bContinue);
        dialog.ResetForOperation(true);
        frontEnd.QueueAnswer(IDYES);
        frontEnd.QueueCancelPress();

        std::thread worker([&] {
            // Bounded, so a lost cancel fails the test instead of hanging it.
            for (int tick = 0; tick < 1000000; ++tick)
            {
                if (!bContinue)
                {
                    dialog.CloseWithCode(CWaitDialog::WAIT_CLOSE_CANCELLED);
                    return;
                }
                dialog.SetProgress(tick % 101);
                std::this_thread::yield();
            }
            dialog.ShowFinished();
        });
        const int code = dialog.RunModal();
        worker.join();

        EXPECT_EQ(code, CWaitDialog::WAIT_CLOSE_CANCELLED);
        EXPECT_FALSE(bContinue);
    }
}

} // namespace
