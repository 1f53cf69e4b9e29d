#pragma once
#include "grid/CUGDataSource.h"

class CMessageLog;

// The application log as the one column of a CLogCtrl: row i is the message
// of entry i. Read on the window thread only, through the log's own locked
// accessors. Owned by its control; the log is owned by the application.
class CLogDataSource : public CUGDataSource
{
    Q_OBJECT
public:
    explicit CLogDataSource(QObject* parent = nullptr);

    void SetLog(CMessageLog* log);
    CMessageLog* GetLog() const;

    int GetNumberCols() const override;
    QString GetColName(int col) const override;
    QString GetCellText(int row, int col) const override;

private:
    CMessageLog* m_pLog = nullptr;
};
