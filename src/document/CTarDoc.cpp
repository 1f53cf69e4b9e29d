#include "document/CTarDoc.h"

#include "core/CException.h"
#include "core/CLogEntry.h"
#include "core/CMessageLog.h"
#include "core/COsException.h"
#include "document/CAppendOverwrite.h"
#include "document/CFrontEnd.h"
#include "engine/CTarMessages.h"
#include "platform/CFile.h"
#include "platform/CFileStatus.h"
#include "platform/CFolder.h"
#include "platform/CSystemError.h"
#include "settings/CAppSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <system_error>

namespace
{
constexpr unsigned kErrorTextSize = 512;
constexpr const char* kUnhandled = "Unhandled exception in i/o thread";
// What a document without a path is called.
constexpr const char* kUntitled = "Untitled";

std::string ErrorText(const CException& e)
{
    char text[kErrorTextSize] = {};
    e.GetErrorMessage(text, kErrorTextSize);
    return text;
}

std::string ToLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SamePath(const std::string& a, const std::string& b)
{
    std::error_code error;
    const auto left = std::filesystem::weakly_canonical(a, error);
    if (error)
        return a == b;
    const auto right = std::filesystem::weakly_canonical(b, error);
    return error ? a == b : left == right;
}

// A fresh folder only this user can enter, so that nobody else can plant or
// swap the index file inside it. Its name is random, and taking a name that
// is already there is refused, so nothing planted under it is ever used.
std::string MakePrivateFolder()
{
    namespace fs = std::filesystem;
    const std::string base = CFolder::GetTempFolder();
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const std::string folder = base + "vorkant-" + std::to_string(random());
        if (!CFolder::Create(folder))
        {
            if (CSystemError::GetLast() == ERROR_ALREADY_EXISTS)
                continue;
            throw COsException();
        }
        // The folder is made under the process's umask; anything that got in
        // before it was closed to others means it cannot be trusted.
        std::error_code error;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
        if (!error && fs::is_empty(folder, error) && !error)
            return folder;
        fs::remove_all(folder, error);
        throw COsException(static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    throw COsException(static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}
std::unique_ptr<CFileEntrys> MakeList(const CTarDoc::ListFactory& makeList, CTarDoc::EList list)
{
    return makeList ? makeList(list) : std::make_unique<CFileEntrys>();
}
} // namespace

CTarDoc::CTarDoc(CFrontEnd& frontEnd, CAppSettings& settings, CMessageLog& log,
                 const EngineFactory& makeEngine, const ListFactory& makeList)
    : m_pFilesToAdd(MakeList(makeList, LIST_FILES_TO_ADD)), m_pCatalogue(MakeList(makeList, LIST_CATALOGUE)),
      m_filesToAdd(*m_pFilesToAdd), m_catalogue(*m_pCatalogue), m_frontEnd(frontEnd), m_settings(settings), m_log(log),
      m_pTar(makeEngine ? makeEngine() : std::make_unique<CTar>()), m_waitDlg(frontEnd, m_bContinue)
{
    m_filesToAdd.Advise(this, &CTarDoc::OnFilesToAddChanged);
    m_pTar->Advise(this, &CTarDoc::OnArchiveEvent);
    m_settings.Advise(this, &CTarDoc::OnSettingsChanged);
    m_pTar->m_settings = m_settings.m_tarSettings;
    Start(nullptr, nullptr);
}

CTarDoc::~CTarDoc()
{
    Stop(0);
    UnadviseAll();
    RemoveIndexFolder();
}

int CTarDoc::Run()
{
    MessageLoop();
    return 0;
}

void CTarDoc::OnStopRequested()
{
    Quit();
}

bool CTarDoc::IsArchiveOpen() const
{
    return m_pTar->IsOpen();
}

bool CTarDoc::IsTapePath(const std::string& path)
{
    return ToLower(path).find("\\\\.\\tape") != std::string::npos;
}

bool CTarDoc::RunOperation(std::uint32_t code, const std::string* path)
{
    m_bResult = false;
    m_bContinue = true;
    m_waitDlg.ResetForOperation(m_settings.m_bShowFinishedDialog != 0);
    m_bAskOnProblem = true;
    PostMsg(code, 0, reinterpret_cast<std::intptr_t>(path));
    m_waitDlg.RunModal();
    m_bContinue = true;
    return m_bResult;
}

int CTarDoc::OnMsg(std::uint32_t type, std::intptr_t, std::intptr_t param2)
{
    m_bResult = false;
    std::string error;
    try
    {
        RunSteps(type, reinterpret_cast<const std::string*>(param2));
        // Quick steps close at once, never showing the finished look.
        if (type == OP_OPEN || type == OP_CLOSE || type == OP_ADD_FILES)
        {
            m_bResult = true;
            m_waitDlg.CloseWithCode(CWaitDialog::WAIT_CLOSE_DONE);
            return 0;
        }
        m_bResult = type != OP_EXTRACT;
        m_waitDlg.ShowFinished();
        return 0;
    }
    catch (const CException& e)
    {
        error = ErrorText(e);
    }
    catch (int code)
    {
        // The wait window closes only once the engine has undone what the
        // cancel cut short, so that nothing runs on after the operation.
        if (code == TAR_CANCEL)
            m_waitDlg.CloseWithCode(CWaitDialog::WAIT_CLOSE_CANCELLED);
        else
            error = kUnhandled;
    }
    catch (...)
    {
        error = kUnhandled;
    }
    if (!error.empty())
    {
        m_frontEnd.ShowError(error);
        m_waitDlg.CloseWithCode(CWaitDialog::WAIT_CLOSE_DONE);
    }
    return 0;
}

void CTarDoc::RunSteps(std::uint32_t code, const std::string* path)
{
    switch (code)
    {
    case OP_OPEN:
        DoOpen(*path);
        break;
    case OP_OPEN_LIST:
        DoOpen(*path);
        DoList();
        break;
    case OP_CLOSE:
        DoClose();
        break;
    case OP_LIST:
        DoList();
        break;
    case OP_EXTRACT:
        DoExtract();
        break;
    case OP_WRITE:
        DoWrite();
        break;
    case OP_OPEN_WRITE:
        DoOpen(*path);
        DoWrite();
        break;
    case OP_OPEN_ERASE_WRITE:
        DoOpen(*path);
        DoErase();
        DoWrite();
        break;
    case OP_NEW_WRITE:
        DoOpen(*path, true);
        DoNewWrite();
        break;
    case OP_ADD_FILES:
        DoAddFiles();
        break;
    case OP_ERASE:
        DoErase();
        break;
    case OP_ERASE_WRITE:
        DoErase();
        DoWrite();
        break;
    case OP_EJECT:
        DoEject();
        break;
    default:
        break;
    }
}

void CTarDoc::DoOpen(const std::string& path, bool fresh)
{
    m_waitDlg.SetStatus("Opening archive...");
    const int blocking = m_settings.m_bVariableBlocking ? 20 : m_settings.m_nBlockingFactor;
    if (fresh)
        m_pTar->OpenNew(path);
    else
        m_pTar->Open(path, blocking, m_settings.m_bUseCompression != 0);
    m_waitDlg.SetStatus("Finished opening archive");
}

void CTarDoc::DoClose()
{
    SetFinalStatus("Closing archive...");
    m_pTar->Close();
    SetFinalStatus("Finished closing archive");
}

void CTarDoc::DoList()
{
    m_waitDlg.SetStatus("Listing archive...");
    m_catalogue.RemoveAll();
    m_overall.Start(0, 0, COverallProgress::Clock::now());
    m_pTar->List();
    ShowOverall();
    SetFinalStatus("Finished listing archive");
}

void CTarDoc::DoExtract()
{
    m_waitDlg.SetStatus("Extracting files...");
    std::set<std::uint32_t> rows;
    if (m_extractIndexes)
        rows.insert(m_extractIndexes->begin(), m_extractIndexes->end());
    StartOverall(m_catalogue, [&](std::uint32_t row, const SFileEntry& entry) {
        return rows.empty() ? m_extractSpec && m_extractSpec->Match(entry.strName)
                            : rows.count(row) != 0;
    });
    m_pTar->Extract(m_extractSpec, m_extractIndexes, m_extractDest);
    ShowOverall();
    SetFinalStatus("Finished extracting files");
}

void CTarDoc::DoErase()
{
    m_waitDlg.SetStatus("Erasing archive...");
    m_pTar->Erase();
    m_catalogue.RemoveAll();
    m_waitDlg.SetStatus("Finished erasing archive");
}

void CTarDoc::DoEject()
{
    m_waitDlg.SetStatus("Ejecting tape...");
    m_pTar->Eject();
}

void CTarDoc::DoWrite()
{
    int indexEntry = -1;
    if (m_settings.m_bUseIndexFile)
    {
        m_waitDlg.SetStatus("Generating index file...");
        if (GenerateIndexFile())
            indexEntry = 0;
    }
    m_waitDlg.SetStatus("Saving archive...");
    StartOverall(m_filesToAdd, [](std::uint32_t, const SFileEntry&) { return true; });
    m_catalogue.RemoveAll();
    m_nWrittenRows = 0;
    // The index entry and its file belong to this write only: whatever its
    // outcome, the files to add go back to what the user chose.
    try
    {
        m_pTar->Write(m_filesToAdd, m_settings.m_bRelativePaths != 0, indexEntry);
    }
    catch (...)
    {
        EndWrite(indexEntry);
        DropWrittenRows();
        throw;
    }
    EndWrite(indexEntry);
    ShowOverall();
    SetFinalStatus("Finished saving archive");
}

// A new archive that failed before it was whole is dropped, wherever the
// write stopped, so the old one stays the file's archive.
void CTarDoc::DoNewWrite()
{
    try
    {
        DoWrite();
    }
    catch (...)
    {
        m_pTar->Close();
        throw;
    }
}

// Each entry the walk adds is a cancellation point; a cancel removes what
// this walk added, so the list is as the user left it.
void CTarDoc::DoAddFiles()
{
    m_waitDlg.SetStatus("Adding files...");
    const int before = m_filesToAdd.GetCount();
    m_filesToAdd.SetWatch(
        [this](const SFileEntry& entry)
        {
            m_waitDlg.SetStatus(entry.strPath);
            CheckCancel();
        });
    try
    {
        for (const std::string& path : m_addPaths)
            AddPath(path);
    }
    catch (...)
    {
        m_filesToAdd.SetWatch({});
        while (m_filesToAdd.GetCount() > before)
            m_filesToAdd.RemoveAt(m_filesToAdd.GetCount() - 1);
        throw;
    }
    m_filesToAdd.SetWatch({});
}

// Refused kinds of item come with their own text; anything else that failed
// left its system error behind.
void CTarDoc::AddPath(const std::string& path)
{
    CFileEntrys::Problems problems;
    if (!m_filesToAdd.AddPath(path, true, &problems) && problems.empty())
        problems.push_back(CTarMessages::FileFailure(path, COsException()));
    for (const std::string& problem : problems)
        m_log.Add(CLogEntry(problem));
}

void CTarDoc::EndWrite(int indexEntry)
{
    if (indexEntry >= 0)
        m_filesToAdd.RemoveAt(indexEntry);
    RemoveIndexFolder();
}

// A disk archive is cut back to what it held before a write that failed, so
// the rows of the members the write added go too: extracting by row must
// find the member the row shows. A tape keeps what reached it.
void CTarDoc::DropWrittenRows()
{
    if (m_pTar->m_bTape)
        return;
    for (; m_nWrittenRows > 0; --m_nWrittenRows)
        m_catalogue.RemoveAt(m_catalogue.GetCount() - 1);
}

void CTarDoc::InsertIndexEntry()
{
    SFileEntry entry;
    if (!entry.SetPath(m_strIndexPath))
        throw COsException();
    entry.strName = m_settings.m_strIndexFileName;
    // A list may refuse it (its path too long for the list): the entry at
    // the top is then the user's, never the index file.
    if (m_filesToAdd.Add(entry, 0) != 0)
        throw CGenericException("Unable to add the index file [" + entry.strName +
                                "] to the files to add.");
}

bool CTarDoc::GenerateIndexFile()
{
    try
    {
        RemoveIndexFolder();
        WriteIndexFile();
        InsertIndexEntry();
        return true;
    }
    catch (const CException& e)
    {
        RemoveIndexFolder();
        m_frontEnd.ShowError(ErrorText(e));
        return false;
    }
}

void CTarDoc::WriteIndexFile()
{
    m_strIndexFolder = MakePrivateFolder();
    // The member takes its name from the settings; the file on disk does
    // not, so that no name the user typed can lead it out of the folder.
    m_strIndexPath = (std::filesystem::path(m_strIndexFolder) / "index").string();
    CFile file;
    if (!file.Open(m_strIndexPath, CFile::modeCreate | CFile::modeWrite | CFile::modeNoFollow))
        throw COsException();
    const bool relative = m_settings.m_bRelativePaths != 0;
    std::string text;
    for (int i = 0; i < m_filesToAdd.GetCount(); ++i)
    {
        const SFileEntry* entry = m_filesToAdd.GetAt(i);
        text += relative ? entry->strName : entry->strPath;
        text += ", " + std::to_string(entry->dwSize) + "\r\n";
    }
    if (!file.WriteString(text))
        throw COsException();
}

void CTarDoc::RemoveIndexFolder()
{
    if (!m_strIndexFolder.empty())
    {
        std::error_code error;
        std::filesystem::remove_all(m_strIndexFolder, error);
    }
    m_strIndexFolder.clear();
    m_strIndexPath.clear();
}

void CTarDoc::SetFinalStatus(const std::string& text)
{
    if (!m_pTar->m_bTape)
    {
        m_waitDlg.SetStatus(text);
        return;
    }
    const char* order =
        m_pTar->IsByteSwapped() ? "SGI byte swapped format.\r\n" : "Standard format.\r\n";
    m_waitDlg.SetStatus(order + text);
}

void CTarDoc::SetProgress(std::uint64_t done, std::uint64_t total)
{
    if (total == 0)
    {
        m_waitDlg.SetProgress(100);
        return;
    }
    const double percent = static_cast<double>(done) * 100.0 / static_cast<double>(total);
    m_waitDlg.SetProgress(static_cast<int>(std::min(percent, 100.0)));
}

int CTarDoc::OnFilesToAddChanged(void*)
{
    m_bModified = m_filesToAdd.GetCount() != 0;
    return 0;
}

int CTarDoc::OnSettingsChanged(void* record)
{
    const auto* changed = static_cast<const SSettingsChanged*>(record);
    if (changed->nCode == SC_PERMISSIONS || changed->nCode == SC_ALL)
        m_pTar->m_settings = m_settings.m_tarSettings;
    return 0;
}

// The totals of what the operation is to do: the entries of the list that
// it takes, members and bytes.
void CTarDoc::StartOverall(const CFileEntrys& list,
                           const std::function<bool(std::uint32_t, const SFileEntry&)>& taken)
{
    std::uint32_t members = 0;
    std::uint64_t bytes = 0;
    const int count = list.GetCount();
    for (int i = 0; i < count; ++i)
    {
        const SFileEntry* entry = list.GetAt(i);
        if (!taken(static_cast<std::uint32_t>(i), *entry))
            continue;
        ++members;
        bytes += entry->bIsFile ? entry->dwSize : 0;
    }
    m_overall.Start(members, bytes, COverallProgress::Clock::now());
}

void CTarDoc::TrackOverall(const SArchiveEvent& event)
{
    m_overall.Update(event.dwDone, event.dwTotal);
    if (m_overall.Due())
        ShowOverall();
}

void CTarDoc::ShowOverall()
{
    m_waitDlg.SetOverall(m_overall.Text(COverallProgress::Clock::now()));
}

int CTarDoc::OnArchiveEvent(void* record)
{
    const auto& event = *static_cast<const SArchiveEvent*>(record);
    if (event.nKind == TAR_EVENT_LISTED || event.nKind == TAR_EVENT_WRITTEN ||
        event.nKind == TAR_EVENT_EXTRACTED)
        TrackOverall(event);
    switch (event.nKind)
    {
    case TAR_EVENT_LISTED:
    case TAR_EVENT_WRITTEN:
        OnMemberEvent(event);
        break;
    case TAR_EVENT_EXTRACTED:
        if (event.dwDone < event.dwTotal)
        {
            if (IsMemberStart(event))
                SetFinalStatus(event.strName);
            SetProgress(event.dwDone, event.dwTotal);
        }
        else
        {
            SetFinalStatus("Extracting files...");
            m_waitDlg.SetProgress(0);
        }
        break;
    case TAR_EVENT_PROBLEM:
        OnProblem(event);
        break;
    case TAR_EVENT_TICK:
        CheckCancel();
        break;
    default:
        break;
    }
    return 0;
}

void CTarDoc::OnMemberEvent(const SArchiveEvent& event)
{
    if (!CTar::IsCatalogued(event.chType))
    {
        char text[kErrorTextSize];
        std::snprintf(text, sizeof text, "Unable to process file [%s], of type [%s]",
                      event.strName.c_str(), CTar::GetTypeName(event.chType));
        m_log.Add(CLogEntry(text));
        return;
    }
    if (event.dwDone >= event.dwTotal)
    {
        SFileEntry entry(event.strName);
        entry.bIsFile = event.chType != '5';
        entry.dwSize = event.dwTotal;
        entry.time = event.time;
        entry.chType = event.chType == '\0' ? '0' : event.chType;
        entry.strLinkTarget = event.strLinkTarget;
        m_catalogue.Add(entry);
        if (event.nKind == TAR_EVENT_WRITTEN)
            ++m_nWrittenRows;
    }
    if (event.nKind == TAR_EVENT_WRITTEN)
        SetProgress(event.dwDone, event.dwTotal);
    if (IsMemberStart(event))
        SetFinalStatus(event.strName);
}

// The events of a member's data records would only set the status its first
// event set again; a big member sends hundreds of thousands of them.
bool CTarDoc::IsMemberStart(const SArchiveEvent& event)
{
    return event.nKind == TAR_EVENT_LISTED || event.dwDone == 0;
}

void CTarDoc::OnProblem(const SArchiveEvent& event)
{
    m_log.Add(CLogEntry(event.strMessage));
    // Once the user confirmed Cancel, what comes late (a file not found
    // before the next cancellation point, a writer finishing) is logged
    // only: the operation is already stopping.
    if (!m_bContinue || !m_bAskOnProblem.exchange(false))
        return;
    const int answer = m_frontEnd.Ask(
        event.strMessage + "\nDo you want to continue this operation?", "", MB_YESNO | MB_ICONSTOP);
    if (answer == IDNO)
        ThrowCancel();
}

void CTarDoc::CheckCancel()
{
    if (!m_bContinue)
        ThrowCancel();
}

void CTarDoc::ThrowCancel()
{
    m_bContinue = false;
    throw TAR_CANCEL;
}

void CTarDoc::DeleteContents()
{
    m_catalogue.RemoveAll();
    m_filesToAdd.RemoveAll();
    m_log.RemoveAll();
    if (IsArchiveOpen())
        RunOperation(OP_CLOSE);
    RemoveIndexFolder();
}

void CTarDoc::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
}

bool CTarDoc::OnOpenDocument(const std::string& path)
{
    DeleteContents();
    bool result = false;
    try
    {
        if (!IsTapePath(path))
            result = RunOperation(OP_OPEN_LIST, &path);
        else if (RunOperation(OP_OPEN, &path))
        {
            result = true;
            if (m_settings.m_bAutoListTapes ||
                m_frontEnd.Ask("Would you like to catalog the archive?", "Catalog", MB_OKCANCEL) ==
                    IDOK)
                RunOperation(OP_LIST);
        }
    }
    catch (CException& e)
    {
        e.ReportError();
        result = false;
    }
    if (result)
        m_strPathName = path;
    else
        m_frontEnd.RequestNewDocument();
    return result;
}

// A disk archive other than the open one is written as a new archive there;
// the open archive must not receive what was meant for another file.
bool CTarDoc::SaveAsNewArchive(const std::string& path) const
{
    return !IsArchiveOpen() ? m_strPathName.empty() : !SamePath(path, m_pTar->GetDeviceName());
}

bool CTarDoc::OnSaveDocument(const std::string& path)
{
    if (m_filesToAdd.GetCount() == 0)
        return false;
    CAppendOverwrite::SChoice choice{true, true};
    bool result = false;
    try
    {
        const bool tape = IsTapePath(path);
        if (tape)
            choice = CAppendOverwrite::Ask(m_frontEnd);
        if (!choice.bProceed)
            return false;
        // Another archive that is open, on a disk or in another drive, is
        // closed: the files go to the path asked for, never into it.
        // A new disk archive takes the place of what the file holds only
        // once it is whole.
        const bool elsewhere = IsArchiveOpen() && !SamePath(path, m_pTar->GetDeviceName());
        const bool replace = !tape && SaveAsNewArchive(path);
        if (elsewhere || replace)
        {
            if (IsArchiveOpen() && !RunOperation(OP_CLOSE))
                return false;
            m_catalogue.RemoveAll();
        }
        m_strPathName = path;
        const bool open = IsArchiveOpen();
        const std::uint32_t code =
            replace ? OP_NEW_WRITE
            : open  ? (choice.bAppend ? OP_WRITE : OP_ERASE_WRITE)
                    : (choice.bAppend ? OP_OPEN_WRITE : OP_OPEN_ERASE_WRITE);
        result = RunOperation(code, open ? nullptr : &path);
        if (result)
            m_filesToAdd.RemoveAll();
        // The file still holds the archive it held: a new save must not
        // append to it.
        else if (replace)
            m_strPathName.clear();
    }
    catch (CException& e)
    {
        e.ReportError();
    }
    return result;
}

bool CTarDoc::SaveModified()
{
    if (!IsModified())
        return true;
    const std::string name = m_strPathName.empty() ? kUntitled : m_strPathName;
    char text[kErrorTextSize];
    std::snprintf(text, sizeof text, "Save changes to %s?", name.c_str());
    switch (m_frontEnd.Ask(text, "", MB_YESNOCANCEL | MB_ICONEXCLAMATION))
    {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    default:
        return true;
    }
}

// A tape is saved to where it is; a disk path that is missing or read-only
// (or none at all) needs a new one from the user.
bool CTarDoc::DoFileSave()
{
    CFileStatus status;
    const bool writable = CFileStatus::Get(m_strPathName, status) && !status.m_bReadOnly;
    if (!writable && !IsTapePath(m_strPathName))
        return DoSave("");
    return DoSave(m_strPathName);
}

// An empty path asks the user for one, offering the document's own.
bool CTarDoc::DoSave(const std::string& path)
{
    std::string target = path;
    if (target.empty() &&
        !m_frontEnd.AskSavePath(m_strPathName.empty() ? kUntitled : m_strPathName, target))
        return false;
    return OnSaveDocument(target);
}

void CTarDoc::OnCloseDocument()
{
    if (!IsArchiveOpen())
        return;
    try
    {
        m_pTar->Close();
    }
    catch (...)
    {
    }
}

void CTarDoc::OnListArchive()
{
    RunOperation(OP_LIST);
}

void CTarDoc::OnEraseArchive()
{
    if (m_frontEnd.Ask("Are you sure you want to erase all files in this archive?", "",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        RunOperation(OP_ERASE);
}

void CTarDoc::OnEjectTape()
{
    if (IsModified() && m_frontEnd.Ask("Ejecting a tape closes the current archive.\nDo you want "
                                       "to eject with out saving changes?",
                                       "", MB_YESNO) != IDYES)
        return;
    RunOperation(OP_EJECT);
    m_frontEnd.RequestNewDocument();
}

bool CTarDoc::CanListOrErase() const
{
    return IsArchiveOpen();
}

// A drive that cannot be asked keeps the command as it was, rather than
// flicker with every failed question.
bool CTarDoc::CanEject()
{
    try
    {
        m_bCanEject = IsArchiveOpen() && m_pTar->CanEject();
    }
    catch (...)
    {
    }
    return m_bCanEject;
}

void CTarDoc::GetTapeInfo(TAPE_GET_DRIVE_PARAMETERS& drive, TAPE_GET_MEDIA_PARAMETERS& media)
{
    m_pTar->GetTapeInfo(drive, media);
}

void CTarDoc::AddFiles(const std::vector<std::string>& paths)
{
    m_addPaths = paths;
    RunOperation(OP_ADD_FILES);
}

void CTarDoc::Extract(const CWildCard* specs, const std::vector<std::uint32_t>* indexes,
                      const std::string& destination)
{
    m_extractSpec = specs;
    m_extractIndexes = indexes;
    m_extractDest = destination;
    RunOperation(OP_EXTRACT);
}
