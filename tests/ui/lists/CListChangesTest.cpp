#include "ui/lists/CListChanges.h"

#include "grid/CUGDataSource.h"
#include "ListTestSupport.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <vector>

namespace
{

// Rows of a list that changes before its model hears of it.
class CListModel : public CUGDataSource
{
public:
    std::vector<QString> m_rows;

    int GetNumberCols() const override { return 2; }
    QString GetColName(int) const override { return QStringLiteral("Name"); }
    QString GetCellText(int row, int) const override
    {
        return row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<std::size_t>(row)]
                                                     : QString();
    }
};

std::vector<QString> Rows(std::initializer_list<const char*> names)
{
    std::vector<QString> rows;
    for (const char* name : names)
        rows.emplace_back(QString::fromLatin1(name));
    return rows;
}

struct SCatchUpCase
{
    const char* name;
    std::vector<QString> before; // what the model showed
    std::vector<QString> after;  // what the list holds at the catch-up
    std::vector<SFileEntrysEvent> changes;
    QStringList announced;
};

TEST(CListChangesTest, AnnouncesWhatWasNotedAtOnce)
{
    const SCatchUpCase cases[] = {
        {"appended", {}, Rows({"a", "b", "c"}),
         {{ENTRYS_INSERTED, 0, 1}, {ENTRYS_INSERTED, 1, 1}, {ENTRYS_INSERTED, 2, 1}},
         {"inserted 0-2"}},
        {"inserted in the middle", Rows({"a", "b", "c"}), Rows({"a", "x", "b", "c"}),
         {{ENTRYS_INSERTED, 1, 1}}, {"inserted 3-3", "changed 1-2"}},
        {"removed in the middle", Rows({"a", "b", "c", "d"}), Rows({"a", "c", "d"}),
         {{ENTRYS_REMOVED, 1, 1}}, {"removed 3-3", "changed 1-2"}},
        {"three removed, reported once", Rows({"a", "b", "c", "d", "e", "f"}), Rows({"a", "c", "e"}),
         {{ENTRYS_REMOVED, 1, 1}}, {"removed 3-5", "changed 1-2"}},
        {"moved", Rows({"a", "b", "c", "d", "e", "f"}), Rows({"a", "e", "b", "c", "d", "f"}),
         {{ENTRYS_MOVED, 1, 3}}, {"changed 1-4"}},
        {"cleared and refilled", Rows({"a", "b", "c"}), Rows({"x", "y"}),
         {{ENTRYS_INSERTED, 3, 1}, {ENTRYS_CLEARED, 0, 0}, {ENTRYS_INSERTED, 0, 1}},
         {"reset"}},
        {"put in and taken out again", Rows({"a", "b", "c"}), Rows({"a", "b", "c"}),
         {{ENTRYS_INSERTED, 0, 1}, {ENTRYS_REMOVED, 0, 1}}, {"changed 0-2"}},
        {"nothing noted", Rows({"a"}), Rows({"a"}), {}, {}},
    };
    for (const SCatchUpCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.m_rows = c.before;
        model.AnnounceReset(static_cast<int>(c.before.size()));
        CModelSignals announced(model);
        QObject control;
        CListChanges changes(control, [] {});

        model.m_rows = c.after;
        for (const SFileEntrysEvent& change : c.changes)
            changes.Note(change);
        changes.CatchUp(model, [&] { return static_cast<int>(c.after.size()); });

        EXPECT_EQ(announced.m_lines, c.announced);
        EXPECT_EQ(model.rowCount(), static_cast<int>(c.after.size()));
    }
}

// The worker appends while the window thread catches up: the row it adds
// after the notes were taken is announced now or by the next catch-up, never
// lost between the two.
TEST(CListChangesTest, ARowAddedAsACatchUpBeginsIsNotLost)
{
    CListModel model;
    QObject control;
    CListChanges changes(control, [] {});
    model.m_rows = Rows({"a"});
    changes.Note({ENTRYS_INSERTED, 0, 1});

    changes.CatchUp(model,
                    [&]
                    {
                        model.m_rows.emplace_back(QStringLiteral("b"));
                        changes.Note({ENTRYS_INSERTED, 1, 1});
                        return static_cast<int>(model.m_rows.size());
                    });
    changes.CatchUp(model, [&] { return static_cast<int>(model.m_rows.size()); });

    EXPECT_EQ(model.rowCount(), 2);
}

} // namespace
