#pragma once
#include "ui/shell/CMimeAssociation.h"

#include <QStringList>

// The desktop's file-type defaults through the xdg-mime tool. Without the
// tool every type has no default and nothing is set.
class CXdgMimeAssociation : public CMimeAssociation
{
public:
    QString QueryDefault(const QString& mimeType) override;
    void SetDefault(const QString& mimeType, const QString& desktopEntry) override;
    bool IsInstalled(const QString& desktopEntry) override;

private:
    // What the tool printed; empty when it is missing, failed or hung.
    static QString RunTool(const QStringList& arguments);
};
