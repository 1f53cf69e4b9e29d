#include "ui/dialogs/CTapeDevicesDlg.h"

#include "devices/CTapeDesc.h"
#include "platform/CDosDeviceQuery.h"
#include "platform/CRegistryReader.h"
#include "ui/support/DialogTestSupport.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
const QString kRange = "Please enter an integer between 1 and 10240.";

// Drives "tape0" ... below a count, with no names in the registry: each is
// called "Tape Device N".
class CNumberedDrives : public CRegistryReader, public CDosDeviceQuery
{
public:
    explicit CNumberedDrives(int count) : m_nCount(count) {}

    std::unique_ptr<CKey> OpenKey(const std::string&) const override { return nullptr; }
    bool Exists(const std::string& name) const override
    {
        for (int unit = 0; unit < m_nCount; ++unit)
        {
            if (name == "tape" + std::to_string(unit))
                return true;
        }
        return false;
    }

private:
    const int m_nCount;
};

class CTapeDevicesDlgTest : public testing::Test
{
protected:
    void Open(int drives, int factor = 20, int unit = 0, bool variable = false)
    {
        const CNumberedDrives found(drives);
        m_drives = CTapeDesc(found, found);
        m_pDialog = std::make_unique<CTapeDevicesDlg>(factor, unit, variable, false, m_drives);
        ShowAndSettle(*m_pDialog);
    }

    QComboBox& Devices() { return Control<QComboBox>(*m_pDialog, "Tape Device(s)"); }
    QAbstractSpinBox& Factor() { return Control<QAbstractSpinBox>(*m_pDialog, "Blocking Factor"); }
    QCheckBox& Variable() { return Control<QCheckBox>(*m_pDialog, "Variable Blocking"); }
    QPushButton& Ok() { return Control<QPushButton>(*m_pDialog, "OK"); }
    bool Accepted() const { return m_pDialog->result() == QDialog::Accepted; }

    void TypeFactor(const QString& text)
    {
        auto* const edit = Factor().findChild<QLineEdit*>();
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    CTapeDesc m_drives = CTapeDesc(CNumberedDrives(0), CNumberedDrives(0));
    std::unique_ptr<CTapeDevicesDlg> m_pDialog;
};

struct SPreselectCase
{
    int nDrives;
    int nUnit;
    int nSelected;
};

class CTapeDevicesPreselect : public CTapeDevicesDlgTest,
                              public testing::WithParamInterface<SPreselectCase>
{
};

// A stored unit that names no drive falls back to the first; with no drives
// there is nothing to select and OK stays off.
TEST_P(CTapeDevicesPreselect, SelectsTheStoredDriveOrTheFirst)
{
    Open(GetParam().nDrives, 20, GetParam().nUnit);

    EXPECT_EQ(Devices().currentIndex(), GetParam().nSelected);
    EXPECT_EQ(Ok().isEnabled(), GetParam().nSelected >= 0);
    m_pDialog->accept();
    EXPECT_EQ(Accepted(), GetParam().nSelected >= 0);
}

INSTANTIATE_TEST_SUITE_P(Units, CTapeDevicesPreselect,
                         testing::Values(SPreselectCase{2, 3, 0}, SPreselectCase{2, 1, 1},
                                         SPreselectCase{2, -1, 0}, SPreselectCase{0, 0, -1}));

TEST_F(CTapeDevicesDlgTest, TheSecondDriveGivesItsDeviceNameAndUnit)
{
    Open(2);
    Devices().setCurrentIndex(1);
    TypeFactor("126");
    Control<QCheckBox>(*m_pDialog, "Use Compression").click();

    Ok().click();

    ASSERT_TRUE(Accepted());
    EXPECT_EQ(m_pDialog->m_strDevice, "\\\\.\\tape1");
    EXPECT_EQ(m_pDialog->m_nUnit, 1);
    EXPECT_EQ(m_pDialog->m_nBlockingFactor, 126);
    EXPECT_TRUE(m_pDialog->m_bCompression);
}

class CTapeDevicesBadFactor : public CTapeDevicesDlgTest,
                              public testing::WithParamInterface<QString>
{
};

// Said once; the dialog stays open and the fields keep what they had.
TEST_P(CTapeDevicesBadFactor, IsReportedOnceAndKeepsTheDialogOpen)
{
    Open(1);
    const CMessageBoxAnswerer answerer(QMessageBox::Ok);
    TypeFactor(GetParam());
    Variable().click();
    EXPECT_FALSE(Factor().isEnabled());

    Ok().click();

    const QString text = GetParam().isEmpty() ? "Please enter an integer." : kRange;
    // One for the click on the box, one for OK.
    EXPECT_EQ(answerer.m_texts, std::vector<QString>({text, text}));
    EXPECT_TRUE(m_pDialog->isVisible());
    EXPECT_EQ(m_pDialog->m_nBlockingFactor, 20);
    EXPECT_FALSE(m_pDialog->m_bVariableBlocking);
}

INSTANTIATE_TEST_SUITE_P(Typed, CTapeDevicesBadFactor,
                         testing::Values("0", "10241", "99999999999", ""));

TEST_F(CTapeDevicesDlgTest, VariableBlockingDisablesTheFactorButKeepsIt)
{
    Open(1, 64, 0, true);

    EXPECT_FALSE(Factor().isEnabled());
    EXPECT_EQ(Factor().text(), "64");
    Ok().click();

    ASSERT_TRUE(Accepted());
    EXPECT_EQ(m_pDialog->m_nBlockingFactor, 64);
    EXPECT_TRUE(m_pDialog->m_bVariableBlocking);
}

// Reported on opening; and though reading it fails, unchecking the box
// enables the factor so that it can be mended.
TEST_F(CTapeDevicesDlgTest, ABadStoredFactorCanBeMended)
{
    const CMessageBoxAnswerer answerer(QMessageBox::Ok);
    Open(1, 0, 0, true);
    EXPECT_EQ(answerer.m_texts, std::vector<QString>({kRange}));

    Variable().click();
    ASSERT_TRUE(Factor().isEnabled());
    TypeFactor("1x2");
    Ok().click();

    ASSERT_TRUE(Accepted());
    EXPECT_EQ(m_pDialog->m_nBlockingFactor, 12);
    EXPECT_FALSE(m_pDialog->m_bVariableBlocking);
}

} // namespace
