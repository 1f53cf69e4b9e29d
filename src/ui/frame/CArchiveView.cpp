#include "ui/frame/CArchiveView.h"

#include "core/CException.h"
#include "devices/CTapeDesc.h"
#include "document/CTarDoc.h"
#include "engine/CWildCard.h"
#include "settings/CAppSettings.h"
#include "ui/dialogs/CExtractionDlg.h"
#include "ui/dialogs/CTapeDriveFeaturesDlg.h"
#include "ui/frame/CFindBar.h"
#include "ui/frame/CMemberOpener.h"
#include "ui/frame/CPopupMenu.h"
#include "ui/frame/CTarBackupWizardDlg.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/FrameTexts.h"
#include "ui/lists/CFileDataSource.h"
#include "ui/lists/CFileListCtrl.h"
#include "ui/lists/SListEvent.h"
#include "ui/shell/LaunchSelectionApp.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QVBoxLayout>

namespace
{
constexpr char kAllMembers[] = "*.*";
} // namespace

CArchiveView::CArchiveView(const SFrameContext& context, CCommandActions& actions, QWidget* parent)
    : QWidget(parent), m_doc(context.doc), m_catalogue(context.catalogue),
      m_settings(context.settings), m_pList(new CFileListCtrl(this)),
      m_pPopup(
          new CPopupMenu(actions, {ID_EXTRACT_FILES, ID_LIST_ARCHIVE, ID_ERASE_ARCHIVE}, this)),
      m_pFindBar(new CFindBar(this)),
      m_pOpener(std::make_unique<CMemberOpener>(context.doc, context.catalogue)),
      m_bTapesExist(context.tapes.GetSize() > 0)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pFindBar);
    layout->addWidget(m_pList);
    setFocusProxy(m_pList);
    m_pList->setAccessibleName(tr("Catalogue"));
    m_pList->Attach(&m_catalogue, false);
    m_pList->SetListFont(context.font);
    if (!m_settings.m_columnWidths.empty())
        m_pList->SetColumnWidths(m_settings.m_columnWidths);
    ApplyPathOption();
    ApplyColumnOption();

    m_settings.Advise(this, &CArchiveView::OnSettingsChanged);
    m_pList->Advise(this, &CArchiveView::OnListEvent);
    connect(m_pList, &CFileListCtrl::ListChanged, this, &CArchiveView::CommandStateChanged);
    m_pList->SetDragSource([this](const std::vector<int>& rows) { return m_pOpener->DragData(rows); });

    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, m_pFindBar, &CFindBar::Open);
    connect(m_pFindBar, &CFindBar::TextChanged, m_pList, &CFileListCtrl::ShowNamesHolding);
    connect(m_pFindBar, &CFindBar::Closed, m_pList, [this] { m_pList->setFocus(); });
}

CArchiveView::~CArchiveView()
{
    UnadviseAll();
    // The list loses the focus as it goes, after this view's own part.
    disconnect(m_pList, nullptr, this, nullptr);
    m_pList->GetColumnWidths(m_settings.m_columnWidths);
}

int CArchiveView::OnSettingsChanged(void* record)
{
    const auto& changed = *static_cast<const SSettingsChanged*>(record);
    if (changed.nCode == SC_PATHS || changed.nCode == SC_ALL)
        ApplyPathOption();
    if (changed.nCode == SC_ALL)
        ApplyColumnOption();
    return 0;
}

void CArchiveView::ApplyPathOption()
{
    m_catalogue.SetUseRelativeNames(m_settings.m_bRelativePaths != 0);
    m_catalogue.RecheckEntries();
    m_pList->viewport()->update();
}

void CArchiveView::ApplyColumnOption()
{
    m_pList->SetAutoSize(m_settings.m_bAutoSizeColumns != 0);
    m_pList->AdjustColumns(m_settings.m_bAutoSizeColumns != 0);
}

int CArchiveView::OnListEvent(void* record)
{
    const auto& event = *static_cast<const SListEvent*>(record);
    if (event.nKind == LIST_EVENT_RBUTTON_DOWN)
        m_pPopup->ShowAt(m_pList->mapToGlobal(QPoint(event.nX, event.nY)));
    else if (event.nKind == LIST_EVENT_OPEN)
        m_pOpener->Open(event.nRow);
    return 0;
}

// The engine's tape flag is not the document's to give; an open archive
// under a tape drive's name is on tape.
bool CArchiveView::IsTapeArchiveOpen() const
{
    return m_doc.IsArchiveOpen() && CTarDoc::IsTapePath(m_doc.GetPathName());
}

