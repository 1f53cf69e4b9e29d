#include "ui/lists/CFileListCtrl.h"

#include "ui/lists/CFileCellType.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/lists/SListEvent.h"

#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <algorithm>
#include <climits>

namespace
{
constexpr int kMinRowHeight = 18;
constexpr int kRowPadding = 2;
// The share of the client width the name column gets when sized to fit.
constexpr double kNameShare = 0.66;
// File managers read a cut or a copy from this format, next to the URLs.
constexpr char kCopiedFilesFormat[] = "x-special/gnome-copied-files";

std::vector<std::string> LocalPaths(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls())
    {
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

bool HasLocalFiles(const QMimeData* data)
{
    if (data == nullptr)
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}
} // namespace

CFileListCtrl::CFileListCtrl(QWidget* parent)
    : CUGCtrl(parent), m_changes(*this, [this] { CatchUp(); })
{
    SetColCellType(CFileDataSource::COL_NAME, new CFileCellType);
    ApplyRowHeights();
}

CFileListCtrl::~CFileListCtrl()
{
    // Waits for a delivery in hand on the worker; none can start after this.
    UnadviseAll();
}

void CFileListCtrl::Attach(CFileDataSource* source, bool acceptDrops)
{
    SetMultiSelect(true);
    ApplyRowHeights();
    m_bAcceptDrops = acceptDrops;
    setAcceptDrops(acceptDrops);
    viewport()->setAcceptDrops(acceptDrops);

    if (CFileDataSource* old = GetDataSource())
        old->Unadvise(this);
    m_changes.Discard();
    SetDataSource(source);
    if (source == nullptr)
        return;
    source->Advise(this, &CFileListCtrl::OnEntrysEvent);
    source->AnnounceReset(source->GetCount());
    ShareOutWidth();
    if (GetRowCount() == 1)
        SelectRow(0);
    UpdateHeadings();
    RedrawAll();
    emit ListChanged();
}

CFileDataSource* CFileListCtrl::GetDataSource() const
{
    return static_cast<CFileDataSource*>(CUGCtrl::GetDataSource());
}

void CFileListCtrl::SetListFont(const QFont& font)
{
    setFont(font);
    ApplyRowHeights();
}

void CFileListCtrl::ApplyRowHeights()
{
    const int height = std::max(QFontMetrics(font()).height() + kRowPadding, kMinRowHeight);
    SetRowHeights(height, height);
}

void CFileListCtrl::AdjustColumns(bool autoSize)
{
    const int available = GetAvailableWidth();
    for (int col = 0; col < GetNumberCols(); ++col)
    {
        if (GetColWidth(col) > available)
            SetColWidth(col, available);
    }
    if (autoSize)
        ShareOutWidth();
}

void CFileListCtrl::ShareOutWidth()
{
    const int cols = GetNumberCols();
    if (cols == 0)
        return;
    const int available = GetAvailableWidth();
    const int name = static_cast<int>(available * kNameShare);
    SetColWidth(0, name);
    for (int col = 1; col < cols; ++col)
        SetColWidth(col, (available - name) / (cols - 1));
}

void CFileListCtrl::SetAutoSize(bool autoSize)
{
    m_bAutoSize = autoSize;
}

bool CFileListCtrl::GetAutoSize() const
{
    return m_bAutoSize;
}

void CFileListCtrl::GetColumnWidths(std::vector<std::uint32_t>& widths) const
{
    widths.clear();
    for (int col = 0; col < GetNumberCols(); ++col)
        widths.push_back(static_cast<std::uint32_t>(GetColWidth(col)));
}

void CFileListCtrl::SetColumnWidths(const std::vector<std::uint32_t>& widths)
{
    const int cols = std::min(GetNumberCols(), static_cast<int>(widths.size()));
    for (int col = 0; col < cols; ++col)
        SetColWidth(col, static_cast<int>(std::min<std::uint32_t>(widths[col], INT_MAX)));
}

bool CFileListCtrl::GetSelectedRows(std::vector<int>& rows) const
{
    rows.clear();
    const CFileDataSource* source = GetDataSource();
    if (source == nullptr || selectionModel() == nullptr)
        return false;
    for (const QItemSelectionRange& range : selectionModel()->selection())
    {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(source->SourceRow(row));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return !rows.empty() && source->GetCount() >= static_cast<int>(rows.size());
}

int CFileListCtrl::GetCurrentRow() const
{
    if (selectionModel() == nullptr)
        return -1;
    int lowest = INT_MAX;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        lowest = std::min(lowest, range.top());
    const QModelIndex current = currentIndex();
    return SourceRow(lowest != INT_MAX ? lowest : current.isValid() ? current.row() : -1);
}

void CFileListCtrl::SelectRow(int row)
{
    if (selectionModel() == nullptr)
        return;
    clearSelection();
    const int shown = GetDataSource() != nullptr ? GetDataSource()->ShownRow(row) : -1;
    if (shown < 0)
        return;
    const QModelIndex index = model()->index(shown, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

int CFileListCtrl::GetRowCount() const
{
    const CFileDataSource* source = GetDataSource();
    return source != nullptr ? source->GetShownRows() : 0;
}

int CFileListCtrl::SourceRow(int shownRow) const
{
    const CFileDataSource* source = GetDataSource();
    return source != nullptr ? source->SourceRow(shownRow) : -1;
}

void CFileListCtrl::ShowNamesHolding(const QString& text)
{
    if (GetDataSource() == nullptr)
        return;
    GetDataSource()->ShowNamesHolding(text);
    UpdateHeadings();
    emit ListChanged();
}

bool CFileListCtrl::CanCopy() const
{
    return GetRowCount() > 0 && GetCurrentRow() != -1;
}

bool CFileListCtrl::CanPaste() const
{
    return HasLocalFiles(QGuiApplication::clipboard()->mimeData());
}

bool CFileListCtrl::Copy()
{
    return !PutOnClipboard().empty();
}

// The clipboard gets a copy, as from Copy: a file manager that pasted a cut
// would move the user's own files away.
bool CFileListCtrl::Cut()
{
    const std::vector<int> rows = PutOnClipboard();
    if (rows.empty())
        return false;
    RemoveRows(rows);
    return true;
}

bool CFileListCtrl::Paste()
{
    const std::vector<std::string> paths = LocalPaths(QGuiApplication::clipboard()->mimeData());
    if (GetDataSource() == nullptr || paths.empty())
        return false;
    AddPaths(paths);
    clearSelection();
    return true;
}

void CFileListCtrl::RemoveSelected()
{
    std::vector<int> rows;
    if (GetSelectedRows(rows))
        RemoveRows(rows);
}

void CFileListCtrl::RemoveRows(const std::vector<int>& rows)
{
    // The current row number is selected again, or the last row when the
    // list no longer reaches it.
    const int current = currentIndex().isValid() ? SourceRow(currentIndex().row()) : rows.front();
    GetDataSource()->RemoveEntries(rows);
    SelectRow(std::min(current, GetRowCount() - 1));
}

std::vector<int> CFileListCtrl::PutOnClipboard()
{
    std::vector<int> rows;
    if (!GetSelectedRows(rows))
        return {};
    const CFileDataSource* source = GetDataSource();
    std::vector<int> copied;
    QList<QUrl> urls;
    QByteArray copiedFiles("copy");
    SFileEntry entry;
    for (const int row : rows)
    {
        if (!source->CopyAt(row, entry))
            continue;
        const QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(entry.strPath)));
        urls.append(url);
        copiedFiles += '\n' + url.toEncoded();
        copied.push_back(row);
    }
    if (copied.empty())
        return {};
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setData(kCopiedFilesFormat, copiedFiles);
    QGuiApplication::clipboard()->setMimeData(data);
    return copied;
}

void CFileListCtrl::SetPathAdder(PathAdder adder)
{
    m_pathAdder = std::move(adder);
}

// The adder runs its own modal wait, which is not for the middle of a drop.
void CFileListCtrl::AddPaths(const std::vector<std::string>& paths)
{
    if (m_pathAdder)
    {
        QMetaObject::invokeMethod(this, [this, paths] { m_pathAdder(paths); }, Qt::QueuedConnection);
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SuspendRedraw();
    ++m_nHold;
    GetDataSource()->AddPaths(paths);
    --m_nHold;
    ResumeRedraw();
    CatchUp();
    QGuiApplication::restoreOverrideCursor();
}

bool CFileListCtrl::AcceptsDrop(const QMimeData* data) const
{
    return m_bAcceptDrops && GetDataSource() != nullptr && HasLocalFiles(data);
}

void CFileListCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void CFileListCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    // Always a copy: a file manager told of a move would delete the files.
    if (AcceptsDrop(event->mimeData()) && (event->possibleActions() & Qt::CopyAction))
    {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    else
        event->ignore();
}

void CFileListCtrl::dropEvent(QDropEvent* event)
{
    if (!AcceptsDrop(event->mimeData()) || !(event->possibleActions() & Qt::CopyAction))
    {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    activateWindow();
    AddPaths(LocalPaths(event->mimeData()));
    FireListEvent(LIST_EVENT_ROW_CHANGED, 0);
}

int CFileListCtrl::OnEntrysEvent(void* record)
{
    m_changes.Note(*static_cast<const SFileEntrysEvent*>(record));
    return 0;
}

void CFileListCtrl::CatchUp()
{
    CFileDataSource* source = GetDataSource();
    if (m_nHold > 0 || source == nullptr)
        return;
    const CListChanges::SSummary caught = 
        m_changes.CatchUp(*source, [source] { return source->GetCount(); });
    if (caught.nChanges == 0)
        return;
    if (caught.bInserted && GetRowCount() == 1)
        SelectRow(0);
    UpdateHeadings();
    emit ListChanged();
}

void CFileListCtrl::UpdateHeadings()
{
    CFileDataSource* source = GetDataSource();
    const double megabytes = static_cast<double>(source->GetTotalSize()) / 1048576.0;
    const QString name = source->GetColName(CFileDataSource::COL_NAME);
    source->SetHeading(CFileDataSource::COL_NAME,
                       source->IsFiltered()
                           ? QStringLiteral("%1, %2 of %3 Total")
                                 .arg(name)
                                 .arg(source->GetShownRows())
                                 .arg(source->GetAnnouncedRows())
                           : QStringLiteral("%1, %2 Total").arg(name).arg(GetRowCount()));
    source->SetHeading(CFileDataSource::COL_SIZE,
                       QStringLiteral("%1, %2 MB")
                           .arg(source->GetColName(CFileDataSource::COL_SIZE))
                           .arg(megabytes, 0, 'f', 1));
}

int CFileListCtrl::OnColSizing(int, int width)
{
    return std::min(width, GetAvailableWidth());
}

void CFileListCtrl::OnRButton(bool pressed, const QPoint& point)
{
    FireListEvent(pressed ? LIST_EVENT_RBUTTON_DOWN : LIST_EVENT_RBUTTON_UP, 0, point);
}

void CFileListCtrl::SetDragSource(DragSource source)
{
    m_dragSource = std::move(source);
    setDragEnabled(static_cast<bool>(m_dragSource));
}

void CFileListCtrl::keyPressEvent(QKeyEvent* event)
{
    const int row = currentIndex().row();
    const int key = event->key();
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier))
    {
        const QRect cell = visualRect(model()->index(std::max(row, 0), 0));
        const QPoint at = row >= 0 ? cell.center() : QPoint(0, 0);
        FireListEvent(LIST_EVENT_RBUTTON_DOWN, row, viewport()->mapTo(this, at));
        event->accept();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && row >= 0)
    {
        FireListEvent(LIST_EVENT_OPEN, SourceRow(row));
        event->accept();
        return;
    }
    CUGCtrl::keyPressEvent(event);
}

void CFileListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        FireListEvent(LIST_EVENT_OPEN, SourceRow(index.row()));
    CUGCtrl::mouseDoubleClickEvent(event);
}

void CFileListCtrl::focusInEvent(QFocusEvent* event)
{
    CUGCtrl::focusInEvent(event);
    emit ListChanged();
}

void CFileListCtrl::focusOutEvent(QFocusEvent* event)
{
    CUGCtrl::focusOutEvent(event);
    emit ListChanged();
}

void CFileListCtrl::startDrag(Qt::DropActions /*supportedActions*/)
{
    std::vector<int> rows;
    if (!m_dragSource || !GetSelectedRows(rows))
        return;
    QMimeData* data = m_dragSource(rows);
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // A copy: nothing leaves the archive.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void CFileListCtrl::OnKeyDown(int virtualKey)
{
    FireListEvent(LIST_EVENT_KEY, 0, {}, virtualKey);
}

void CFileListCtrl::OnRowChange(int row)
{
    FireListEvent(LIST_EVENT_ROW_CHANGED, SourceRow(row));
    emit ListChanged();
}

void CFileListCtrl::OnSelectionChange()
{
    emit ListChanged();
}

void CFileListCtrl::OnSize()
{
    AdjustColumns(m_bAutoSize);
}

void CFileListCtrl::FireListEvent(std::int32_t kind, std::int32_t row, const QPoint& point,
                                  std::int32_t key)
{
    SListEvent event{kind, row, point.x(), point.y(), key};
    FireEvent(&event);
}
