#include "ui/dialogs/CExtractionDlg.h"

#include "core/MessageBoxCodes.h"
#include "support/CTestFolder.h"
#include "ui/support/DialogTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The dialog with its folder browser replaced by one that records what it
// was asked and answers with a folder.
class CBrowsingExtractionDlg : public CExtractionDlg
{
public:
    using CExtractionDlg::CExtractionDlg;

    std::vector<std::string> m_asked; // title, initial folder

protected:
    int BrowseForFolder(const std::string& title, std::string& folder) override
    {
        m_asked = {title, folder};
        folder = "/chosen";
        return IDOK;
    }
};

class CExtractionDlgTest : public testing::Test
{
protected:
    void Open(const std::string& location, int type, bool selectedDisabled = false)
    {
        m_pDialog = std::make_unique<CBrowsingExtractionDlg>(location, &m_specs);
        m_pDialog->m_nSelectionType = type;
        m_pDialog->m_bSelectedDisabled = selectedDisabled;
        ShowAndSettle(*m_pDialog);
    }

    template <class T = QPushButton> T& Get(const QString& name)
    {
        return Control<T>(*m_pDialog, name);
    }

    CTestFolder m_folder;
    std::vector<std::string> m_specs;
    std::unique_ptr<CBrowsingExtractionDlg> m_pDialog;
};

struct SPresetCase
{
    int nType;
    bool bSelectedDisabled;
    const char* szChecked;
};

class CExtractionPreset : public CExtractionDlgTest, public testing::WithParamInterface<SPresetCase>
{
};

TEST_P(CExtractionPreset, ChecksThePresetAndOffersFileTypeOnlyByType)
{
    Open(m_folder.Path().string(), GetParam().nType, GetParam().bSelectedDisabled);

    for (const QString radio : {"All Files", "Selected Files", "By Type"})
        EXPECT_EQ(Get<QRadioButton>(radio).isChecked(), radio == GetParam().szChecked);
    EXPECT_EQ(Get<QRadioButton>("Selected Files").isEnabled(), !GetParam().bSelectedDisabled);
    const bool byType = GetParam().nType == CExtractionDlg::SELECT_TYPE;
    EXPECT_EQ(Get("File Type...").isEnabled(), byType);

    // A click changes the offer at once.
    Get<QRadioButton>(byType ? "All Files" : "By Type").click();
    EXPECT_EQ(Get("File Type...").isEnabled(), !byType);
}

INSTANTIATE_TEST_SUITE_P(
    Presets, CExtractionPreset,
    testing::Values(SPresetCase{CExtractionDlg::SELECT_ALL, true, "All Files"},
                    SPresetCase{CExtractionDlg::SELECT_SELECTED, false, "Selected Files"},
                    SPresetCase{CExtractionDlg::SELECT_TYPE, false, "By Type"}));

TEST_F(CExtractionDlgTest, AnExistingFolderIsTakenAtOnce)
{
    const CMessageBoxAnswerer answerer(QMessageBox::Cancel);
    Open("", CExtractionDlg::SELECT_ALL);
    Get<QRadioButton>("Selected Files").click();
    Get<QLineEdit>("Location").setText(QString::fromStdString(m_folder.Path().string()));

    Get("OK").click();

    EXPECT_TRUE(answerer.m_texts.empty());
    EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_pDialog->m_nSelectionType, CExtractionDlg::SELECT_SELECTED);
    EXPECT_EQ(m_pDialog->m_strLocation, m_folder.Path().string());
}

struct SCreateCase
{
    bool bFile;
    QMessageBox::StandardButton answer;
};

class CExtractionCreate : public CExtractionDlgTest, public testing::WithParamInterface<SCreateCase>
{
};

// A file is no folder to extract into: it is questioned like a missing path.
// OK takes the path as it is, Cancel goes back to the dialog.
TEST_P(CExtractionCreate, AsksBeforeTakingALocationThatIsNoFolder)
{
    const std::string location =
        GetParam().bFile ? m_folder.WriteFile("file", "x") : m_folder / "missing";
    const CMessageBoxAnswerer answerer(GetParam().answer);
    Open(location, CExtractionDlg::SELECT_TYPE);

    Get("OK").click();

    EXPECT_EQ(answerer.m_titles, std::vector<QString>({"Create"}));
    EXPECT_EQ(
        answerer.m_texts,
        std::vector<QString>({"The specified path does not exist. Would you like to create it?"}));
    const bool accepted = GetParam().answer == QMessageBox::Ok;
    EXPECT_EQ(m_pDialog->result() == QDialog::Accepted, accepted);
    EXPECT_EQ(m_pDialog->isVisible(), !accepted);
    EXPECT_EQ(m_pDialog->m_strLocation, location);
    EXPECT_EQ(m_pDialog->m_nSelectionType, CExtractionDlg::SELECT_TYPE);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "missing"));
}

INSTANTIATE_TEST_SUITE_P(Locations, CExtractionCreate,
                         testing::Values(SCreateCase{true, QMessageBox::Ok},
                                         SCreateCase{true, QMessageBox::Cancel},
                                         SCreateCase{false, QMessageBox::Ok},
                                         SCreateCase{false, QMessageBox::Cancel}));

TEST_F(CExtractionDlgTest, BrowseWithAnEmptyLocationStartsWithoutAFolder)
{
    Open("", CExtractionDlg::SELECT_ALL);

    Get("Browse...").click();

    EXPECT_EQ(
        m_pDialog->m_asked,
        std::vector<std::string>({"Select the destination folder for the file extraction.", ""}));
    EXPECT_EQ(Get<QLineEdit>("Location").text(), "/chosen");
}

} // namespace
