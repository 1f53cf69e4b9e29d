#include "grid/CUGCtrl.h"

#include "grid/CUGCellType.h"
#include "grid/CUGDataSource.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace
{
// Keys whose Windows code differs from Qt's; letters and digits share theirs.
constexpr std::pair<int, int> kVirtualKeys[] = {
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},     {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
    {Qt::Key_Escape, 27},    {Qt::Key_Space, 32},  {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},       {Qt::Key_Home, 36},   {Qt::Key_Left, 37},   {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},     {Qt::Key_Down, 40},   {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46},
};
constexpr int kVirtualKeyF1 = 112;
} // namespace

CUGCtrl::CUGCtrl(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
    // Tab leaves the list, as it leaves any other control.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* heading = horizontalHeader();
    heading->setSectionsClickable(false);
    heading->setHighlightSections(false);
    heading->setStretchLastSection(false);
    heading->setSectionResizeMode(QHeaderView::Interactive);
    heading->viewport()->installEventFilter(this);
    connect(heading, &QHeaderView::sectionResized, this, &CUGCtrl::OnSectionResized);
}

void CUGCtrl::SetDataSource(CUGDataSource* source)
{
    QItemSelectionModel* old = selectionModel();
    setModel(source);
    if (old != nullptr && old != selectionModel())
        old->deleteLater();
    m_pSource = source;
}

CUGDataSource* CUGCtrl::GetDataSource() const
{
    return m_pSource.data();
}

void CUGCtrl::SetMultiSelect(bool multiple)
{
    setSelectionMode(multiple ? ExtendedSelection : SingleSelection);
}

void CUGCtrl::SetRowHeights(int rowHeight, int headingHeight)
{
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(headingHeight);
}

int CUGCtrl::GetNumberCols() const
{
    return m_pSource ? m_pSource->GetNumberCols() : 0;
}

int CUGCtrl::GetColWidth(int col) const
{
    return columnWidth(col);
}

void CUGCtrl::SetColWidth(int col, int width)
{
    setColumnWidth(col, width);
}

int CUGCtrl::GetAvailableWidth() const
{
    return viewport()->width();
}

void CUGCtrl::SetColCellType(int col, CUGCellType* cellType)
{
    cellType->setParent(this);
    setItemDelegateForColumn(col, cellType);
}

void CUGCtrl::SuspendRedraw()
{
    if (m_nRedrawSuspended++ == 0)
        setUpdatesEnabled(false);
}

void CUGCtrl::ResumeRedraw()
{
    if (m_nRedrawSuspended > 0 && --m_nRedrawSuspended == 0)
        setUpdatesEnabled(true);
}

void CUGCtrl::RedrawAll()
{
    viewport()->update();
}

int CUGCtrl::VirtualKeyOf(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return kVirtualKeyF1 + (qtKey - Qt::Key_F1);
    for (const auto& [key, code] : kVirtualKeys)
    {
        if (key == qtKey)
            return code;
    }
    return 0;
}

int CUGCtrl::OnColSizing(int, int width)
{
    return width;
}

void CUGCtrl::OnRButton(bool, const QPoint&)
{
}

void CUGCtrl::OnKeyDown(int)
{
}

void CUGCtrl::OnRowChange(int)
{
}

void CUGCtrl::OnSelectionChange()
{
}

void CUGCtrl::OnSize()
{
}

void CUGCtrl::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    NoteRButton(event, true);
}

void CUGCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    NoteRButton(event, false);
}

void CUGCtrl::NoteRButton(QMouseEvent* event, bool pressed)
{
    if (event->button() == Qt::RightButton)
        OnRButton(pressed, viewport()->mapTo(this, event->position().toPoint()));
}

void CUGCtrl::keyPressEvent(QKeyEvent* event)
{
    if (const int code = VirtualKeyOf(event->key()); code != 0)
        OnKeyDown(code);
    QTableView::keyPressEvent(event);
}

void CUGCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row())
        OnRowChange(current.row());
}

void CUGCtrl::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTableView::selectionChanged(selected, deselected);
    OnSelectionChange();
}

bool CUGCtrl::viewportEvent(QEvent* event)
{
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        OnSize();
    return handled;
}

bool CUGCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport())
    {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)
            m_bUserSizing = type == QEvent::MouseButtonPress &&
                            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    }
    return QTableView::eventFilter(watched, event);
}

void CUGCtrl::OnSectionResized(int col, int, int newWidth)
{
    if (!m_bUserSizing)
        return;
    const int allowed = OnColSizing(col, newWidth);
    if (allowed != newWidth)
        horizontalHeader()->resizeSection(col, allowed);
}
