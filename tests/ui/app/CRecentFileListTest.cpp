#include "ui/app/CRecentFileList.h"

#include "ui/frame/FrameTestSupport.h"

#include <gtest/gtest.h>

namespace
{

TEST(CRecentFileListTest, KeepsTheNewestWithoutRepeatsAcrossRuns)
{
    CUiTestHome home;
    {
        CRecentFileList recent(4);
        for (const char* path : {"/a.tar", "/b.tar", "/c.tar", "/b.tar", "/d.tar", "/e.tar"})
            recent.Add(QString::fromLatin1(path));
        EXPECT_EQ(recent.Paths(), QStringList({"/e.tar", "/d.tar", "/b.tar", "/c.tar"}));
        recent.Remove(QStringLiteral("/d.tar"));
    }
    CRecentFileList next(4);
    next.Load();
    EXPECT_EQ(next.Paths(), QStringList({"/e.tar", "/b.tar", "/c.tar"}));
}

} // namespace
