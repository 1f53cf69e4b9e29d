#pragma once
#include "ui/shell/CMimeAssociation.h"

// The desktop's tar default kept in memory, so that no test changes the
// machine's; Vorkant's desktop entry counts as installed unless told not.
class CFakeMimeAssociation : public CMimeAssociation
{
public:
    explicit CFakeMimeAssociation(QString strTarDefault = {}) : m_strTarDefault(strTarDefault) {}

    QString QueryDefault(const QString&) override { return m_strTarDefault; }
    void SetDefault(const QString&, const QString& entry) override { m_strTarDefault = entry; }
    bool IsInstalled(const QString& entry) override
    {
        return m_bInstalled && entry == "vorkant.desktop";
    }

    QString m_strTarDefault;
    bool m_bInstalled = true;
};
