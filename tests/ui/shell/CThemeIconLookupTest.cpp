#include "ui/shell/CThemeIconLookup.h"

#include "support/CTestFolder.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(CThemeIconLookupTest, IconFilesAndDesktopEntriesShowTheirOwnPictureWhileOnDisk)
{
    const CTestFolder folder;
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(folder / "red.png")));
    const std::string app = folder.WriteFile(
        "app.desktop", "[Desktop Action A]\nIcon=a\n[Desktop Entry]\nIcon=" + (folder / "red.png"));
    const std::string bare = folder.WriteFile("bare.desktop", "[Desktop Entry]\n");
    CThemeIconLookup lookup;

    EXPECT_TRUE(lookup.TypeIcon(".desktop").bPerFile);
    EXPECT_TRUE(lookup.TypeIcon(".ico").bPerFile);
    EXPECT_TRUE(lookup.TypeIcon(".no-such-type").icon.isNull());
    const QImage own = lookup.OwnIcon(QString::fromStdString(app)).pixmap(16).toImage();
    EXPECT_EQ(own.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_TRUE(lookup.OwnIcon(QString::fromStdString(bare)).isNull());
    EXPECT_TRUE(lookup.OwnIcon(QString::fromStdString(folder / "member.ico")).isNull());
}
