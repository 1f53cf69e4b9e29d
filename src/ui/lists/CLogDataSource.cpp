#include "ui/lists/CLogDataSource.h"

#include "core/CMessageLog.h"

#include <stdexcept>

CLogDataSource::CLogDataSource(QObject* parent) : CUGDataSource(parent)
{
}

void CLogDataSource::SetLog(CMessageLog* log)
{
    m_pLog = log;
}

CMessageLog* CLogDataSource::GetLog() const
{
    return m_pLog;
}

int CLogDataSource::GetNumberCols() const
{
    return 1;
}

QString CLogDataSource::GetColName(int) const
{
    return QStringLiteral("Messages");
}

QString CLogDataSource::GetCellText(int row, int) const
{
    if (m_pLog == nullptr)
        return {};
    try
    {
        return QString::fromLocal8Bit(m_pLog->GetAt(row).m_strMessage);
    }
    catch (const std::out_of_range&)
    {
        // Cleared meanwhile; the control is about to hear of it.
        return {};
    }
}
