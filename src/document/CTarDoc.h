#pragma once
#include "core/CEventHandler.h"
#include "core/CMsgQueue.h"
#include "core/CWorkerThread.h"
#include "document/COverallProgress.h"
#include "document/CWaitDialog.h"
#include "engine/CFileEntrys.h"
#include "engine/CTar.h"
#include "engine/CWildCard.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAppSettings;
class CFrontEnd;
class CMessageLog;

// The one document: the open archive (through its engine), the catalogue of
// its members and the files waiting to be added. Every action on the archive
// is an operation posted to the document's own worker thread while the
// window thread sits in the modal wait dialog; the engine's events come back
// on the worker and become catalogue rows, progress, status, log entries and
// at most one continue question per operation. The application owns the
// document, and the front end, the settings and the log outlive it.
//
// Final: the worker starts in the constructor and calls through the object's
// virtual functions at once, while a derived class's constructor would still
// be changing them.
class CTarDoc final : public CEventHandler, public CWorkerThread, public CMsgQueue
{
public:
    // Makes the document's engine; tests hand in one with a virtual drive.
    using EngineFactory = std::function<std::unique_ptr<CTar>()>;
    // Makes one of the document's two lists; a window layer hands in lists
    // that also decide what they accept and answer its views.
    enum EList
    {
        LIST_FILES_TO_ADD,
        LIST_CATALOGUE,
    };
    using ListFactory = std::function<std::unique_ptr<CFileEntrys>(EList list)>;

    enum EOperation : std::uint32_t
    {
        OP_OPEN = 0,
        OP_OPEN_LIST = 1,
        OP_CLOSE = 2,
        OP_LIST = 3,
        OP_EXTRACT = 4,
        OP_WRITE = 5,
        OP_OPEN_WRITE = 6,
        OP_OPEN_ERASE_WRITE = 7,
        OP_ERASE = 8,
        OP_ERASE_WRITE = 9,
        OP_EJECT = 10,
        OP_NEW_WRITE = 11, // a new disk archive in place of what the file holds
        OP_ADD_FILES = 12, // paths, with the trees of folders, to the files to add
    };

    CTarDoc(CFrontEnd& frontEnd, CAppSettings& settings, CMessageLog& log,
            const EngineFactory& makeEngine = {}, const ListFactory& makeList = {});
    ~CTarDoc() override;

    // Window thread. Empties the document and opens (and lists) the archive.
    bool OnOpenDocument(const std::string& path);
    // Window thread. Writes the files to add to the archive at the path.
    bool OnSaveDocument(const std::string& path);
    void DeleteContents();
    // Window thread: the save commands. SaveModified asks "Save changes to
    // %1?" while files wait to be added, before anything that would drop
    // them; false means the user cancelled or the save failed, and what was
    // about to happen must not. DoFileSave saves under the document's path,
    // asking for one first when that path names no writable disk file.
    bool SaveModified();
    bool DoFileSave();
    bool DoSave(const std::string& path);
    // Window thread: what the application does when the front end asked for
    // a new document (after a failed open or an eject, or on the user's
    // command): empty, and under no path.
    void OnNewDocument();
    void OnCloseDocument();
    // Window thread: the commands and whether they are enabled.
    void OnListArchive();
    void OnEraseArchive();
    void OnEjectTape();
    bool CanListOrErase() const;
    bool CanEject();
    // Window thread, between operations: what the drive of the open tape
    // reports about itself and its tape. Raises CException when no archive
    // is open or it is not on tape.
    void GetTapeInfo(TAPE_GET_DRIVE_PARAMETERS& drive, TAPE_GET_MEDIA_PARAMETERS& media);
    // Window thread: extracts by pattern (specs) or by catalogue row
    // (indexes); an empty destination extracts below the current folder.
    void Extract(const CWildCard* specs, const std::vector<std::uint32_t>* indexes,
                 const std::string& destination);
    // Window thread: adds the paths to the files to add, folders with all
    // they hold, on the worker behind the wait window, so that a big tree
    // shows its progress and can be cancelled; a cancel takes back what the
    // walk had added. What cannot be added goes to the log.
    void AddFiles(const std::vector<std::string>& paths);

    // Window thread: posts the operation and holds the thread in the wait
    // dialog until it ends; returns whether it succeeded.
    bool RunOperation(std::uint32_t code, const std::string* path = nullptr);

    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path) { m_strPathName = path; }
    bool IsModified() const { return m_bModified; }
    bool IsArchiveOpen() const;

private:
    // Declared before the references below, which they initialise.
    std::unique_ptr<CFileEntrys> m_pFilesToAdd;
    std::unique_ptr<CFileEntrys> m_pCatalogue;

public:
    CFileEntrys& m_filesToAdd;
    CFileEntrys& m_catalogue;

    // A path naming a tape drive rather than a disk file.
    static bool IsTapePath(const std::string& path);

protected:
    int Run() override;
    void OnStopRequested() override;
    int OnMsg(std::uint32_t type, std::intptr_t param1, std::intptr_t param2) override;

private:
    void RunSteps(std::uint32_t code, const std::string* path);
    // fresh opens a disk file as a new archive to take the place of what it holds.
    void DoOpen(const std::string& path, bool fresh = false);
    void DoClose();
    void DoList();
    void DoExtract();
    void DoWrite();
    void DoNewWrite();
    void DoAddFiles();
    void AddPath(const std::string& path);
    void DoErase();
    void DoEject();
    void SetFinalStatus(const std::string& text);
    void SetProgress(std::uint64_t done, std::uint64_t total);

    bool GenerateIndexFile();
    void WriteIndexFile();
    void RemoveIndexFolder();
    void InsertIndexEntry();
    void EndWrite(int indexEntry);
    void DropWrittenRows();

    int OnFilesToAddChanged(void* record);
    int OnSettingsChanged(void* record);
    int OnArchiveEvent(void* record);
    void OnMemberEvent(const SArchiveEvent& event);
    void StartOverall(const CFileEntrys& list,
                      const std::function<bool(std::uint32_t, const SFileEntry&)>& taken);
    // Worker: counts the event toward the whole operation's progress.
    void TrackOverall(const SArchiveEvent& event);
    void ShowOverall();
    static bool IsMemberStart(const SArchiveEvent& event);
    void OnProblem(const SArchiveEvent& event);
    void CheckCancel();
    void ThrowCancel();

    bool SaveAsNewArchive(const std::string& path) const;

    CFrontEnd& m_frontEnd;
    CAppSettings& m_settings;
    CMessageLog& m_log;
    std::unique_ptr<CTar> m_pTar;

    const CWildCard* m_extractSpec = nullptr;
    const std::vector<std::uint32_t>* m_extractIndexes = nullptr;
    std::string m_extractDest;
    std::vector<std::string> m_addPaths;

    // The private folder holding the index file, and the file in it.
    std::string m_strIndexFolder;
    std::string m_strIndexPath;
    // Worker: the catalogue rows the current write added.
    int m_nWrittenRows = 0;

    std::atomic<bool> m_bAskOnProblem{true};
    std::atomic<bool> m_bResult{false};
    std::atomic<bool> m_bContinue{true};
    CWaitDialog m_waitDlg;
    COverallProgress m_overall; // the worker's alone

    std::string m_strPathName;
    bool m_bCanEject = false;
    std::atomic<bool> m_bModified{false};
};
