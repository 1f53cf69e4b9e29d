#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <vector>

// The model under a CUGCtrl: a subclass answers the column count, the column
// names and the cell texts, and this adapter serves them to Qt's views. The
// row count the views see is the count ANNOUNCED by the control that shows
// the source (on the window thread), not whatever the data holds at the
// moment: data kept elsewhere may change on another thread, and no view may
// read a row its model has not announced. A filter may hide announced rows:
// the views then see those it keeps, in their order, and the rows they
// speak of are mapped back with SourceRow. Heading texts are set by the
// control; they are also what accessibility reads. Owned by whoever owns the
// data; a control only shows it.
class CUGDataSource : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CUGDataSource(QObject* parent = nullptr);

    virtual int GetNumberCols() const = 0;
    virtual QString GetColName(int col) const = 0;
    // Asked only for rows below the announced count; a row whose data has
    // gone meanwhile answers an empty text.
    virtual QString GetCellText(int row, int col) const = 0;
    // What a cell holds under the roles from Qt::UserRole up; nothing here.
    virtual QVariant GetCellData(int row, int col, int role) const;

    // Window thread: announcing what the views may read.
    int GetAnnouncedRows() const { return m_nRows; }
    void AnnounceInserted(int first, int count);
    void AnnounceRemoved(int first, int count);
    void AnnounceReset(int rows);
    // The texts of rows first to last (clamped to the announced rows) changed.
    void AnnounceChanged(int first, int last);
    // The heading shown over a column instead of its name.
    void SetHeading(int col, const QString& text);

    // Window thread. Shows only the announced rows the test keeps; no test
    // shows them all. Rows announced later are tested as they come.
    using RowTest = std::function<bool(int row)>;
    void SetRowFilter(RowTest test);
    bool IsFiltered() const { return static_cast<bool>(m_filter); }
    // The rows the views see.
    int GetShownRows() const;
    // The source's row of a row the views see, and back: -1 for a row they
    // do not see.
    int SourceRow(int shownRow) const;
    int ShownRow(int sourceRow) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void Refilter();

    int m_nRows = 0;
    RowTest m_filter;
    std::vector<int> m_shown; // ascending source rows, while filtered
    std::map<int, QString> m_headings;
};
