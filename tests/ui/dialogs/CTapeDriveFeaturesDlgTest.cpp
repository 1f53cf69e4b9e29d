#include "ui/dialogs/CTapeDriveFeaturesDlg.h"

#include "ui/support/DialogTestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
// A drive that sets block sizes (0x10 in the high word, its top bit left
// clear as some drivers do) and ejects, with a warning zone.
TAPE_GET_DRIVE_PARAMETERS Drive()
{
    TAPE_GET_DRIVE_PARAMETERS drive{};
    drive.FeaturesHigh = 0x10;
    drive.FeaturesLow = TAPE_DRIVE_EJECT_MEDIA | TAPE_DRIVE_EOT_WZ_SIZE;
    return drive;
}

// A tape of 10240-byte blocks.
TAPE_GET_MEDIA_PARAMETERS Media()
{
    TAPE_GET_MEDIA_PARAMETERS media{};
    media.BlockSize = 10240;
    return media;
}

class CTapeDriveFeaturesDlgTest : public testing::Test
{
protected:
    QStringList Named()
    {
        auto& list = Control<QListWidget>(m_dialog, "Named features");
        QStringList items;
        for (int row = 0; row < list.count(); ++row)
            items << list.item(row)->text();
        return items;
    }

    CTapeDriveFeaturesDlg m_dialog{Drive(), Media()};
};
} // namespace

TEST_F(CTapeDriveFeaturesDlgTest, ShowsTheFeatureWordsAsReportedInReadOnlyEdits)
{
    EXPECT_EQ(m_dialog.windowTitle(), "Tape Drive Features");
    auto& high = Control<QLineEdit>(m_dialog, "Features high");
    auto& low = Control<QLineEdit>(m_dialog, "Features low");
    EXPECT_EQ(high.text(), "0x10");
    EXPECT_EQ(low.text(), "0x1002000");
    EXPECT_TRUE(high.isReadOnly());
    EXPECT_TRUE(low.isReadOnly());
}

TEST_F(CTapeDriveFeaturesDlgTest, ListsTheNamedFeaturesAlphabeticallyIgnoringCase)
{
    const QStringList named = Named();
    EXPECT_TRUE(named.contains("Set block size"));
    EXPECT_TRUE(named.contains("Blocking factor 20"));
    // A case-sensitive sort would put "EOT warning zone size 0" before
    // "Eject media".
    ASSERT_TRUE(named.contains("Eject media"));
    QStringList sorted = named;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(named, sorted);
}

TEST_F(CTapeDriveFeaturesDlgTest, OkIsTheDefaultAndCloses)
{
    ShowAndSettle(m_dialog);
    auto& ok = Control<QPushButton>(m_dialog, "OK");
    EXPECT_TRUE(ok.isDefault());
    QTest::mouseClick(&ok, Qt::LeftButton);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
}
