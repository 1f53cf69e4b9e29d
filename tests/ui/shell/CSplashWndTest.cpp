#include "ui/shell/CSplashWnd.h"

#include "ui/shell/CShellPictures.h"

#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

TEST(CSplashWndTest, CloseWaitsHalfASecondAndCtrlShiftClickFiveMore)
{
    const struct
    {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int nIntervalAfter;
    } cases[] = {
        {Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, 5000},
        {Qt::LeftButton, Qt::ControlModifier, 500},
        {Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier, 500},
    };
    for (const auto& test : cases)
    {
        const QPointer<CSplashWnd> splash = new CSplashWnd(CShellPictures::Splash());
        QTimer& timer = *splash->findChild<QTimer*>();
        EXPECT_EQ(splash->size(), CShellPictures::Splash().size());
        EXPECT_FALSE(timer.isActive());
        splash->Close();
        EXPECT_EQ(timer.interval(), 500);
        QTest::mouseRelease(splash, test.button, test.modifiers, QPoint(10, 10));
        EXPECT_TRUE(timer.isActive());
        EXPECT_EQ(timer.interval(), test.nIntervalAfter);

        QMetaObject::invokeMethod(&timer, "timeout");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(splash.isNull()) << "still there when its time is up";
        delete splash;
    }
}
