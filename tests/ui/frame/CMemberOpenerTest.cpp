#include "ui/frame/CMemberOpener.h"

#include "ui/frame/FrameTestSupport.h"

#include "support/CArchiveImage.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace
{

QString Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class CMemberOpenerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CArchiveImage image;
        image.File("a.txt", "alpha").Folder("d/").File("d/b.txt", "bravo");
        image.Link("d/up", "../a.txt").Link("d/hard", "d/b.txt", '1').Link("out", "/etc/passwd");
        const std::string archive = m_doc.m_folder.WriteFile("a.tar", image.End().Bytes());
        ASSERT_TRUE(m_doc.m_pDoc->OnOpenDocument(archive));
        ASSERT_EQ(m_doc.m_pCatalogue->GetCount(), 6);
    }

    CFrameTestDocument m_doc;
    std::vector<QUrl> m_launched;
    CMemberOpener m_opener{*m_doc.m_pDoc, *m_doc.m_pCatalogue, [this](const QUrl& url) {
                               m_launched.push_back(url);
                               return true;
                           }};
};

// A file opens as itself, a link as the member it leads to; a folder and a
// link out of the archive open nothing, and nothing is extracted for them.
TEST_F(CMemberOpenerTest, ARowOpensItsFileOrTheMemberItsLinkLeadsTo)
{
    const struct
    {
        int row;
        const char* contents; // of the file launched; nullptr: nothing opens
    } cases[] = {{0, "alpha"}, {2, "bravo"}, {3, "alpha"}, {4, "bravo"}, {1, nullptr}, {5, nullptr}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.row);
        m_launched.clear();
        EXPECT_EQ(m_opener.Open(c.row), c.contents != nullptr);
        ASSERT_EQ(m_launched.size(), c.contents ? 1u : 0u);
        if (c.contents)
        {
            const QString path = m_launched[0].toLocalFile();
            EXPECT_EQ(Contents(path), c.contents);
            QFileInfo folder(QFileInfo(path).path());
            while (!folder.fileName().startsWith("vorkant-") && !folder.isRoot())
                folder = QFileInfo(folder.path());
            EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0)
                << "private to the user: " << folder.filePath().toStdString();
        }
    }
}

// A drag carries what Extract Files would make, with its folders.
TEST_F(CMemberOpenerTest, ADragCarriesTheExtractedMembersWithTheirFolders)
{
    const std::unique_ptr<QMimeData> data(m_opener.DragData({0, 2}));
    ASSERT_NE(data, nullptr);
    const QList<QUrl> urls = data->urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(Contents(urls[0].toLocalFile()), "alpha");
    EXPECT_EQ(QFileInfo(urls[1].toLocalFile()).fileName(), "d");
    EXPECT_EQ(Contents(urls[1].toLocalFile() + "/b.txt"), "bravo");
    EXPECT_FALSE(QFileInfo::exists(urls[1].toLocalFile() + "/up")) << "only what was dragged";
}

} // namespace
