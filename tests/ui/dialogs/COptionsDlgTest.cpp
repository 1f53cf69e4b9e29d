#include "ui/dialogs/COptionsDlg.h"

#include "settings/CAppSettings.h"
#include "ui/support/CFakeGuideViewer.h"
#include "ui/support/DialogTestSupport.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace
{
enum : int
{
    RIGHTS_PAGE,
    ARCHIVE_PAGE,
    APPLICATION_PAGE,
};

// Keeps the code of every settings-changed event, as an open window would.
class CChangeWatcher : public CEventHandler
{
public:
    int OnChanged(void* record)
    {
        m_codes.push_back(static_cast<SSettingsChanged*>(record)->nCode);
        return 1;
    }

    std::vector<int> m_codes;
};

class COptionsDlgTest : public testing::Test
{
protected:
    void Open(int page)
    {
        m_settings.Advise(&m_watcher, &CChangeWatcher::OnChanged);
        m_pSheet = std::make_unique<COptionsDlg>(&m_settings);
        Pages().setCurrentIndex(page);
        ShowAndSettle(*m_pSheet);
    }

    QTabWidget& Pages()
    {
        return *m_pSheet->findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly);
    }

    template <class T> T& Get(const QString& name) { return Control<T>(*m_pSheet, name); }

    // One of the nine boxes of the file or the directory permissions.
    QCheckBox& Box(int tab, const QString& row, const QString& column)
    {
        QWidget& page = *m_pSheet->findChild<QTabWidget*>("1016")->widget(tab);
        return Control<QCheckBox>(Control<QGroupBox>(page, row), column);
    }

    void Ok() { Get<QPushButton>("OK").click(); }

    CAppSettings m_settings;
    CChangeWatcher m_watcher;
    std::unique_ptr<COptionsDlg> m_pSheet;
};

TEST_F(COptionsDlgTest, IdsAreEditedInDecimalAndStoredInOctal)
{
    Open(RIGHTS_PAGE);
    EXPECT_EQ(Get<QLineEdit>("User Id").text(), "1000");
    EXPECT_EQ(Get<QLineEdit>("Group Id").text(), "10");

    Get<QLineEdit>("Group Id").setText("1000");
    Ok();

    EXPECT_EQ(m_pSheet->result(), QDialog::Accepted);
    EXPECT_EQ(m_settings.m_tarSettings.m_strUserId, "1750");
    EXPECT_EQ(m_settings.m_tarSettings.m_strGroupId, "1750");
    EXPECT_EQ(m_watcher.m_codes, std::vector<int>{SC_PERMISSIONS});
}

struct SModeCase
{
    const char* szMode;
    const char* szRow; // the box clicked, or none
    const char* szColumn;
    const char* szStored;
};

class COptionsMode : public COptionsDlgTest, public testing::WithParamInterface<SModeCase>
{
};

TEST_P(COptionsMode, IsRebuiltFromTheBoxesOnlyOnceOneIsClicked)
{
    m_settings.m_tarSettings.m_strFileMode = GetParam().szMode;
    Open(RIGHTS_PAGE);
    if (GetParam().szRow)
        Box(0, GetParam().szRow, GetParam().szColumn).click();
    Ok();

    EXPECT_EQ(m_settings.m_tarSettings.m_strFileMode, GetParam().szStored);
    EXPECT_EQ(m_settings.m_tarSettings.m_strDirMode, "755");
}

INSTANTIATE_TEST_SUITE_P(Modes, COptionsMode,
                         testing::Values(SModeCase{"644", "Group", "Read", "604"},
                                         SModeCase{"4755", nullptr, nullptr, "4755"},
                                         SModeCase{"4755", "Other", "Write", "757"}));

TEST_F(COptionsDlgTest, AModeTicksTheBoxesOfItsBits)
{
    Open(RIGHTS_PAGE);
    for (const QString row : {"User", "Group", "Other"})
    {
        for (const QString column : {"Read", "Write", "Execute"})
        {
            const bool set = column == "Read" || (row == "User" && column == "Write");
            EXPECT_EQ(Box(0, row, column).isChecked(), set)
                << row.toStdString() << column.toStdString();
            EXPECT_EQ(Box(1, row, column).isChecked(), set || column == "Execute" || row == "User");
        }
    }
}

