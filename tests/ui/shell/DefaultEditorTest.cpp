#include "ui/shell/DefaultEditor.h"

#include "CFakeMimeAssociation.h"
#include "settings/CAppSettings.h"
#include "ui/frontend/CModalDriver.h"
#include "ui/shell/CDefaultAssocDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace
{

const QString kVorkant = QStringLiteral("vorkant.desktop");
const QString kOther = QStringLiteral("org.example.Archiver.desktop");

struct SQuestionCase
{
    const char* pszName;
    bool bInstalled;
    QString strDefault;
    int nNoPromptBefore;
    const char* pszAnswer; // null: no question expected
    bool bTick;
    QString strDefaultAfter;
    int nNoPromptAfter;
};

TEST(DefaultEditorTest, AsksOnlyWhileAnotherApplicationIsTheDefaultAndTheBoxIsClear)
{
    const SQuestionCase cases[] = {
        {"Yes", true, kOther, 0, "Yes", false, kVorkant, 0},
        {"NoTicked", true, kOther, 0, "No", true, kOther, 1},
        {"TickedBefore", true, kOther, 1, nullptr, false, kOther, 1},
        {"AlreadyTheDefault", true, kVorkant, 0, nullptr, false, kVorkant, 0},
        {"NoDefault", true, QString(), 0, nullptr, false, QString(), 0},
        {"NotInstalled", false, kOther, 0, nullptr, false, kOther, 0},
    };
    for (const SQuestionCase& test : cases)
    {
        SCOPED_TRACE(test.pszName);
        CFakeMimeAssociation association(test.strDefault);
        association.m_bInstalled = test.bInstalled;
        CAppSettings settings;
        settings.m_bNoAssocPrompt = test.nNoPromptBefore;
        QString question;
        CModalDriver driver;
        driver.OnNext<CDefaultAssocDlg>(
            [&](CDefaultAssocDlg* dialog)
            {
                question = dialog->findChildren<QLabel*>().back()->text();
                if (test.bTick)
                    Control<QCheckBox>(*dialog, "Don't ask me again").click();
                if (test.pszAnswer)
                    Control<QPushButton>(*dialog, test.pszAnswer).click();
                else
                    dialog->reject();
            });

        CheckDefaultEditor(association, settings, nullptr);

        EXPECT_EQ(question, test.pszAnswer ? "Vorkant is not the default editor for tar files.\n"
                                             "Would you like it to be the default?"
                                           : "");
        EXPECT_EQ(association.m_strTarDefault, test.strDefaultAfter);
        EXPECT_EQ(settings.m_bNoAssocPrompt, test.nNoPromptAfter);
    }
}

} // namespace
