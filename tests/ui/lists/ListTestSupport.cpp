#include "ListTestSupport.h"

CModelSignals::CModelSignals(QAbstractItemModel& model)
{
    const auto rows = [this](const char* what)
    {
        return [this, what](const QModelIndex&, int first, int last)
        { m_lines << QStringLiteral("%1 %2-%3").arg(what).arg(first).arg(last); };
    };
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, rows("inserted"));
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, rows("removed"));
    QObject::connect(&model, &QAbstractItemModel::modelReset, [this] { m_lines << "reset"; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [this](const QModelIndex& topLeft, const QModelIndex& bottomRight)
                     {
                         m_lines << QStringLiteral("changed %1-%2")
                                        .arg(topLeft.row())
                                        .arg(bottomRight.row());
                     });
}

CEntrysRecorder::CEntrysRecorder(CFileEntrys& list)
{
    list.Advise(this, &CEntrysRecorder::OnEvent);
}

CEntrysRecorder::~CEntrysRecorder()
{
    UnadviseAll();
}

int CEntrysRecorder::OnEvent(void* record)
{
    std::lock_guard guard(m_lock);
    m_events.push_back(*static_cast<const SFileEntrysEvent*>(record));
    return 0;
}

std::vector<SFileEntrysEvent> CEntrysRecorder::Events() const
{
    std::lock_guard guard(m_lock);
    return m_events;
}

SFileEntry MakeEntry(const std::string& name, std::uint64_t size, bool isFile,
                     const std::string& folder)
{
    SFileEntry entry;
    entry.strName = name;
    entry.strPath = folder + name;
    entry.dwSize = size;
    entry.bIsFile = isFile;
    return entry;
}
