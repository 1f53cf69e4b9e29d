#include "ui/lists/CFileCellType.h"

#include "ListTestSupport.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/shell/CFakeIconLookup.h"

#include <gtest/gtest.h>

namespace
{

class COpenCellType : public CFileCellType
{
public:
    explicit COpenCellType(std::unique_ptr<CIconLookup> lookup)
        : CFileCellType(nullptr, std::move(lookup))
    {
    }

    QStyleOptionViewItem OptionFor(const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option;
    }
};

bool SameIcon(const QIcon& a, const QIcon& b)
{
    return a.pixmap(16).toImage() == b.pixmap(16).toImage();
}

TEST(CFileCellTypeTest, FilesFoldersAndLinksGetTheirPictures)
{
    CFileDataSource source;
    source.Add(MakeEntry("a.txt"));
    source.Add(MakeEntry("folder", 0, false));
    // Its own picture is found under its full path, not the name shown.
    source.Add(MakeEntry("b.ico", 0, true, "/disk/"));
    for (const char type : {'2', '1'}) // a symbolic and a hard link
    {
        SFileEntry link = MakeEntry("link.txt");
        link.chType = type;
        source.Add(link);
    }
    source.AnnounceReset(6); // one row more than the list holds
    auto lookup = std::make_unique<CFakeIconLookup>();
    CFakeIconLookup& desktop = *lookup;
    desktop.m_onDisk = {"/disk/b.ico"};
    COpenCellType cellType(std::move(lookup));

    const QStyleOptionViewItem file = cellType.OptionFor(source.index(0, 0));
    EXPECT_TRUE(SameIcon(file.icon, desktop.TypeIcon(".txt").icon));
    EXPECT_EQ(file.text, "a.txt");
    const QStyleOptionViewItem folder = cellType.OptionFor(source.index(1, 0));
    EXPECT_TRUE(SameIcon(folder.icon, desktop.FolderIcon()));
    const QStyleOptionViewItem own = cellType.OptionFor(source.index(2, 0));
    EXPECT_TRUE(SameIcon(own.icon, desktop.OwnIcon("/disk/b.ico")));
    // A symbolic link shows the link picture, a hard link its name's type.
    EXPECT_TRUE(SameIcon(cellType.OptionFor(source.index(3, 0)).icon, desktop.LinkIcon()));
    EXPECT_TRUE(
        SameIcon(cellType.OptionFor(source.index(4, 0)).icon, desktop.TypeIcon(".txt").icon));

    // An entry gone from the list has no picture to show.
    const QStyleOptionViewItem gone = cellType.OptionFor(source.index(5, 0));
    EXPECT_FALSE(gone.features & QStyleOptionViewItem::HasDecoration);
}

} // namespace
