#include "engine/COpenAhead.h"

#include "engine/CFileEntrys.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// More entries than wait ready at once, every fifth one gone before the
// write, and a folder among them.
class COpenAheadTest : public testing::Test
{
protected:
    static constexpr int kCount = 100;

    COpenAheadTest()
    {
        m_entries.AddPath(m_folder.WriteFile("tree/sub/keep", "k"), false);
        m_entries.AddPath((m_folder.Path() / "tree" / "sub").string(), false);
        for (int i = 2; i < kCount; ++i)
            m_entries.AddPath(m_folder.WriteFile("tree/f" + std::to_string(i), std::string(i, 'x')),
                              false);
        for (int i = 5; i < kCount; i += 5)
            std::filesystem::remove(m_entries.GetAt(i)->strPath);
    }

    CTestFolder m_folder;
    CFileEntrys m_entries;
};

TEST_F(COpenAheadTest, HandsOverEveryEntryOnceInListOrder)
{
    COpenAhead ahead(m_entries, kCount);
    for (int i = 0; i < kCount; ++i)
    {
        const COpenAhead::SLooked& looked = ahead.Next();
        SCOPED_TRACE(looked.entry.strPath);
        EXPECT_EQ(looked.entry.strPath, m_entries.GetAt(i)->strPath);
        const bool gone = i >= 5 && i % 5 == 0;
        EXPECT_EQ(looked.bFound, !gone);
        EXPECT_EQ(looked.dwError, gone ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS);
        EXPECT_EQ(looked.file.IsOpen(), !gone && i != 1) << "a folder is looked up, not opened";
        if (!gone && i >= 2)
        {
            EXPECT_EQ(looked.status.m_size, std::uint64_t(i));
        }
    }
}

TEST_F(COpenAheadTest, StopsWhenTheWriteEndsEarly)
{
    COpenAhead ahead(m_entries, kCount);
    EXPECT_TRUE(ahead.Next().bFound);
    // Leaving here with most entries untaken must neither hang nor leak.
}

} // namespace
