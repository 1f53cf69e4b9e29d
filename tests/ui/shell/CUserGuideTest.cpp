#include "ui/shell/CUserGuide.h"

#include "ui/support/CFakeGuideViewer.h"
#include "ui/support/DialogTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace
{
const std::pair<CUserGuide::ETopic, QString> kTopics[] = {
    {CUserGuide::GUIDE_CONTENTS, ""},
    {CUserGuide::GUIDE_USING_HELP, "using-this-guide"},
    {CUserGuide::GUIDE_OPTIONS, "the-options-sheet"},
};

TEST(CUserGuideTest, EachTopicIsItsSectionOfTheGuideBesideTheProgram)
{
    const CFakeGuideViewer viewer;
    for (const auto& [topic, fragment] : kTopics)
    {
        const QUrl url = CUserGuide::Find(topic, viewer.ProgramFolder());
        EXPECT_EQ(url.toLocalFile(), viewer.GuideFile());
        EXPECT_EQ(url.fragment(), fragment);
    }
    const CFakeGuideViewer notInstalled(false);
    EXPECT_TRUE(
        CUserGuide::Find(CUserGuide::GUIDE_CONTENTS, notInstalled.ProgramFolder()).isEmpty());
}

// The anchors come from the guide's headings when the build makes its page:
// a heading renamed without the program following shows here.
TEST(CUserGuideTest, TheBuiltGuideHasAnAnchorForEverySection)
{
    QFile page(QStringLiteral(VORKANT_GUIDE_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << VORKANT_GUIDE_PAGE;
    const QString html = QString::fromUtf8(page.readAll());
    for (const auto& [topic, fragment] : kTopics)
        EXPECT_TRUE(fragment.isEmpty() || html.contains("<a name=\"" + fragment + '"'))
            << fragment.toStdString();
}

TEST(CUserGuideTest, AMissingGuideIsToldWithItsFile)
{
    const CFakeGuideViewer viewer(false);
    CMessageBoxAnswerer answerer(QMessageBox::Ok);
    CUserGuide::Show(CUserGuide::GUIDE_CONTENTS, nullptr);

    EXPECT_TRUE(viewer.m_opened.empty());
    ASSERT_EQ(answerer.m_texts.size(), 1u);
    EXPECT_TRUE(answerer.m_texts[0].contains(viewer.GuideFile()))
        << answerer.m_texts[0].toStdString();
}
} // namespace
