#pragma once
#include "engine/CFileEntrys.h"
#include "grid/CUGDataSource.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

class CMessageLog;

// One of the document's two file lists (the catalogue or the files to add)
// as a CFileListCtrl shows it: three columns, the name (a link's with its
// target), the size in KB and the date, and the rule of which entries the
// list takes: where a path limit is set, a name (relative or full, as the
// user chose) must be shorter than it, and each one refused is logged. The
// document owns it (made by the window layer's list factory); it lives on the
// window thread, while entries may be added and checked on the worker.
class CFileDataSource : public CUGDataSource, public CFileEntrys
{
    Q_OBJECT
public:
    enum EColumn
    {
        COL_NAME = 0,
        COL_SIZE = 1,
        COL_TIME = 2,
        COL_COUNT = 3,
    };
    // Under these roles the name column answers whether the entry is a
    // file, its full path, and whether it is a symbolic link.
    static constexpr int IS_FILE_ROLE = Qt::UserRole;
    static constexpr int PATH_ROLE = Qt::UserRole + 1;
    static constexpr int IS_SYMLINK_ROLE = Qt::UserRole + 2;
    // A list that takes names of any length.
    static constexpr std::uint32_t NO_PATH_LIMIT = std::numeric_limits<std::uint32_t>::max();

    explicit CFileDataSource(bool bUseRelativeNames = true,
                             std::uint32_t nPathLimit = NO_PATH_LIMIT, CMessageLog* pLog = nullptr);
    ~CFileDataSource() override;

    // Window thread. Changes what the name column shows and CanAdd measures;
    // RecheckEntries then applies the rule to what the list holds.
    void SetUseRelativeNames(bool bUseRelativeNames);
    bool GetUseRelativeNames() const;
    void SetPathLimit(std::uint32_t nPathLimit);
    std::uint32_t GetPathLimit() const;
    void SetLog(CMessageLog* pLog);

    // Any thread. Refuses, and logs, an entry whose name is as long as the
    // limit or longer, if a limit is set.
    bool CanAdd(const SFileEntry& entry) override;
    // Removes every entry the rule now refuses.
    void RecheckEntries();

    // Adds each path with everything below it, in order, so that the list
    // announces the whole batch once; items that cannot be stored are logged.
    void AddPaths(const std::vector<std::string>& paths);
    // Removes the entries at the rows, so that the list announces it once.
    void RemoveEntries(std::vector<int> rows);
    // Window thread. Shows only the rows whose name, as the name column
    // shows it, holds the text in any case; an empty text shows them all.
    void ShowNamesHolding(const QString& text);

    int GetNumberCols() const override;
    QString GetColName(int col) const override;
    QString GetCellText(int row, int col) const override;
    QVariant GetCellData(int row, int col, int role) const override;

private:
    void Log(const std::string& message) const;
    const std::string& NameOf(const SFileEntry& entry) const;
    QString NameText(const SFileEntry& entry) const;

    std::atomic<bool> m_bUseRelativeNames;
    std::atomic<std::uint32_t> m_nPathLimit;
    std::atomic<CMessageLog*> m_pLog;
};
