#include "ui/frame/CTarBackupWizardDlg.h"

#include "ui/frame/CAppendPage.h"
#include "ui/frame/CArchiveView.h"
#include "ui/frame/CMainFrame.h"
#include "ui/frame/CTarBackupWizardPage1.h"
#include "ui/frame/CTarBackupWizardPage2.h"
#include "ui/frame/CTarBackupWizardPage3.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTestSupport.h"
#include "ui/support/DialogTestSupport.h"

#include <QAbstractButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace
{

// Stands in for the application: New and Save through the document as it
// serves them, Save Tape as though its device dialog were cancelled.
class CDocumentCommands : public CCommandTarget
{
public:
    explicit CDocumentCommands(CTarDoc& doc) : m_doc(doc) {}

    bool OnCommand(int id) override
    {
        m_commands.push_back(id);
        if (id == ID_FILE_NEW && m_doc.SaveModified())
            m_doc.OnNewDocument();
        else if (id == ID_FILE_SAVE)
            m_doc.DoFileSave();
        return true;
    }
    bool OnUpdateCommand(int, bool& enabled) override { return enabled = true; }

    std::vector<int> m_commands;

private:
    CTarDoc& m_doc;
};

// A main window with a tape drive, and a wizard that counts the launches of
// the selection application, noting m_bUseExplorer at each.
class CTarBackupWizardDlgTest : public testing::Test
{
protected:
    CTarBackupWizardDlgTest() { m_frame.SetApplicationTarget(&m_commands); }

    void ShowStep(int step)
    {
        m_wizard.show();
        while (m_wizard.currentId() < step && NextEnabled())
            m_wizard.next();
        ASSERT_EQ(m_wizard.currentId(), step);
    }
    bool NextEnabled() const { return m_wizard.button(QWizard::NextButton)->isEnabled(); }
    void AddFile()
    {
        ASSERT_TRUE(m_doc.m_pFilesToAdd->AddPath(m_doc.m_folder.WriteFile("a.txt", "A"), false));
    }

    CTestFolder m_tapeFolder;
    CFrameTestDocument m_doc{{m_tapeFolder / "drive.tap"}};
    CMainFrame m_frame{m_doc.Context()};
    CDocumentCommands m_commands{*m_doc.m_pDoc};
    std::vector<int> m_launches;
    CTarBackupWizardDlg m_wizard{m_doc.m_settings, *m_doc.m_pDoc, true,
                                 [this] { m_launches.push_back(m_doc.m_settings.m_bUseExplorer); },
                                 [this](int id) { m_frame.RouteCommand(id); }};
};

TEST_F(CTarBackupWizardDlgTest, NextFollowsTheFilesToAddFromEitherThreadAndThePathOption)
{
    CMessageBoxAnswerer errorsOccurred(QMessageBox::Ok);
    ShowStep(CTarBackupWizardDlg::STEP_FILES);
    EXPECT_FALSE(NextEnabled());
    AddFile();
    EXPECT_TRUE(NextEnabled());
    m_doc.m_pFilesToAdd->RemoveAt(0);
    EXPECT_FALSE(NextEnabled());

    // A full path too long for the system under a name that fits.
    SFileEntry entry("short.txt");
    entry.strPath = "/" + std::string(CAppendPage::PATH_LIMIT, 'd') + "/short.txt";
    std::thread([this, &entry] { m_doc.m_pFilesToAdd->Add(entry); }).join();
    EXPECT_TRUE(WaitUntil([this] { return NextEnabled(); }));

    m_wizard.Page2().Second().click();
    EXPECT_EQ(m_doc.m_settings.m_bRelativePaths, 0);
    EXPECT_EQ(m_doc.m_pFilesToAdd->GetCount(), 0);
    EXPECT_EQ(m_doc.m_log.GetCount(), 1);
    EXPECT_FALSE(NextEnabled());
}

TEST_F(CTarBackupWizardDlgTest, StepTwoBringsUpTheChosenSelectionAppEachTimeItShows)
{
    ShowStep(CTarBackupWizardDlg::STEP_SELECTION_APP);
    m_wizard.Page1().Second().click();
    m_wizard.next();
    EXPECT_TRUE(m_launches.empty()) << "not before the step is drawn";
    ASSERT_TRUE(WaitUntil([this] { return m_launches.size() == 1; }));
    EXPECT_EQ(m_launches[0], 0);

    AddFile();
    m_wizard.next();
    m_wizard.back();
    EXPECT_TRUE(WaitUntil([this] { return m_launches.size() == 2; }));
}

TEST_F(CTarBackupWizardDlgTest, WithoutTapeDrivesOnlyDiskFileIsOffered)
{
    CTarBackupWizardDlg wizard(m_doc.m_settings, *m_doc.m_pDoc, false, {}, {});
    EXPECT_TRUE(wizard.Page3().First().isChecked());
    EXPECT_TRUE(wizard.Page3().First().isEnabled());
    EXPECT_FALSE(wizard.Page3().Second().isEnabled());
}

TEST_F(CTarBackupWizardDlgTest, FinishStaysOnTheLastStepUntilTheFilesAreSaved)
{
    AddFile();
    ShowStep(CTarBackupWizardDlg::STEP_MEDIUM);
    QAbstractButton& finish = *m_wizard.button(QWizard::FinishButton);

    // The tape's device dialog and then the save dialog cancelled.
    m_wizard.Page3().Second().click();
    finish.click();
    m_wizard.Page3().First().click();
    finish.click();
    EXPECT_EQ(m_commands.m_commands, std::vector<int>({ID_FILE_SAVE_TAPE, ID_FILE_SAVE}));
    EXPECT_TRUE(m_wizard.isVisible());
    EXPECT_EQ(m_wizard.currentId(), CTarBackupWizardDlg::STEP_MEDIUM);

    const std::string archive = m_doc.m_folder / "new.tar";
    m_doc.m_frontEnd.SetSavePath(archive);
    finish.click();
    EXPECT_FALSE(m_wizard.isVisible());
    EXPECT_TRUE(std::filesystem::exists(archive));
    EXPECT_FALSE(m_doc.m_pDoc->IsModified());
}

TEST_F(CTarBackupWizardDlgTest, TheCommandStartsOnANewDocumentAndThenOnlyRaisesTheWizard)
{
    CArchiveView& view = m_frame.ArchiveView();
    AddFile();
    m_doc.m_frontEnd.QueueAnswer(IDCANCEL);
    EXPECT_TRUE(m_frame.RouteCommand(ID_ARCHIVE_WIZARD));
    EXPECT_EQ(view.Wizard(), nullptr);

    m_doc.m_frontEnd.QueueAnswer(IDNO);
    EXPECT_TRUE(m_frame.RouteCommand(ID_ARCHIVE_WIZARD));
    CTarBackupWizardDlg* wizard = view.Wizard();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(m_doc.m_pFilesToAdd->GetCount(), 0);

    EXPECT_TRUE(m_frame.RouteCommand(ID_ARCHIVE_WIZARD));
    EXPECT_EQ(view.Wizard(), wizard);
    EXPECT_EQ(m_commands.m_commands, std::vector<int>({ID_FILE_NEW, ID_FILE_NEW}));

    // Cancelled, it opens again.
    wizard->reject();
    EXPECT_TRUE(m_frame.RouteCommand(ID_ARCHIVE_WIZARD));
    EXPECT_TRUE(view.Wizard()->isVisible());
}

} // namespace
