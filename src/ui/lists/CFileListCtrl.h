#pragma once
#include "core/CEventHandler.h"
#include "grid/CUGCtrl.h"
#include "ui/lists/CListChanges.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CFileDataSource;
class QFont;
class QMimeData;

// The list both file lists of the main window are shown with: the catalogue
// and the files to add. It mirrors its CFileDataSource (headings carry the
// entry count and the total size), serves the selection, the clipboard (as
// a list of files that file managers paste), files dropped from a file
// manager and automatic column sizing, and tells the page that owns it of
// right clicks, keys and current-row changes (SListEvent, to clients linked
// with Advise, on the window thread). The page owns the control; the
// document owns the data source.
//
// The list may change on the worker thread; the control then catches up with
// it on the window thread, once for however many changes came meanwhile.
class CFileListCtrl : public CUGCtrl, public CEventHandler
{
    Q_OBJECT
public:
    explicit CFileListCtrl(QWidget* parent = nullptr);
    ~CFileListCtrl() override;

    void Attach(CFileDataSource* source, bool acceptDrops);
    // What a drag of the selected rows (ascending) carries; the rows can be
    // dragged only once this is set, and a drag that gets nothing is none.
    using DragSource = std::function<QMimeData*(const std::vector<int>& rows)>;
    void SetDragSource(DragSource source);
    // What adds the paths dropped or pasted, instead of the list itself
    // while the window waits: it runs once the drop has ended.
    using PathAdder = std::function<void(const std::vector<std::string>& paths)>;
    void SetPathAdder(PathAdder adder);
    CFileDataSource* GetDataSource() const;

    void SetListFont(const QFont& font);
    // Narrows every column to the client width; with autoSize also shares
    // the width out: two thirds to the name, the rest to the others.
    void AdjustColumns(bool autoSize);
    void SetAutoSize(bool autoSize);
    bool GetAutoSize() const;
    void GetColumnWidths(std::vector<std::uint32_t>& widths) const;
    void SetColumnWidths(const std::vector<std::uint32_t>& widths);

    // Ascending; false when nothing is selected or the list holds fewer
    // entries than rows are selected.
    bool GetSelectedRows(std::vector<int>& rows) const;
    // The lowest selected row, else the current row, else -1.
    int GetCurrentRow() const;
    void SelectRow(int row);
    // The rows shown.
    int GetRowCount() const;
    // Shows only the rows whose name holds the text, in any case, in their
    // order; an empty text shows every row. The rows this control speaks of
    // (selected, current, in its events) are the list's own all the same.
    void ShowNamesHolding(const QString& text);

    bool CanCopy() const;
    bool CanPaste() const;
    bool Copy();
    // Removes exactly the entries it put on the clipboard.
    bool Cut();
    bool Paste();
    void RemoveSelected();

signals:
    // After the control caught up with its list, whenever the selection or
    // the current row changed, and when it takes or loses the focus.
    void ListChanged();

protected:
    int OnColSizing(int col, int width) override;
    void OnRButton(bool pressed, const QPoint& point) override;
    void OnKeyDown(int virtualKey) override;
    void OnRowChange(int row) override;
    void OnSelectionChange() override;
    void OnSize() override;

    // The Menu key and Shift+F10 open the popup at the current row, as a
    // right click there would; Enter opens the current row.
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // What the window's commands act on may follow the focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int OnEntrysEvent(void* record);
    // The list's row of a row shown, -1 for none.
    int SourceRow(int shownRow) const;
    void CatchUp();
    void UpdateHeadings();
    void ApplyRowHeights();
    void ShareOutWidth();
    bool AcceptsDrop(const QMimeData* data) const;
    // Adds the paths as one change to the list and to the view.
    void AddPaths(const std::vector<std::string>& paths);
    // Removes the entries at the rows (ascending) as one change.
    void RemoveRows(const std::vector<int>& rows);
    // The rows whose entries went onto the clipboard.
    std::vector<int> PutOnClipboard();
    void FireListEvent(std::int32_t kind, std::int32_t row, const QPoint& point = {},
                       std::int32_t key = 0);

    CListChanges m_changes;
    DragSource m_dragSource;
    PathAdder m_pathAdder;
    bool m_bAutoSize = true;
    bool m_bAcceptDrops = false;
    // While above 0 the control is changing the list itself, and catches up
    // once it is done.
    int m_nHold = 0;
};