TEST_F(COptionsDlgTest, UntickingTheIndexFileGreysItsName)
{
    Open(ARCHIVE_PAGE);
    Get<QCheckBox>("Use Index File").click();

    EXPECT_FALSE(Get<QLineEdit>("Index File Name").isEnabled());
    EXPECT_FALSE(m_pSheet->findChild<QLabel*>("1035")->isEnabled());
    Ok();
    EXPECT_EQ(m_settings.m_bUseIndexFile, 0);
}

const QString kInteger = "Please enter an integer.";

struct SBadNumberCase
{
    int nPage;
    const char* szControlId;
    const char* szText;
    QString strMessage;
};

void PrintTo(const SBadNumberCase& badNumber, std::ostream* out)
{
    *out << "control " << badNumber.szControlId << " \"" << badNumber.szText << '"';
}

class COptionsBadNumber : public COptionsDlgTest, public testing::WithParamInterface<SBadNumberCase>
{
};

TEST_P(COptionsBadNumber, KeepsTheSheetOpenOnItsPage)
{
    const CMessageBoxAnswerer answerer(QMessageBox::Ok);
    Open(GetParam().nPage);
    auto* const field = m_pSheet->findChild<QWidget*>(GetParam().szControlId);
    auto* const edit = qobject_cast<QLineEdit*>(field);
    (edit ? edit : field->findChild<QLineEdit*>())->setText(GetParam().szText);
    Pages().setCurrentIndex(APPLICATION_PAGE);
    Ok();

    EXPECT_EQ(answerer.m_texts, std::vector<QString>{GetParam().strMessage});
    EXPECT_TRUE(m_pSheet->isVisible());
    EXPECT_EQ(Pages().currentIndex(), GetParam().nPage);
    // Nothing is written, not even by the pages that had no fault.
    EXPECT_TRUE(m_watcher.m_codes.empty());
}

// An id beyond six octal digits would be cut short in every header.
INSTANTIATE_TEST_SUITE_P(
    Typed, COptionsBadNumber,
    testing::Values(SBadNumberCase{ARCHIVE_PAGE, "1079", "0",
                                   "Please enter an integer between 1 and 32767."},
                    SBadNumberCase{ARCHIVE_PAGE, "1079", "40000",
                                   "Please enter an integer between 1 and 32767."},
                    SBadNumberCase{ARCHIVE_PAGE, "1079", "", kInteger},
                    SBadNumberCase{RIGHTS_PAGE, "1041", "1e3", kInteger},
                    SBadNumberCase{RIGHTS_PAGE, "1042", "262144",
                                   "Please enter an integer between 0 and 262143."}));

TEST_F(COptionsDlgTest, TheApplicationPageAloneSendsCodeFour)
{
    Open(APPLICATION_PAGE);
    Get<QCheckBox>("Auto size file columns").click();
    Get<QRadioButton>("File Manager").click();
    Ok();

    EXPECT_EQ(m_watcher.m_codes, std::vector<int>{SC_ALL});
    EXPECT_EQ(m_settings.m_bAutoSizeColumns, 0);
    EXPECT_EQ(m_settings.m_bUseExplorer, 0);
}

TEST_F(COptionsDlgTest, HelpOpensTheGuideAtItsOptionsSection)
{
    const CFakeGuideViewer viewer;
    Open(ARCHIVE_PAGE);
    Get<QPushButton>("Help").click();

    ASSERT_EQ(viewer.m_opened.size(), 1u);
    EXPECT_EQ(viewer.m_opened[0].toLocalFile(), viewer.GuideFile());
    EXPECT_EQ(viewer.m_opened[0].fragment(), "the-options-sheet");
    EXPECT_TRUE(m_pSheet->isVisible());
}
} // namespace
