#include "ui/frame/CMenuButtonToolBar.h"

#include "ui/frame/CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

namespace
{

TEST(CMenuButtonToolBarTest, AttachesAMenuOnlyToAButtonOfItsOwnAndOnce)
{
    QWidget window;
    CMenuButtonToolBar bar(QStringLiteral("Bar"), &window);
    QAction* action = bar.addAction(QStringLiteral("Open"));
    action->setData(ID_FILE_OPEN);
    QMenu menu;

    EXPECT_FALSE(bar.AddMenuButton(ID_FILE_SAVE, &menu));
    EXPECT_TRUE(bar.AddMenuButton(ID_FILE_OPEN, &menu));
    EXPECT_FALSE(bar.AddMenuButton(ID_FILE_OPEN, &menu));
    EXPECT_EQ(bar.ButtonOf(ID_FILE_OPEN)->popupMode(), QToolButton::InstantPopup);
    // Enabling the action again must not undo the drop-down.
    action->setEnabled(false);
    action->setEnabled(true);
    EXPECT_EQ(bar.ButtonOf(ID_FILE_OPEN)->menu(), &menu);

    bar.RemoveMenuButton(ID_FILE_OPEN);
    EXPECT_FALSE(bar.HasMenuButton(ID_FILE_OPEN));
    EXPECT_EQ(bar.ButtonOf(ID_FILE_OPEN)->menu(), nullptr);
    EXPECT_TRUE(bar.AddMenuButton(ID_FILE_OPEN, &menu));
}

} // namespace
