#pragma once
#include <QStringList>

// The archives opened or saved most recently, newest first, without
// repeats, kept under "Recent File List" in QSettings("Hessadyne",
// "Vorkant") and written back at every change. The application owns the one
// list; the main frame shows it under the File menu.
class CRecentFileList
{
public:
    explicit CRecentFileList(int size);

    void Load();
    // Puts the path first, dropping an older mention of it and the oldest
    // entry beyond the size.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Paths() const { return m_paths; }

private:
    void Save() const;

    int m_nSize;
    QStringList m_paths;
};