bool CArchiveView::OnCommand(int id)
{
    switch (id)
    {
    case ID_EXTRACT_FILES:
        ExtractFiles();
        return true;
    case ID_LIST_ARCHIVE:
        m_doc.OnListArchive();
        return true;
    case ID_ERASE_ARCHIVE:
        m_doc.OnEraseArchive();
        return true;
    case ID_EJECT_TAPE:
        m_doc.OnEjectTape();
        return true;
    case ID_TAPE_FEATURES:
        ShowTapeFeatures();
        return true;
    case ID_ARCHIVE_WIZARD:
        OpenWizard();
        return true;
    default:
    {
        bool enabled = false;
        return OnEditCommand(id, true, enabled);
    }
    }
}

// The clipboard commands are the catalogue's while it has the focus, and
// the other list's otherwise.
bool CArchiveView::OnEditCommand(int id, bool run, bool& enabled)
{
    if (!m_pList->hasFocus() || (id != ID_EDIT_COPY && id != ID_EDIT_CUT && id != ID_EDIT_PASTE))
        return false;
    std::vector<int> rows;
    enabled = id == ID_EDIT_COPY && m_pList->GetSelectedRows(rows);
    if (!run || !enabled)
        return true;
    QStringList names;
    for (const int row : rows)
    {
        SFileEntry entry;
        if (m_catalogue.CopyAt(row, entry))
            names << QString::fromStdString(entry.strName);
    }
    QGuiApplication::clipboard()->setText(names.join(QLatin1Char('\n')));
    return true;
}

bool CArchiveView::OnUpdateCommand(int id, bool& enabled)
{
    switch (id)
    {
    case ID_EXTRACT_FILES:
        enabled = m_doc.IsArchiveOpen();
        return true;
    case ID_LIST_ARCHIVE:
    case ID_ERASE_ARCHIVE:
        enabled = m_doc.CanListOrErase();
        return true;
    case ID_EJECT_TAPE:
        enabled = m_doc.CanEject();
        return true;
    case ID_TAPE_FEATURES:
        enabled = IsTapeArchiveOpen();
        return true;
    case ID_ARCHIVE_WIZARD:
        enabled = true;
        return true;
    default:
        return OnEditCommand(id, false, enabled);
    }
}

void CArchiveView::ExtractFiles()
{
    std::vector<int> rows;
    if (!m_pList->GetSelectedRows(rows))
        rows.clear();
    const int count = m_pList->GetRowCount();
    const int selected = static_cast<int>(rows.size());

    CExtractionDlg dialog(m_settings.m_strExtractFolder, &m_settings.m_extractSpecs, this);
    // A part of the list, but more than one row, is most likely what the
    // user means to extract.
    dialog.m_nSelectionType = selected > 1 && selected < count ? CExtractionDlg::SELECT_SELECTED
                                                               : CExtractionDlg::SELECT_ALL;
    dialog.m_bSelectedDisabled = count == 0;
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings.m_strExtractFolder = dialog.m_strLocation;

    CWildCard specs;
    std::vector<std::uint32_t> indexes;
    switch (dialog.m_nSelectionType)
    {
    case CExtractionDlg::SELECT_SELECTED:
        indexes.assign(rows.begin(), rows.end());
        break;
    case CExtractionDlg::SELECT_TYPE:
        if (m_settings.m_extractSpecs.empty())
        {
            QMessageBox::warning(this, QString::fromLatin1(FrameTexts::APP_TITLE),
                                 QString::fromLatin1(FrameTexts::NO_FILE_TYPES));
            return;
        }
        specs.SetSpecs(m_settings.m_extractSpecs);
        break;
    default:
        specs.SetSpecs({kAllMembers});
        break;
    }
    m_doc.Extract(&specs, &indexes, m_settings.m_strExtractFolder);
}

void CArchiveView::ShowTapeFeatures()
{
    TAPE_GET_DRIVE_PARAMETERS drive{};
    TAPE_GET_MEDIA_PARAMETERS media{};
    try
    {
        m_doc.GetTapeInfo(drive, media);
    }
    catch (CException& e)
    {
        e.ReportError();
        return;
    }
    CTapeDriveFeaturesDlg dialog(drive, media, this);
    dialog.exec();
}

// The wizard builds a new archive, so it starts from an empty document; the
// user who keeps the waiting files by cancelling New gets no wizard.
void CArchiveView::OpenWizard()
{
    if (m_pWizard && m_pWizard->isVisible())
    {
        m_pWizard->setWindowState(m_pWizard->windowState() & ~Qt::WindowMinimized);
        m_pWizard->raise();
        m_pWizard->activateWindow();
        return;
    }
    emit CommandRequested(ID_FILE_NEW);
    if (m_doc.IsModified())
        return;
    m_pWizard = std::make_unique<CTarBackupWizardDlg>(
        m_settings, m_doc, m_bTapesExist,
        [this] { LaunchSelectionApp(m_settings, m_pWizard.get()); },
        [this](int id) { emit CommandRequested(id); }, this);
    m_pWizard->show();
}
