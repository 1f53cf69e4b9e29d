#include "ui/shell/CAboutDlg.h"

#include <gtest/gtest.h>

TEST(CAboutDlgTest, ShowsTheProgramsNameAndTheVersionOfTheBuild)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Vorkant"));
    EXPECT_EQ(dialog.GetVersionLine(), QStringLiteral("Vorkant " VORKANT_VERSION));
}
