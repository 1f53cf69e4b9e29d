#include "ui/frame/CAppendPage.h"

#include "settings/CAppSettings.h"
#include "ui/frame/CPopupMenu.h"
#include "ui/frame/CommandIds.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/lists/CFileListCtrl.h"
#include "ui/lists/SListEvent.h"
#include "ui/shell/LaunchSelectionApp.h"

#include <QVBoxLayout>

#include <climits>

#ifdef _WIN32
// UNICODE_STRING_MAX_CHARS: where long paths are on, MAX_PATH no longer holds.
const std::uint32_t CAppendPage::PATH_LIMIT = 32767;
#else
const std::uint32_t CAppendPage::PATH_LIMIT = PATH_MAX;
#endif

CAppendPage::CAppendPage(CAppSettings& settings, CMessageLog& log, CCommandActions& actions,
                         QWidget* parent)
    : QWidget(parent), m_settings(settings), m_log(log), m_pList(new CFileListCtrl(this)),
      m_pPopup(new CPopupMenu(actions,
                              {ID_MOVE_UP, ID_MOVE_DOWN, ID_REMOVE, ID_REMOVE_ALL, ID_SELECT_FILES,
                               0, ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE},
                              this))
{
    setWindowTitle(tr("Files To Add"));
    m_pList->setAccessibleName(tr("Files To Add"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList);
    setFocusProxy(m_pList);
    m_pList->Advise(this, &CAppendPage::OnListEvent);
    m_settings.Advise(this, &CAppendPage::OnSettingsChanged);
    connect(m_pList, &CFileListCtrl::ListChanged, this, &CAppendPage::CommandStateChanged);
}

CAppendPage::~CAppendPage()
{
    UnadviseAll();
    // The list loses the focus as it goes, after this page's own part.
    disconnect(m_pList, nullptr, this, nullptr);
}

void CAppendPage::Attach(CFileDataSource& source)
{
    m_pSource = &source;
    m_pList->Attach(&source, true);
    source.SetPathLimit(PATH_LIMIT);
    source.SetLog(&m_log);
    if (m_bFirstAttach)
        source.SetUseRelativeNames(m_settings.m_bRelativePaths != 0);
    source.RecheckEntries();
    if (m_bFirstAttach)
    {
        m_bFirstAttach = false;
        m_pList->SetAutoSize(m_settings.m_bAutoSizeColumns != 0);
        m_pList->AdjustColumns(m_settings.m_bAutoSizeColumns != 0);
        if (!m_settings.m_columnWidths.empty())
            m_pList->SetColumnWidths(m_settings.m_columnWidths);
    }
    m_pList->viewport()->update();
    emit CommandStateChanged();
}

int CAppendPage::OnListEvent(void* record)
{
    const auto& event = *static_cast<const SListEvent*>(record);
    if (event.nKind == LIST_EVENT_RBUTTON_DOWN)
        m_pPopup->ShowAt(m_pList->mapToGlobal(QPoint(event.nX, event.nY)));
    else if (event.nKind == LIST_EVENT_KEY && event.nKey == VK_DELETE_KEY)
    {
        m_pList->RemoveSelected();
    }
    return 0;
}

// Every code: the page shows both options.
int CAppendPage::OnSettingsChanged(void*)
{
    ApplySettings();
    return 0;
}

void CAppendPage::ApplySettings()
{
    m_pList->SetAutoSize(m_settings.m_bAutoSizeColumns != 0);
    m_pList->AdjustColumns(m_settings.m_bAutoSizeColumns != 0);
    if (m_pSource == nullptr)
        return;
    m_pSource->SetUseRelativeNames(m_settings.m_bRelativePaths != 0);
    m_pSource->RecheckEntries();
    m_pList->viewport()->update();
}

int CAppendPage::EntryCount() const
{
    return m_pSource ? m_pSource->GetCount() : 0;
}

bool CAppendPage::CanMoveUp() const
{
    return EntryCount() > 0 && m_pList->GetCurrentRow() >= 1;
}

bool CAppendPage::CanMoveDown() const
{
    return EntryCount() > 0 && m_pList->GetCurrentRow() < EntryCount() - 1;
}

void CAppendPage::MoveCurrentTo(int row)
{
    const int current = m_pList->GetCurrentRow();
    const int count = EntryCount();
    if (current < 0 || current >= count || row < 0 || row >= count || row == current)
        return;
    m_pSource->Move(row, current);
    m_pList->SelectRow(row);
}

bool CAppendPage::OnCommand(int id)
{
    const int current = m_pList->GetCurrentRow();
    switch (id)
    {
    case ID_MOVE_TOP:
        MoveCurrentTo(0);
        return true;
    case ID_MOVE_UP:
        MoveCurrentTo(current - 1);
        return true;
    case ID_MOVE_DOWN:
        MoveCurrentTo(current + 1);
        return true;
    case ID_MOVE_BOTTOM:
        MoveCurrentTo(EntryCount() - 1);
        return true;
    case ID_REMOVE:
        m_pList->RemoveSelected();
        return true;
    case ID_REMOVE_ALL:
        if (m_pSource)
            m_pSource->RemoveAll();
        return true;
    case ID_SELECT_FILES:
        SelectFiles();
        return true;
    case ID_EDIT_COPY:
        m_pList->Copy();
        return true;
    case ID_EDIT_CUT:
        m_pList->Cut();
        return true;
    case ID_EDIT_PASTE:
        m_pList->Paste();
        return true;
    default:
        return false;
    }
}

bool CAppendPage::OnUpdateCommand(int id, bool& enabled)
{
    switch (id)
    {
    case ID_MOVE_TOP:
    case ID_MOVE_UP:
        enabled = CanMoveUp();
        return true;
    case ID_MOVE_DOWN:
    case ID_MOVE_BOTTOM:
        enabled = CanMoveDown();
        return true;
    case ID_REMOVE:
        enabled = EntryCount() > 0 && m_pList->GetCurrentRow() != -1;
        return true;
    case ID_REMOVE_ALL:
        enabled = EntryCount() > 0;
        return true;
    case ID_SELECT_FILES:
        enabled = true;
        return true;
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
        enabled = m_pList->CanCopy();
        return true;
    case ID_EDIT_PASTE:
        enabled = m_pList->CanPaste();
        return true;
    default:
        return false;
    }
}

void CAppendPage::SelectFiles()
{
    LaunchSelectionApp(m_settings, this);
}
