#include "ui/dialogs/CFileTypesDlg.h"

#include "ui/support/DialogTestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Specs = std::vector<std::string>;

class CFileTypesDlgTest : public testing::Test
{
protected:
    void Open(const Specs& specs)
    {
        m_specs = specs;
        m_pDialog = std::make_unique<CFileTypesDlg>(&m_specs);
        ShowAndSettle(*m_pDialog);
    }

    QLineEdit& Edit() { return Control<QLineEdit>(*m_pDialog, "File Type(s)"); }
    QListWidget& List() { return Control<QListWidget>(*m_pDialog, "File Type(s)"); }
    QPushButton& Button(const QString& name) { return Control<QPushButton>(*m_pDialog, name); }

    void Type(const QString& text)
    {
        Edit().clear();
        QTest::keyClicks(&Edit(), text);
    }

    Specs m_specs;
    std::unique_ptr<CFileTypesDlg> m_pDialog;
};

// Typed capitals are kept in lower case; an item that merely starts with the
// typed text does not count as equal, one that differs only in case does.
TEST_F(CFileTypesDlgTest, AddsNewTextInLowerCase)
{
    Open({"*.cpp", "*.H"});
    Type("*.H");
    EXPECT_FALSE(Button("Add").isEnabled());
    Type("*.C");
    EXPECT_EQ(Edit().text(), "*.c");
    ASSERT_TRUE(Button("Add").isEnabled());

    Button("Add").click();

    EXPECT_FALSE(Button("Add").isEnabled());
    Button("OK").click();
    EXPECT_EQ(m_specs, Specs({"*.H", "*.c", "*.cpp"}));
}

TEST_F(CFileTypesDlgTest, OkWithNothingTypedLeavesTheListAndCancelAnything)
{
    Open({"*.c", "*.h"});
    Edit().clear();
    Button("OK").click();
    EXPECT_EQ(m_specs, Specs({"*.c", "*.h"}));

    Open({"*.c", "*.h"});
    Type("*.x");
    Button("Remove").click();
    Button("Cancel").click();
    EXPECT_EQ(m_specs, Specs({"*.c", "*.h"}));
}

struct SRemoveCase
{
    Specs list;
    int nSelected;
    int nSelectedAfter; // -1: nothing
};

class CFileTypesRemove : public CFileTypesDlgTest, public testing::WithParamInterface<SRemoveCase>
{
};

// The item that moved into the place is selected, or the new last one.
TEST_P(CFileTypesRemove, SelectsTheNeighbour)
{
    Open(GetParam().list);
    List().setCurrentRow(GetParam().nSelected);

    Button("Remove").click();

    EXPECT_EQ(List().count(), static_cast<int>(GetParam().list.size()) - 1);
    const QList<QListWidgetItem*> selected = List().selectedItems();
    ASSERT_EQ(selected.size(), GetParam().nSelectedAfter < 0 ? 0 : 1);
    if (!selected.isEmpty())
    {
        EXPECT_EQ(List().row(selected[0]), GetParam().nSelectedAfter);
    }
    EXPECT_EQ(Edit().text(), selected.isEmpty() ? "" : selected[0]->text());
    EXPECT_EQ(Button("Remove").isEnabled(), !selected.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rules, CFileTypesRemove,
                         testing::Values(SRemoveCase{{"a", "b", "c"}, 2, 1},
                                         SRemoveCase{{"a", "b", "c"}, 0, 0},
                                         SRemoveCase{{"a"}, 0, -1}));

} // namespace
