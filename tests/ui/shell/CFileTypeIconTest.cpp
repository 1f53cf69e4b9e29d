#include "ui/shell/CFileTypeIcon.h"

#include "CFakeIconLookup.h"

#include <gtest/gtest.h>

namespace
{

class CFileTypeIconTest : public testing::Test
{
protected:
    void Make(int nCapacity = CFileTypeIcon::FILE_LIST_CAPACITY)
    {
        auto lookup = std::make_unique<CFakeIconLookup>();
        m_pLookup = lookup.get();
        m_pLookup->m_onDisk = {"/disk/a.ico", "/disk/b.ico"};
        m_pIcons = std::make_unique<CFileTypeIcon>(std::move(lookup), nCapacity);
    }
    void SetUp() override { Make(); }

    int Icon(const char* name)
    {
        int index = -1;
        EXPECT_TRUE(m_pIcons->GetFileIcon(QString::fromLatin1(name), index)) << name;
        return index;
    }

    CFakeIconLookup* m_pLookup = nullptr;
    std::unique_ptr<CFileTypeIcon> m_pIcons;
};

struct SLookupCase
{
    const char* pszName;
    const char* pszSameAs; // null: a picture of its own; "" the generic one
    int nQuestionsAfter;
};

// One cache, in this order: which picture each name shows and what it cost.
TEST_F(CFileTypeIconTest, AsksTheDesktopOncePerKey)
{
    const int generic = Icon("README");
    const SLookupCase cases[] = {
        {"/a/one.txt", nullptr, 1},   {"/b/two.txt", "/a/one.txt", 1},
        {"/c/THREE.TXT", nullptr, 2}, // keys keep their case
        {"/e.d/Makefile", "", 2},     // a folder's dot is no extension
        {"/f/x.none", "", 3},         // a type without a picture
        {"/f/x.none", "", 3},         // kept under the whole name
        {"/disk/a.ico", nullptr, 4},  // a picture of its own
        {"/disk/b.ico", nullptr, 5},  {"/disk/a.ico", "/disk/a.ico", 5},
        {"/archive/c.ico", "", 6}, // not on disk
    };
    for (const SLookupCase& test : cases)
    {
        SCOPED_TRACE(test.pszName);
        const int index = Icon(test.pszName);
        if (!test.pszSameAs)
            EXPECT_EQ(index, m_pIcons->GetImageCount() - 1) << "a new picture";
        else
            EXPECT_EQ(index, *test.pszSameAs ? Icon(test.pszSameAs) : generic);
        EXPECT_EQ(m_pLookup->m_nTypeQuestions, test.nQuestionsAfter);
    }
}

TEST_F(CFileTypeIconTest, NewTypesShowTheGenericPictureOnceTheListIsFull)
{
    Make(2);
    const int a = Icon("x.a");
    Icon("x.b");
    const int generic = Icon("x.c");
    EXPECT_EQ(Icon("y.d"), generic);
    EXPECT_EQ(Icon("y.a"), a);
    EXPECT_EQ(m_pIcons->GetImageCount(), 3);
}

TEST_F(CFileTypeIconTest, TheFolderPictureIsAskedForOnceAndInitForgetsEverything)
{
    int first = -1;
    int second = -1;
    ASSERT_TRUE(m_pIcons->GetFolderIcon(first) && m_pIcons->GetFolderIcon(second));
    EXPECT_EQ(first, second);
    EXPECT_EQ(m_pLookup->m_nFolderQuestions, 1);
    EXPECT_EQ(m_pIcons->GetIcon(first).availableSizes(), QList<QSize>{QSize(16, 16)});

    Icon("a.txt");
    ASSERT_TRUE(m_pIcons->Init(false));
    EXPECT_EQ(m_pIcons->GetImageCount(), 0);
    EXPECT_EQ(m_pIcons->GetIcon(Icon("a.txt")).availableSizes(), QList<QSize>{QSize(32, 32)});
    EXPECT_EQ(m_pLookup->m_nTypeQuestions, 2);
}

} // namespace
