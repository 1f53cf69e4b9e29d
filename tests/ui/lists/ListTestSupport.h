#pragma once
// Helpers shared by the list tests: a record of what a model told its views,
// a record of what an entry list told its clients, and entries made up
// without a disk.
#include "core/CEventHandler.h"
#include "engine/CFileEntrys.h"
#include "engine/SFileEntry.h"

#include <QAbstractItemModel>
#include <QStringList>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Each row signal of a model as one line: "inserted 3-5", "removed 0-0",
// "changed 1-4", "reset".
class CModelSignals
{
public:
    explicit CModelSignals(QAbstractItemModel& model);
    QStringList m_lines;
};

// Counts the change notices of an entry list, from any thread.
class CEntrysRecorder : public CEventHandler
{
public:
    explicit CEntrysRecorder(CFileEntrys& list);
    ~CEntrysRecorder() override;
    int OnEvent(void* record);
    std::vector<SFileEntrysEvent> Events() const;

private:
    mutable std::mutex m_lock;
    std::vector<SFileEntrysEvent> m_events;
};

SFileEntry MakeEntry(const std::string& name, std::uint64_t size = 0, bool isFile = true,
                     const std::string& folder = "/data/");
