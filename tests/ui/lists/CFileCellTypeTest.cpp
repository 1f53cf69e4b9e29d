#include "ui/lists/CFileCellType.h"

#include "ui/lists/CFileDataSource.h"
#include "ListTestSupport.h"

#include <QApplication>
#include <QStyle>

#include <gtest/gtest.h>

namespace
{

class COpenCellType : public CFileCellType
{
public:
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

TEST(CFileCellTypeTest, FilesAndFoldersGetTheirPictures)
{
    CFileDataSource source;
    source.Add(MakeEntry("a.txt"));
    source.Add(MakeEntry("folder", 0, false));
    source.AnnounceReset(3); // one row more than the list holds
    COpenCellType cellType;
    QStyle* style = QApplication::style();

    const QStyleOptionViewItem file = cellType.OptionFor(source.index(0, 0));
    EXPECT_TRUE(SameIcon(file.icon, style->standardIcon(QStyle::SP_FileIcon)));
    EXPECT_EQ(file.text, "a.txt");
    const QStyleOptionViewItem folder = cellType.OptionFor(source.index(1, 0));
    EXPECT_TRUE(SameIcon(folder.icon, style->standardIcon(QStyle::SP_DirIcon)));

    // An entry gone from the list has no picture to show.
    const QStyleOptionViewItem gone = cellType.OptionFor(source.index(2, 0));
    EXPECT_FALSE(gone.features & QStyleOptionViewItem::HasDecoration);
}

} // namespace
