#include "ui/frontend/CAppendOverwirteDlg.h"

#include "CModalDriver.h"
#include "document/CAppendOverwrite.h"

#include <QPushButton>
#include <QTest>

namespace
{

struct SAnswerCase
{
    const char* szName;
    std::function<void(CAppendOverwirteDlg*)> answer;
    int nCode;
};

class CAppendOverwirteDlgTest : public ::testing::TestWithParam<SAnswerCase>
{
};

void Click(CAppendOverwirteDlg* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == text)
            button->click();
}

TEST_P(CAppendOverwirteDlgTest, EndsWithTheCodeOfTheAnswer)
{
    CModalDriver driver;
    CAppendOverwirteDlg dialog;
    driver.OnNext<CAppendOverwirteDlg>(GetParam().answer);

    EXPECT_EQ(dialog.exec(), GetParam().nCode);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CAppendOverwirteDlgTest,
    ::testing::Values(
        SAnswerCase{"Append", [](auto* d) { Click(d, "&Append"); }, CAppendOverwrite::AO_APPEND},
        SAnswerCase{"Overwrite", [](auto* d) { Click(d, "&Overwrite"); },
                    CAppendOverwrite::AO_OVERWRITE},
        SAnswerCase{"CloseBox", [](auto* d) { d->close(); }, CAppendOverwrite::AO_CANCEL},
        SAnswerCase{"Escape", [](auto* d) { QTest::keyClick(d, Qt::Key_Escape); },
                    CAppendOverwrite::AO_CANCEL},
        SAnswerCase{"Enter", [](auto* d) { QTest::keyClick(d, Qt::Key_Return); },
                    CAppendOverwrite::AO_APPEND}),
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
