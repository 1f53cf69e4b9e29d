#pragma once
#include <QPointer>
#include <QTableView>

class CUGCellType;
class CUGDataSource;

// A table of uniform rows over a CUGDataSource, with the hooks the program's
// lists need: row and heading heights, column widths, whole-row selection,
// suspended redrawing, and notices of right-button presses, keys, current-row
// and selection changes, resizing and the user sizing a column. It has no
// row-number column and never sorts. The window that shows it owns it; the
// data source is owned elsewhere and may go first.
class CUGCtrl : public QTableView
{
    Q_OBJECT
public:
    explicit CUGCtrl(QWidget* parent = nullptr);

    // Shows the source; nullptr shows nothing.
    void SetDataSource(CUGDataSource* source);
    CUGDataSource* GetDataSource() const;

    // Several rows selectable at once, or one.
    void SetMultiSelect(bool multiple);
    void SetRowHeights(int rowHeight, int headingHeight);
    int GetNumberCols() const;
    int GetColWidth(int col) const;
    void SetColWidth(int col, int width);
    // The width the columns may fill: the client width, as there is no
    // row-number column.
    int GetAvailableWidth() const;
    // The control takes ownership of the drawer.
    void SetColCellType(int col, CUGCellType* cellType);

    // Calls nest; the control is drawn again when the last one resumes.
    void SuspendRedraw();
    void ResumeRedraw();
    void RedrawAll();

    // The Windows virtual-key code of a Qt key, as owners of the program's
    // lists expect them; 0 for a key that has none here.
    static int VirtualKeyOf(int qtKey);

protected:
    // While the user drags a column's edge: the width to allow.
    virtual int OnColSizing(int col, int width);
    // A right-button press or release at the point in the control's own
    // coordinates, the heading included.
    virtual void OnRButton(bool pressed, const QPoint& point);
    virtual void OnKeyDown(int virtualKey);
    virtual void OnRowChange(int row);
    virtual void OnSelectionChange();
    // The client area changed size.
    virtual void OnSize();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSectionResized(int col, int oldWidth, int newWidth);
    void NoteRButton(QMouseEvent* event, bool pressed);

    QPointer<CUGDataSource> m_pSource;
    int m_nRedrawSuspended = 0;
    // The left button is down on the heading: a width change is the user's.
    bool m_bUserSizing = false;
};
